#include "LineShapes.h"

#include "DataLineScan.h"
#include "NumberScanner.h"
#include "TextReader.h"

#include <algorithm>
#include <string>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsDecimalCommaAt(std::string_view text, std::size_t i) {
    return text[i] == ',' && i > 0 && i + 1 < text.size() && IsDigit(text[i - 1]) &&
           IsDigit(text[i + 1]);
}

// Only the part of a line that the converter scans is looked at.
std::string ScannedPart(std::string_view text) {
    return std::string(text.substr(0, ReadLimit));
}

bool IsDataLine(const std::string& text, int valueCount) {
    float values[MyMicInValueCount + 1];
    return ScanDataLine(text, values, valueCount) > 0;
}

std::string WithDecimalPoints(std::string_view text) {
    std::string changed = ScannedPart(text);
    for (std::size_t i = 0; i < changed.size(); ++i) {
        if (IsDecimalCommaAt(changed, i)) {
            changed[i] = '.';
        }
    }
    return changed;
}

std::size_t WordCount(std::string_view text) {
    std::size_t count = 0;
    bool inWord = false;
    for (const char c : text) {
        count += !inWord && !IsScanWhitespace(c) ? 1 : 0;
        inWord = !IsScanWhitespace(c);
    }
    return count;
}

std::string_view WithoutLeadingBlanks(std::string_view text) {
    while (!text.empty() && IsScanWhitespace(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

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

bool IsFieldSeparator(char c) {
    return IsScanWhitespace(c) || c == ',' || c == ';';
}

// The text is one number and nothing else, its decimal point a full stop
// or, in a line without full stops, a comma.
bool IsLoneNumber(std::string_view text) {
    std::string number(text);
    if (HasDecimalComma(number)) {
        std::replace(number.begin(), number.end(), ',', '.');
    }
    float value;
    std::string_view written;
    return !number.empty() &&
           ScanValueTexts(number.data(), number.data() + number.size(), &value, &written, 1) == 1 &&
           written.size() == number.size();
}

bool StartsWithWords(std::string_view text, std::string_view words) {
    if (text.size() < words.size()) {
        return false;
    }
    return std::equal(words.begin(), words.end(), text.begin(),
                      [](char a, char b) { return (a | 0x20) == (b | 0x20); });
}

} // namespace

bool HasDecimalComma(std::string_view text) {
    text = text.substr(0, ReadLimit);
    // Most lines have no comma at all; one search tells.
    if (text.find(',') == std::string_view::npos || text.find('.') != std::string_view::npos) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsDecimalCommaAt(text, i)) {
            return true;
        }
    }
    return false;
}

bool IsDecimalCommaLine(std::string_view text, int valueCount) {
    return HasDecimalComma(text) && WordCount(text.substr(0, ReadLimit)) >= 2 &&
           IsDataLine(WithDecimalPoints(text), valueCount);
}

bool IsCommaSeparatedLine(std::string_view text, int valueCount) {
    if (text.substr(0, ReadLimit).find_first_of(",;") == std::string_view::npos) {
        return false;
    }
    std::string changed = HasDecimalComma(text) ? WithDecimalPoints(text) : ScannedPart(text);
    std::replace_if(
        changed.begin(), changed.end(), [](char c) { return c == ',' || c == ';'; }, ' ');
    return IsDataLine(changed, valueCount);
}

HeaderShape UnquotedHeaderShape(std::string_view text) {
    if (text.empty() || text.front() == '"') {
        return HeaderShape::None;
    }
    const std::string_view start = WithoutLeadingBlanks(text);
    if (StartsWithWords(start, "Sens Factor")) {
        return HeaderShape::SensFactor;
    }
    if (!start.empty() && start.front() == '"') {
        return HeaderShape::MisplacedQuote;
    }
    std::string_view end = text;
    while (!end.empty() && IsScanWhitespace(end.back())) {
        end.remove_suffix(1);
    }
    if (!end.empty() && end.back() == '"' && std::count(end.begin(), end.end(), '"') == 1) {
        return HeaderShape::MisplacedQuote;
    }
    return HeaderShape::None;
}

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
    return ScanValues(text.data(), text.data() + text.size(), &decibels, 1) == 1;
}

bool IsQuotedNumbersLine(std::string_view text) {
    text = text.substr(0, ReadLimit);
    int numbers = 0;
    bool quoted = false;
    std::size_t p = 0;
    for (;;) {
        while (p < text.size() && IsFieldSeparator(text[p])) {
            ++p;
        }
        if (p == text.size()) {
            break;
        }
        std::size_t end = 0;
        std::string_view field;
        if (text[p] == '"') {
            end = text.find('"', p + 1);
            if (end == std::string_view::npos) {
                return false;
            }
            field = text.substr(p + 1, end - p - 1);
            ++end;
            quoted = true;
        } else {
            end = p;
            while (end < text.size() && !IsFieldSeparator(text[end])) {
                ++end;
            }
            field = text.substr(p, end - p);
        }
        if (!IsLoneNumber(field)) {
            return false;
        }
        ++numbers;
        p = end;
    }
    return quoted && numbers >= 2;
}

