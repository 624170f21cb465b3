#include "StandardLibraryFallback.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace std {

from_chars_result from_chars(const char* first, const char* last, float& value,
                             chars_format format) {
    // strtof needs a terminated string; it would also take what the standard
    // conversion refuses (blanks, a plus sign, hexadecimal), which no caller
    // passes but which must not slip through here either.
    const string text(first, last);
    const bool plainStart =
        !text.empty() && (text[0] == '-' || text[0] == '.' || (text[0] >= '0' && text[0] <= '9'));
    const bool hexadecimal = text.find_first_of("xX") != string::npos;
    if (format != chars_format::general || !plainStart || hexadecimal) {
        return {first, errc::invalid_argument};
    }
    char* end = nullptr;
    errno = 0;
    const float converted = strtof(text.c_str(), &end);
    const auto taken = end - text.c_str();
    if (taken == 0) {
        return {first, errc::invalid_argument};
    }
    // A subnormal result is a result; only infinity and zero are out of range.
    if (errno == ERANGE && (isinf(converted) || converted == 0.0f)) {
        return {first + taken, errc::result_out_of_range};
    }
    value = converted;
    return {first + taken, errc{}};
}

to_chars_result to_chars(char* first, char* last, double value, chars_format format,
                         int precision) {
    if (format != chars_format::fixed || precision < 0) {
        return {last, errc::value_too_large};
    }
    // The largest double has 309 whole digits.
    char text[320 + 64];
    const int length = snprintf(text, sizeof text, "%.*f", precision, value);
    if (length < 0 || static_cast<size_t>(length) >= sizeof text || length > last - first) {
        return {last, errc::value_too_large};
    }
    memcpy(first, text, static_cast<size_t>(length));
    return {first + length, errc{}};
}

} // namespace std
