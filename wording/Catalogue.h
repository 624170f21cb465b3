#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// Every sentence a person reads from the companions comes through here:
// English as the code writes it, or its translation from the catalogue
// compiled into the program. A sentence names its values by {name}, so that
// a translation may put them in its own order.

enum class Language { English, German, French, Spanish, Pseudo };

// The language of the run's words, set once at its start.
void SetLanguage(Language language);
Language CurrentLanguage();

// "de", "de_DE.UTF-8", "fr_CH", "es_ES@euro"; "C" and "POSIX" are English;
// "x-pseudo" is the pseudo-language of the tests. False for a language with
// no words here.
bool LanguageNamed(std::string_view name, Language& language);

// The first of the user's languages that has words here, as gettext chooses:
// LANGUAGE (a list, colon-separated), unless the locale is C; then LC_ALL,
// LC_MESSAGES and LANG. On Windows, where none is set, the user's interface
// language. English where none has words here. The choice itself, from the
// settings as data, is ChosenLanguage in LanguageChoice.h.
Language UsersLanguage();

// A program that embeds the companions (the page's module) says which
// language its user chose, by a name as LanguageNamed takes it; from then on
// UsersLanguage gives that one, whatever the settings. A name with no words
// here asks for English.
void AskForLanguage(std::string_view name);

// A value that a sentence names, already shown as the run's language shows
// it.
struct Named {
    std::string_view Name;
    std::string Value;
};

// The sentence in the run's language, with each {name} replaced.
std::string Say(std::string_view english, std::initializer_list<Named> values = {});

// The same, for an English text that needs telling apart by its use.
std::string SayIn(std::string_view context, std::string_view english,
                  std::initializer_list<Named> values = {});

// By a count, with the language's plural rule; {count} is the count.
std::string SayCount(std::string_view singular, std::string_view plural, std::uint64_t count,
                     std::initializer_list<Named> values = {});

// Numbers in the run's language's prose, with its decimal mark: the
// shortest form that reads back as the float (-0,307 in German), that with
// a sign always (+0,04), and a level in dB with at most three decimals and
// a sign.
std::string ShownNumber(float value);
std::string ShownSigned(float value);
std::string ShownDecibels(double value);
