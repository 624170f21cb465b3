#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Pieces of the sentences that findings say.

// A float in the shortest form that reads back as it: 10.054, -0.25, 1e+20;
// inf, -inf and nan for the rest.
std::string Number(float value);

// With a sign always: +0.04, -0.25.
std::string SignedNumber(float value);

// A level in dB for a person: at most three decimals, with a sign.
std::string Decibels(double value);

// "1 line", "3 lines".
std::string Count(std::uint64_t count, std::string_view singular, std::string_view plural);

// "line 3", "lines 3, 7, 12", and ", ..." when there were more than shown.
std::string LineList(const std::vector<std::uint64_t>& lines, std::uint64_t total);

// The start of a line, quoted, cut where it grows long.
std::string Quoted(std::string_view text);
