#include "Catalogue.h"

#include "CatalogueTables.h"
#include "FindingText.h"

#include <algorithm>

namespace {

Language Current = Language::English;
const CatalogueTables* Tables = &CompiledCatalogue;

struct LanguageTraits {
    Language Spoken;
    std::string_view Code; // as the PO file's Language names it
    char DecimalMark;
};

constexpr LanguageTraits Traits[] = {
    {Language::English, "en", '.'}, {Language::German, "de", ','}, {Language::French, "fr", ','},
    {Language::Spanish, "es", ','}, {Language::Pseudo, "", '.'},
};

const LanguageTraits& TraitsOf(Language language) {
    for (const LanguageTraits& traits : Traits) {
        if (traits.Spoken == language) {
            return traits;
        }
    }
    return Traits[0];
}

const CatalogueLanguage* CatalogueOf(Language language) {
    const std::string_view code = TraitsOf(language).Code;
    for (std::size_t index = 0; index < Tables->LanguageCount && !code.empty(); ++index) {
        if (Tables->Languages[index].Code == code) {
            return &Tables->Languages[index];
        }
    }
    return nullptr;
}

// The forms of the translation, none where the language has no words for
// this text.
const CatalogueEntry* Entry(const CatalogueLanguage& catalogue, const std::string_view* context,
                            std::string_view english) {
    std::string contextKey;
    std::string_view key = english;
    if (context != nullptr) {
        contextKey.reserve(context->size() + 1 + english.size());
        contextKey.append(*context).append(1, '\x04').append(english);
        key = contextKey;
    }
    const CatalogueEntry* end = catalogue.Entries + catalogue.EntryCount;
    const CatalogueEntry* found = std::lower_bound(
        catalogue.Entries, end, key,
        [](const CatalogueEntry& entry, std::string_view key) { return entry.Key < key; });
    return found != end && found->Key == key ? found : nullptr;
}

bool IsNameCharacter(char character) {
    return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
           (character >= '0' && character <= '9') || character == '_';
}

// The length of the {name} at the start of text, 0 where none is.
std::size_t PlaceholderLength(std::string_view text) {
    if (text.size() < 3 || text[0] != '{') {
        return 0;
    }
    std::size_t end = 1;
    while (end < text.size() && IsNameCharacter(text[end])) {
        ++end;
    }
    return end > 1 && end < text.size() && text[end] == '}' ? end + 1 : 0;
}

// Accents that leave each letter readable, so that a tester reads the
// sentence and sees at once that it came through the catalogue.
std::string_view Accented(char letter) {
    static constexpr std::string_view Lower[26] = {
        "\u00e0", "\u0180", "\u00e7", "\u0111", "\u00e9", "\u0192", "\u011d", "\u0125", "\u00ee",
        "\u0135", "\u0137", "\u013c", "\u0271", "\u00f1", "\u00f6", "\u00fe", "\u01eb", "\u0155",
        "\u0161", "\u0163", "\u00fc", "\u1e7d", "\u0175", "\u1e8b", "\u00fd", "\u017e"};
    static constexpr std::string_view Upper[26] = {
        "\u00c5", "\u0181", "\u00c7", "\u00d0", "\u00c9", "\u0191", "\u011c", "\u0124", "\u00ce",
        "\u0134", "\u0136", "\u013b", "\u1e3e", "\u00d1", "\u00d6", "\u00de", "\u01ea", "\u0154",
        "\u0160", "\u0162", "\u00dc", "\u1e7c", "\u0174", "\u1e8a", "\u00dd", "\u017d"};
    if (letter >= 'a' && letter <= 'z') {
        return Lower[letter - 'a'];
    }
    if (letter >= 'A' && letter <= 'Z') {
        return Upper[letter - 'A'];
    }
    return {};
}

std::string Pseudo(std::string_view english) {
    std::string pseudo = "[";
    for (std::size_t index = 0; index < english.size();) {
        if (const std::size_t length = PlaceholderLength(english.substr(index))) {
            pseudo.append(english.substr(index, length));
            index += length;
            continue;
        }
        const std::string_view accented = Accented(english[index]);
        if (accented.empty()) {
            pseudo += english[index];
        } else {
            pseudo.append(accented);
        }
        ++index;
    }
    return pseudo + "]";
}

// In one pass over the sentence, so that a value that holds a {name} of its
// own (a file name may) is shown as it is.
std::string Replaced(std::string_view text, std::initializer_list<Named> values,
                     const std::string* count) {
    std::string replaced;
    replaced.reserve(text.size());
    for (std::size_t index = 0; index < text.size();) {
        const std::size_t length = PlaceholderLength(text.substr(index));
        const std::string* value = nullptr;
        if (length != 0) {
            const std::string_view name = text.substr(index + 1, length - 2);
            for (const Named& named : values) {
                if (named.Name == name) {
                    value = &named.Value;
                    break;
                }
            }
            if (value == nullptr && count != nullptr && name == "count") {
                value = count;
            }
        }
        if (value != nullptr) {
            replaced.append(*value);
            index += length;
        } else {
            replaced += text[index];
            ++index;
        }
    }
    return replaced;
}

// Without a context, context is null: gettext tells an empty one apart.
std::string Sentence(const std::string_view* context, std::string_view singular,
                     std::string_view plural, const std::uint64_t* count,
                     std::initializer_list<Named> values) {
    std::string text(count == nullptr || *count == 1 ? singular : plural);
    if (Current == Language::Pseudo) {
        text = Pseudo(text);
    } else if (const CatalogueLanguage* catalogue = CatalogueOf(Current)) {
        if (const CatalogueEntry* entry = Entry(*catalogue, context, singular)) {
            // An entry by a count and a plain one for the same English are
            // one entry to gettext; whichever it is, use what fits.
            const std::size_t form =
                count != nullptr
                    ? std::min<std::size_t>(catalogue->PluralForm(*count), entry->Count - 1)
                    : 0;
            text = catalogue->Forms[entry->First + form];
        }
    }
    const std::string shownCount = count != nullptr ? std::to_string(*count) : "";
    return Replaced(text, values, count != nullptr ? &shownCount : nullptr);
}

std::string WithDecimalMark(std::string shown) {
    const char mark = TraitsOf(Current).DecimalMark;
    std::replace(shown.begin(), shown.end(), '.', mark);
    return shown;
}

} // namespace

void SetLanguage(Language language) {
    Current = language;
}

Language CurrentLanguage() {
    return Current;
}

void UseCatalogue(const CatalogueTables& tables) {
    Tables = &tables;
}

std::string Say(std::string_view english, std::initializer_list<Named> values) {
    return Sentence(nullptr, english, english, nullptr, values);
}

std::string SayIn(std::string_view context, std::string_view english,
                  std::initializer_list<Named> values) {
    return Sentence(&context, english, english, nullptr, values);
}

std::string SayCount(std::string_view singular, std::string_view plural, std::uint64_t count,
                     std::initializer_list<Named> values) {
    return Sentence(nullptr, singular, plural, &count, values);
}

std::string ShownNumber(float value) {
    return WithDecimalMark(Number(value));
}

std::string ShownSigned(float value) {
    return WithDecimalMark(SignedNumber(value));
}

std::string ShownDecibels(double value) {
    return WithDecimalMark(Decibels(value));
}
