#pragma once

#include <charconv>

// The two conversions between decimal text and binary floating point that
// the tool leaves to a library: both correctly rounded, locale-independent,
// and free of exceptions. They are the standard <charconv> ones wherever the
// standard library has them; where it lacks them (the WebAssembly build's),
// the C library's strtof and snprintf stand in, which the byte-for-byte
// comparison with the native program checks for that build.

// Plain decimal text [first, last) (digits, at most one point, an optional
// exponent, an optional leading minus) to the nearest float. A magnitude
// beyond the float range gives result_out_of_range and leaves value as it
// was; the caller knows which way it went.
std::from_chars_result ParseFloat(const char* first, const char* last, float& value);

// value in fixed notation with the given number of decimals; inf and -inf
// for infinities.
std::to_chars_result FormatFixed(char* first, char* last, double value, int decimals);

// The shortest decimal text that reads back as exactly value (finite), in
// plain or exponent notation, whichever is shorter.
std::to_chars_result FormatShortest(char* first, char* last, float value);
