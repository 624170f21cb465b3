#include "LanguageChoice.h"

namespace {

char Lower(char character) {
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a')
                                                : character;
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t index = 0; index < a.size(); ++index) {
        if (Lower(a[index]) != Lower(b[index])) {
            return false;
        }
    }
    return true;
}

// gettext leaves LANGUAGE alone in these, so that what a program prints
// under them stays what POSIX says it prints; "C.UTF-8" is no such locale.
bool IsCLocale(std::string_view locale) {
    return locale.empty() || locale == "C" || locale == "POSIX";
}

} // namespace

bool LanguageNamed(std::string_view name, Language& language) {
    if (name == "x-pseudo") {
        language = Language::Pseudo;
        return true;
    }
    // language[_territory][.codeset][@modifier]; a hyphen too, as the web
    // and Windows write a territory.
    const std::string_view code = name.substr(0, name.find_first_of("_-.@"));
    if (code == "C" || code == "POSIX") {
        language = Language::English;
        return true;
    }
    const struct {
        std::string_view Code;
        Language Spoken;
    } languages[] = {
        {"en", Language::English},
        {"de", Language::German},
        {"fr", Language::French},
        {"es", Language::Spanish},
    };
    for (const auto& known : languages) {
        if (SameLetters(code, known.Code)) {
            language = known.Spoken;
            return true;
        }
    }
    return false;
}

Language ChosenLanguage(const UserLanguageSettings& settings) {
    std::string_view locale = !settings.All.empty()        ? settings.All
                              : !settings.Messages.empty() ? settings.Messages
                                                           : settings.Lang;
    if (locale.empty()) {
        locale = settings.Interface;
    }
    if (IsCLocale(locale)) {
        return Language::English;
    }
    Language language;
    std::string_view list = settings.Language;
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        if (LanguageNamed(list.substr(0, colon), language)) {
            return language;
        }
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    return LanguageNamed(locale, language) ? language : Language::English;
}

namespace {

bool Asked = false;
Language AskedLanguage = Language::English;

} // namespace

void AskForLanguage(std::string_view name) {
    Asked = true;
    if (!LanguageNamed(name, AskedLanguage)) {
        AskedLanguage = Language::English;
    }
}

Language UsersLanguage() {
    return Asked ? AskedLanguage : ChosenLanguage(UsersLanguageSettings());
}
