#pragma once

#include "NumberScanner.h"

#include <cstddef>
#include <string>
#include <string_view>

// The byte-level rules that the readings of dropped lines, of lines as meant
// and of header lines share, each written once.

inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A comma with a digit on either side.
inline bool IsDecimalCommaAt(std::string_view text, std::size_t i) {
    return text[i] == ',' && i > 0 && i + 1 < text.size() && IsDigit(text[i - 1]) &&
           IsDigit(text[i + 1]);
}

inline std::string_view WithoutLeadingBlanks(std::string_view text) {
    while (!text.empty() && IsScanWhitespace(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

inline bool IsFieldSeparator(char c) {
    return IsScanWhitespace(c) || c == ',' || c == ';';
}

// The text starts with words, in capitals or not.
bool StartsWithWords(std::string_view text, std::string_view words);

// The line with a tab for each comma or semicolon, and with full stops for
// decimal commas first where decimalPoints says so; how many separators
// became tabs. Every line of a spreadsheet's file comes here: one plain pass
// that does nothing for most of its bytes.
std::size_t WithSeparatorsAsTabs(std::string_view text, bool decimalPoints, std::string& out);
