#pragma once

#include <string_view>

// A header line is one whose very first byte is a double quote.
inline bool IsHeaderLine(std::string_view text) {
    return !text.empty() && text.front() == '"';
}

// Scans up to maxCount values from a line that is no header line. Returns the
// number of values (2 to maxCount) when the line is a data line: at least two
// values and a frequency, the first value, that is not zero. Returns 0 for any
// other line.
int ScanDataLine(std::string_view text, float* values, int maxCount);
