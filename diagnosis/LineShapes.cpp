#include "LineShapes.h"

#include "DataLineScan.h"
#include "NumberScanner.h"
#include "TextReader.h"

#include <algorithm>
#include <cstring>
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

// A comma with a digit on either side, in a line of size bytes at t.
bool DigitsAround(const char* t, std::size_t i, std::size_t size) {
    return i > 0 && i + 1 < size && IsDigit(t[i - 1]) && IsDigit(t[i + 1]);
}

// The line with a tab for each comma or semicolon, and with full stops for
// decimal commas first where decimalPoints says so; how many separators
// became tabs. Every line of a spreadsheet's file comes here: one plain pass
// that does nothing for most of its bytes.
std::size_t Rewrite(std::string_view text, bool decimalPoints, std::string& out) {
    out.assign(text);
    char* const o = out.data();
    const char* const t = text.data();
    const std::size_t size = text.size();
    std::size_t tabs = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = t[i];
        if (c != ',' && c != ';') {
            continue;
        }
        const bool point = c == ',' && decimalPoints && DigitsAround(t, i, size);
        o[i] = point ? '.' : '\t';
        tabs += point ? 0 : 1;
    }
    return tabs;
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
    std::string changed;
    Rewrite(text.substr(0, ReadLimit), HasDecimalComma(text), changed);
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

bool IsQuotedNumbersLine(std::string_view text) {
    return ReadQuotedNumbers(text, nullptr);
}

