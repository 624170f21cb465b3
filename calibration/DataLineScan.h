#pragma once

#include <string_view>

// A reference file's lines are scanned for two values, MyMicIn's for three.
constexpr int ReferenceValueCount = 2;
constexpr int MyMicInValueCount = 3;

// Scans up to maxCount values from a line that is no header line. Returns the
// number of values (2 to maxCount) when the line is a data line: at least two
// values and a frequency, the first value, that is not zero. Returns 0 for any
// other line. Where texts is given, it receives each value's text as the line
// writes it.
int ScanDataLine(std::string_view text, float* values, int maxCount,
                 std::string_view* texts = nullptr);
