#include "MeantReading.h"

#include "DataLineScan.h"
#include "DroppedLines.h"
#include "LineText.h"
#include "NumberScanner.h"
#include "TextReader.h"

#include <algorithm>
#include <string>

namespace {

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
            digitCommaDigit = digitCommaDigit || IsDecimalCommaAt(text, i);
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
        WithSeparatorsAsTabs(text, true, meant.Text);
        WithSeparatorsAsTabs(text, false, meant.Other);
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
    const std::size_t tabs = WithSeparatorsAsTabs(text, withPoints, meant.Text);
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
