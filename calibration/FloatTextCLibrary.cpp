#include "FloatText.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

std::from_chars_result ParseFloat(const char* first, const char* last, float& value) {
    // strtof needs a terminated string, and would take what the standard
    // conversion refuses (blanks, a plus sign, hexadecimal, words): no
    // caller passes those, and they must not slip through here either.
    const std::string text(first, last);
    const bool plainStart =
        !text.empty() && (text[0] == '-' || text[0] == '.' || (text[0] >= '0' && text[0] <= '9'));
    if (!plainStart || text.find_first_of("xXnN") != std::string::npos) {
        return {first, std::errc::invalid_argument};
    }
    char* end = nullptr;
    errno = 0;
    const float converted = std::strtof(text.c_str(), &end);
    const auto taken = end - text.c_str();
    if (taken == 0) {
        return {first, std::errc::invalid_argument};
    }
    // A subnormal result is a result; only infinity and zero are out of range.
    if (errno == ERANGE && (std::isinf(converted) || converted == 0.0f)) {
        return {first + taken, std::errc::result_out_of_range};
    }
    value = converted;
    return {first + taken, std::errc{}};
}

std::to_chars_result FormatFixed(char* first, char* last, double value, int decimals) {
    // The largest double has 309 whole digits.
    char text[320 + 64];
    const int length = std::snprintf(text, sizeof text, "%.*f", decimals, value);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof text || length > last - first) {
        return {last, std::errc::value_too_large};
    }
    std::memcpy(first, text, static_cast<std::size_t>(length));
    return {first + length, std::errc{}};
}
