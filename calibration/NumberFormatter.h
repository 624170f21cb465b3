#pragma once

#include <cstddef>

// The longest value written: a sign, 39 integer digits of the largest float,
// the point and six decimals.
constexpr std::size_t FormattedValueMax = 48;

// Writes value in fixed notation with six decimals: the float's exact binary
// value rounded to nearest, ties to even; a minus sign whenever the sign bit is
// set (so -0.000000), no plus sign; inf, -inf and nan for the non-finite.
// Needs FormattedValueMax bytes at out; returns the end of what it wrote.
char* FormatValue(float value, char* out);