bool IsUnreadableNumberLine(std::string_view text) {
    text = text.substr(0, ReadLimit);
    float values[2];
    std::string_view written[2];
    if (ScanValueTexts(text.data(), text.data() + text.size(), values, written, 2) != 1) {
        return false;
    }
    std::string_view rest = WithoutLeadingBlanks(
        text.substr(static_cast<std::size_t>(written[0].data() + written[0].size() - text.data())));
    if (rest.empty() || !(IsDigit(rest[0]) || rest[0] == '+' || rest[0] == '-' || rest[0] == '.')) {
        return false;
    }
    const std::size_t tokenEnd =
        std::find_if(rest.begin(), rest.end(), IsScanWhitespace) - rest.begin();
    const std::string_view token = rest.substr(0, tokenEnd);
    return std::any_of(token.begin(), token.end(), IsDigit);
}

DropReason DropReasonOf(std::string_view text) {
    text = text.substr(0, ReadLimit);
    float values[2];
    std::string_view written[2];
    const int count = ScanValueTexts(text.data(), text.data() + text.size(), values, written, 2);
    if (count == ScanEndOfInput) {
        return DropReason::Blank;
    }
    if (count == 2) {
        return DropReason::ZeroFrequency;
    }
    if (count == 1 &&
        WithoutLeadingBlanks(text.substr(static_cast<std::size_t>(written[0].data() +
                                                                  written[0].size() - text.data())))
            .empty()) {
        return DropReason::OneNumber;
    }
    return DropReason::Words;
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

NumberShape ShapeOf(std::string_view number) {
    NumberShape shape;
    std::size_t i = 0;
    while (i < number.size() && number[i] != '.' && (number[i] | 0x20) != 'e') {
        ++i;
    }
    if (i < number.size() && number[i] == '.') {
        const std::size_t point = i++;
        while (i < number.size() && IsDigit(number[i])) {
            ++i;
        }
        shape.Decimals = static_cast<int>(i - point - 1);
    }
    if (i < number.size()) {
        for (++i; i < number.size(); ++i) {
            shape.ExponentDigits += IsDigit(number[i]) ? 1 : 0;
        }
    }
    return shape;
}

namespace {

std::string WithTabsForSeparators(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == ',' || c == ';'; }, '\t');
    return text;
}

// Blanks or tabs stand between two of the line's first words, each of
// which starts like a number.
bool BlanksSeparateNumbers(std::string_view text) {
    text = WithoutLeadingBlanks(text);
    const std::size_t end = std::find_if(text.begin(), text.end(), IsScanWhitespace) - text.begin();
    const std::string_view next = WithoutLeadingBlanks(text.substr(end));
    const auto startsNumber = [](std::string_view word) {
        return !word.empty() &&
               (IsDigit(word[0]) || word[0] == '-' || word[0] == '+' || word[0] == '.');
    };
    return startsNumber(text) && startsNumber(next);
}

// A comma in a comment after the numbers changes nothing the converter reads.
bool SameReading(std::string_view text, const std::string& mended, int valueCount) {
    float before[MyMicInValueCount];
    float after[MyMicInValueCount];
    const int count = ScanDataLine(text, before, valueCount);
    return count == ScanDataLine(mended, after, valueCount) &&
           std::equal(before, before + count, after);
}

} // namespace

MeantLine ReadAsMeant(std::string_view text, int valueCount) {
    MeantLine meant;
    text = text.substr(0, ReadLimit);
    const bool semicolons = text.find(';') != std::string_view::npos;
    const bool commas = text.find(',') != std::string_view::npos;
    const bool decimalCommas = HasDecimalComma(text);
    const bool isData = IsDataLine(std::string(text), valueCount);
    if (!semicolons && !commas) {
        return meant;
    }
    if (isData && !decimalCommas) {
        return meant;
    }
    const std::string separated = WithTabsForSeparators(std::string(text));
    const std::string withPoints = WithTabsForSeparators(WithDecimalPoints(text));
    std::string chosen;
    if (!decimalCommas) {
        chosen = separated;
    } else if (semicolons || BlanksSeparateNumbers(text)) {
        chosen = withPoints;
    } else {
        // Commas alone separate, and some stand between digits.
        const bool separatedIsData = IsDataLine(separated, valueCount);
        const bool withPointsIsData = IsDataLine(withPoints, valueCount);
        if (separatedIsData && withPointsIsData) {
            meant.Reading = LineReading::TwoWays;
            meant.Text = withPoints;
            meant.Other = separated;
            return meant;
        }
        chosen = withPointsIsData ? withPoints : separated;
    }
    if (!IsDataLine(chosen, valueCount) || (isData && SameReading(text, chosen, valueCount))) {
        return meant;
    }
    meant.Reading = LineReading::Mended;
    meant.DecimalCommas = decimalCommas && chosen == withPoints;
    meant.Separators =
        std::count(chosen.begin(), chosen.end(), '\t') > std::count(text.begin(), text.end(), '\t');
    meant.Text = chosen;
    return meant;
}
