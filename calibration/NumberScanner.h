#pragma once

#include <string_view>

// Whitespace to the scan: exactly tab, line feed, vertical tab, form feed,
// carriage return and blank; no byte above 0x7F, whatever the locale.
inline bool IsScanWhitespace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The result of a scan of a line that holds nothing but whitespace.
constexpr int ScanEndOfInput = -1;

// Scans up to count numbers separated by any run of whitespace (including
// none) from the bounded text [begin, end), each converted to the nearest
// float. Returns how many were converted before the first thing that is no
// number, or ScanEndOfInput when the text ends before the first number.
//
// A number is an optional sign, digits with at most one decimal point (at
// least one digit in all), then, only after a digit, an e or E with an
// optional sign and exponent digits. The longest such prefix is taken, so an
// e without exponent digits is taken and counts as exponent zero. There are no
// words for infinity or not-a-number, no hexadecimal form, and the full stop
// is the only decimal point. Magnitudes beyond the float range become
// infinities, those below it subnormals or zeros, each keeping its sign.
int ScanValues(const char* begin, const char* end, float* values, int count);

// The same scan, which also gives the text of each number converted, as the
// line writes it.
int ScanValueTexts(const char* begin, const char* end, float* values, std::string_view* texts,
                   int count);
