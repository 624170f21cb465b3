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
    if (text.find('.') != std::string_view::npos) {
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
