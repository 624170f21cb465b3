#include "HeaderFacts.h"

#include "LineText.h"
#include "NumberScanner.h"
#include "TextReader.h"

#include <algorithm>
#include <string>

namespace {

bool IsLetterOrDigit(char c) {
    return IsDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
}

std::string Lowered(std::string_view text) {
    std::string lowered(text.substr(0, ReadLimit));
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c | 0x20);
        }
    }
    return lowered;
}

} // namespace

bool SensitivityOf(std::string_view text, float& decibels) {
    if (!text.empty() && text.front() == '"') {
        text.remove_prefix(1);
    }
    text = WithoutLeadingBlanks(text);
    if (!StartsWithWords(text, "Sens Factor")) {
        return false;
    }
    text.remove_prefix(std::string_view("Sens Factor").size());
    text = WithoutLeadingBlanks(text);
    if (text.empty() || text.front() != '=') {
        return false;
    }
    text.remove_prefix(1);
    text = text.substr(0, ReadLimit);
    std::string_view written;
    if (ScanValueTexts(text.data(), text.data() + text.size(), &decibels, &written, 1) != 1) {
        return false;
    }
    // Written with a decimal comma ("-1,23dB"), the value goes on after it.
    const std::size_t end = static_cast<std::size_t>(written.data() - text.data()) + written.size();
    if (written.find('.') == std::string_view::npos && end + 1 < text.size() && text[end] == ',' &&
        IsDigit(text[end + 1])) {
        std::string number(text.substr(0, end));
        number += '.';
        std::size_t digits = end + 1;
        while (digits < text.size() && IsDigit(text[digits])) {
            number += text[digits++];
        }
        ScanValues(number.data(), number.data() + number.size(), &decibels, 1);
    }
    return true;
}

bool SerialNumberOf(std::string_view text, std::string& serial) {
    static constexpr std::string_view Keys[] = {"serno",  "serial number", "serial no", "serial nr",
                                                "serial", "s/n",           "sn"};
    const std::string lowered = Lowered(text);
    for (const std::string_view key : Keys) {
        for (std::size_t at = lowered.find(key); at != std::string::npos;
             at = lowered.find(key, at + 1)) {
            const std::size_t after = at + key.size();
            // A key is a word of its own: "SN" in "SNR" or "ASN" is none.
            if ((at > 0 && IsLetterOrDigit(lowered[at - 1])) ||
                (after < lowered.size() && IsLetterOrDigit(lowered[after]) &&
                 !IsDigit(lowered[after]))) {
                continue;
            }
            std::size_t p = after;
            while (p < lowered.size() &&
                   (IsScanWhitespace(lowered[p]) || lowered[p] == ':' || lowered[p] == '=' ||
                    lowered[p] == '#' || lowered[p] == '.')) {
                ++p;
            }
            std::size_t end = p;
            while (end < lowered.size() && (IsLetterOrDigit(lowered[end]) || lowered[end] == '-')) {
                ++end;
            }
            const std::string_view token = std::string_view(lowered).substr(p, end - p);
            if (token.size() >= 3 && std::any_of(token.begin(), token.end(), IsDigit)) {
                serial.assign(text.substr(p, end - p));
                for (char& c : serial) {
                    if (c >= 'a' && c <= 'z') {
                        c = static_cast<char>(c & ~0x20);
                    }
                }
                return true;
            }
        }
    }
    return false;
}

Incidence IncidenceOf(std::string_view text) {
    const std::string lowered = Lowered(text);
    if (lowered.find("random incidence") != std::string::npos ||
        lowered.find("random-incidence") != std::string::npos ||
        lowered.find("diffuse field") != std::string::npos ||
        lowered.find("diffuse-field") != std::string::npos) {
        return {IncidenceKind::Random, 0};
    }
    const std::string_view line = lowered;
    for (std::size_t p = 0; p < line.size(); ++p) {
        if (!IsDigit(line[p]) || (p > 0 && (IsDigit(line[p - 1]) || line[p - 1] == '.'))) {
            continue;
        }
        std::size_t q = p;
        int degrees = 0;
        while (q < line.size() && IsDigit(line[q]) && degrees <= 360) {
            degrees = degrees * 10 + (line[q++] - '0');
        }
        while (q < line.size() && (line[q] == ' ' || line[q] == '-')) {
            ++q;
        }
        std::string_view rest = line.substr(q);
        std::size_t mark = 0;
        if (rest.starts_with("\xC2\xB0")) {
            mark = 2;
        } else if (rest.starts_with("\xB0")) {
            mark = 1;
        } else if (rest.starts_with("degrees")) {
            mark = 7;
        } else if (rest.starts_with("degree")) {
            mark = 6;
        } else if (rest.starts_with("deg")) {
            mark = 3;
        }
        if (mark == 0 || degrees > 90 ||
            (mark + 0 < rest.size() && mark == 3 && IsLetterOrDigit(rest[mark]) &&
             rest[mark] != 'c')) {
            continue;
        }
        rest = WithoutLeadingBlanks(rest.substr(mark));
        // "23 °C" and "23 deg F" are temperatures.
        const bool temperature = (rest.starts_with("c") || rest.starts_with("f")) &&
                                 (rest.size() == 1 || !IsLetterOrDigit(rest[1]));
        if (!temperature) {
            return {IncidenceKind::Degrees, degrees};
        }
    }
    return {};
}

bool NamesPhaseSecond(std::string_view text) {
    const std::string lowered = Lowered(text);
    std::string_view names[2];
    int count = 0;
    std::size_t p = 0;
    while (count < 2 && p < lowered.size()) {
        while (p < lowered.size() && IsFieldSeparator(lowered[p])) {
            ++p;
        }
        std::size_t end = p;
        while (end < lowered.size() && !IsFieldSeparator(lowered[end])) {
            ++end;
        }
        std::string_view name = std::string_view(lowered).substr(p, end - p);
        while (!name.empty() &&
               std::string_view("\"*%#;'!").find(name.front()) != std::string_view::npos) {
            name.remove_prefix(1);
        }
        if (!name.empty()) {
            names[count++] = name;
        }
        p = end;
    }
    return count == 2 &&
           (names[0].find("freq") != std::string_view::npos || names[0].starts_with("hz") ||
            names[0] == "f" || names[0].starts_with("f(") || names[0].starts_with("f[")) &&
           (names[1].starts_with("phase") || names[1].starts_with("phi") ||
            names[1].starts_with("deg"));
}
