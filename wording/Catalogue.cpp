#include "Catalogue.h"

#include "FindingText.h"

// English only, until the catalogue is compiled in.

namespace {

Language Current = Language::English;

std::string Fill(std::string_view text, std::initializer_list<Named> values) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '{') {
            const std::size_t end = text.find('}', i);
            if (end != std::string_view::npos) {
                const std::string_view name = text.substr(i + 1, end - i - 1);
                const Named* found = nullptr;
                for (const Named& value : values) {
                    found = value.Name == name ? &value : found;
                }
                if (found != nullptr) {
                    out += found->Value;
                    i = end + 1;
                    continue;
                }
            }
        }
        out += text[i++];
    }
    return out;
}

} // namespace

void SetLanguage(Language language) {
    Current = language;
}

Language CurrentLanguage() {
    return Current;
}

bool LanguageNamed(std::string_view, Language& language) {
    language = Language::English;
    return true;
}

Language UsersLanguage() {
    return Language::English;
}

std::string Say(std::string_view english, std::initializer_list<Named> values) {
    return Fill(english, values);
}

std::string SayIn(std::string_view, std::string_view english, std::initializer_list<Named> values) {
    return Fill(english, values);
}

std::string SayCount(std::string_view singular, std::string_view plural, std::uint64_t count,
                     std::initializer_list<Named> values) {
    std::string out = Fill(count == 1 ? singular : plural, values);
    const std::string shown = std::to_string(count);
    std::string filled;
    for (std::size_t i = 0; i < out.size();) {
        if (out.compare(i, 7, "{count}") == 0) {
            filled += shown;
            i += 7;
        } else {
            filled += out[i++];
        }
    }
    return filled;
}

std::string ShownNumber(float value) {
    return Number(value);
}

std::string ShownSigned(float value) {
    return SignedNumber(value);
}

std::string ShownDecibels(double value) {
    return Decibels(value);
}
