#include "FloatText.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

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

// As <charconv> writes it: the fewest significant digits that read back as
// value, in fixed or exponent notation, whichever is shorter (fixed on a
// tie), the exponent with a sign and at least two digits.
std::to_chars_result FormatShortest(char* first, char* last, float value) {
    // As <charconv> writes them; the digits below would be read from "inf".
    if (!std::isfinite(value)) {
        const std::string_view word = std::isnan(value) ? (std::signbit(value) ? "-nan" : "nan")
                                      : value < 0       ? "-inf"
                                                        : "inf";
        if (static_cast<std::size_t>(last - first) < word.size()) {
            return {last, std::errc::value_too_large};
        }
        return {std::copy(word.begin(), word.end(), first), std::errc()};
    }
    // Nine significant digits always read back as the same float; the first
    // precision that does is the shortest.
    char scientific[64];
    for (int precision = 0; precision <= 8; ++precision) {
        std::snprintf(scientific, sizeof scientific, "%.*e", precision, static_cast<double>(value));
        if (std::strtof(scientific, nullptr) == value) {
            break;
        }
    }
    std::string text = scientific;
    const bool negative = text[0] == '-';
    const std::size_t e = text.find('e');
    std::string digits = text.substr(negative ? 1 : 0, e - (negative ? 1 : 0));
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    const int exponent = std::atoi(text.c_str() + e + 1);

    std::string fixed;
    const int count = static_cast<int>(digits.size());
    if (exponent + 1 > count) {
        // A whole number longer than its shortest digits is written exactly.
        char whole[64];
        std::snprintf(whole, sizeof whole, "%.0f", std::fabs(static_cast<double>(value)));
        fixed = whole;
    } else if (exponent >= 0) {
        fixed = digits.substr(0, static_cast<std::size_t>(exponent + 1));
        if (count > exponent + 1) {
            fixed += '.';
            fixed += digits.substr(static_cast<std::size_t>(exponent + 1));
        }
    } else {
        fixed = "0.";
        fixed.append(static_cast<std::size_t>(-exponent - 1), '0');
        fixed += digits;
    }
    std::string exponential = digits.substr(0, 1);
    if (count > 1) {
        exponential += '.';
        exponential += digits.substr(1);
    }
    char power[16];
    std::snprintf(power, sizeof power, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    exponential += power;

    std::string shortest = exponential.size() < fixed.size() ? exponential : fixed;
    if (negative) {
        shortest.insert(0, 1, '-');
    }
    if (static_cast<std::ptrdiff_t>(shortest.size()) > last - first) {
        return {last, std::errc::value_too_large};
    }
    std::memcpy(first, shortest.data(), shortest.size());
    return {first + shortest.size(), std::errc{}};
}