bool ReadQuotedNumbers(std::string_view text, MeantLine* meant) {
    text = text.substr(0, ReadLimit);
    int numbers = 0;
    bool quoted = false;
    std::string out;
    std::size_t p = 0;
    for (;;) {
        const std::size_t separators = p;
        while (p < text.size() && IsFieldSeparator(text[p])) {
            ++p;
        }
        // Blanks and tabs stay; a comma or a semicolon between fields
        // becomes a tab.
        for (std::size_t i = separators; i < p && meant != nullptr; ++i) {
            const bool separator = text[i] == ',' || text[i] == ';';
            meant->Separators = meant->Separators || separator;
            out += separator ? '\t' : text[i];
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
        if (meant != nullptr) {
            // Within its quotes a field is one number: a comma there is its
            // decimal point.
            const std::size_t start = out.size();
            out += field;
            if (HasDecimalComma(field)) {
                std::replace(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), ',', '.');
                meant->DecimalCommas = true;
            }
        }
        ++numbers;
        p = end;
    }
    if (!quoted || numbers < 2) {
        return false;
    }
    if (meant != nullptr) {
        meant->Text = std::move(out);
    }
    return true;
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

DroppedShape DroppedShapeOf(std::string_view text, int valueCount) {
    if (IsDecimalCommaLine(text, valueCount)) {
        return DroppedShape::DecimalComma;
    }
    if (IsCommaSeparatedLine(text, valueCount)) {
        return HasDecimalComma(text) ? DroppedShape::SpreadsheetCsv : DroppedShape::Separators;
    }
    if (const HeaderShape shape = UnquotedHeaderShape(text); shape != HeaderShape::None) {
        return shape == HeaderShape::SensFactor ? DroppedShape::UnquotedSensFactor
                                                : DroppedShape::MisplacedQuote;
    }
    if (IsUnreadableNumberLine(text)) {
        return DroppedShape::UnreadableNumber;
    }
    switch (DropReasonOf(text)) {
    case DropReason::OneNumber:
        return DroppedShape::OneNumber;
    case DropReason::ZeroFrequency:
        return DroppedShape::ZeroFrequency;
    case DropReason::Blank:
        return DroppedShape::Blank;
    case DropReason::Words:
        break;
    }
    return DroppedShape::Words;
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
    // From the end: the last digits are the decimals, or the exponent's.
    NumberShape shape;
    std::size_t end = number.size();
    std::size_t i = end;
    while (i > 0 && IsDigit(number[i - 1])) {
        --i;
    }
    if (i > 0 && (number[i - 1] == '+' || number[i - 1] == '-') && i > 1 &&
        (number[i - 2] | 0x20) == 'e') {
        --i;
    }
    if (i > 0 && (number[i - 1] | 0x20) == 'e') {
        const bool sign = i < end && (number[i] == '+' || number[i] == '-');
        shape.ExponentDigits = static_cast<int>(end - i - (sign ? 1 : 0));
        end = --i;
        while (i > 0 && IsDigit(number[i - 1])) {
            --i;
        }
    }
    if (i > 0 && number[i - 1] == '.') {
        shape.Decimals = static_cast<int>(end - i);
    }
    return shape;
}

namespace {

// A comma or semicolon right after the line's first number: the converter's
// scan stops there, so the line is no data line, which a glance tells
// cheaper than the scan. Every line of a spreadsheet's CSV is one.
bool SeparatorEndsFirstNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsScanWhitespace(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    // Digits with at most one point: "1.5.3" is two numbers to the scan.
    const std::size_t digits = i;
    bool point = false;
    while (i < text.size() && (IsDigit(text[i]) || (text[i] == '.' && !point))) {
        point = point || text[i] == '.';
        ++i;
    }
    const bool number = std::any_of(text.begin() + static_cast<std::ptrdiff_t>(digits),
                                    text.begin() + static_cast<std::ptrdiff_t>(i), IsDigit);
    return number && i < text.size() && (text[i] == ',' || text[i] == ';');
}

// What a line's commas and semicolons are, in one pass.
struct CommaFacts {
    bool Separators = false; // a comma or a semicolon
    bool Semicolons = false;
    bool DecimalCommas = false; // a comma between digits, and no full stop
};

CommaFacts CommaFactsOf(std::string_view text) {
    CommaFacts facts;
    const char* const t = text.data();
    const std::size_t size = text.size();
    bool point = false;
    bool digitCommaDigit = false;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = t[i];
        if (c == ',') {
            facts.Separators = true;
            digitCommaDigit = digitCommaDigit || DigitsAround(t, i, size);
        } else if (c == ';') {
            facts.Separators = facts.Semicolons = true;
        } else if (c == '.') {
            point = true;
        }
    }
    facts.DecimalCommas = digitCommaDigit && !point;
    return facts;
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

} // namespace

void ReadAsMeant(std::string_view text, int valueCount, MeantLine& meant) {
    meant.Reading = LineReading::AsItStands;
    meant.Separators = meant.DecimalCommas = false;
    meant.Text.clear();
    meant.Other.clear();
    meant.Count = 0;
    text = text.substr(0, ReadLimit);
    const CommaFacts facts = CommaFactsOf(text);
    if (!facts.Separators) {
        return;
    }
    float before[MyMicInValueCount];
    std::string_view beforeTexts[MyMicInValueCount];
    const int beforeCount =
        SeparatorEndsFirstNumber(text) ? 0 : ScanDataLine(text, before, valueCount, beforeTexts);
    if (beforeCount > 0 && !facts.DecimalCommas) {
        return;
    }
    bool withPoints = facts.DecimalCommas;
    if (withPoints && !facts.Semicolons && !BlanksSeparateNumbers(text)) {
        // Commas alone separate, and some stand between digits: either
        // reading may be meant, unless only one of them is a point.
        Rewrite(text, true, meant.Text);
        Rewrite(text, false, meant.Other);
        float values[MyMicInValueCount];
        const bool pointsAreData = ScanDataLine(meant.Text, values, valueCount) > 0;
        const bool separatorsAreData = ScanDataLine(meant.Other, values, valueCount) > 0;
        if (pointsAreData && separatorsAreData) {
            meant.Reading = LineReading::TwoWays;
            return;
        }
        withPoints = pointsAreData;
        meant.Other.clear();
    }
    const std::size_t tabs = Rewrite(text, withPoints, meant.Text);
    meant.Count = ScanDataLine(meant.Text, meant.Values, valueCount, meant.Texts);
    // A comma in a comment after the numbers is no part of them: the numbers
    // read stand where they stood, as long as they were. (A mending keeps
    // every byte in its place.)
    const auto samePlace = [&](int i) {
        return beforeTexts[i].data() - text.data() == meant.Texts[i].data() - meant.Text.data() &&
               beforeTexts[i].size() == meant.Texts[i].size();
    };
    bool same = beforeCount == meant.Count;
    for (int i = 0; same && i < beforeCount; ++i) {
        same = samePlace(i);
    }
    if (meant.Count == 0 || same) {
        meant.Text.clear();
        meant.Count = 0;
        return;
    }
    meant.Reading = LineReading::Mended;
    meant.DecimalCommas = withPoints;
    meant.Separators = tabs > 0;
}
