#pragma once

// Included ahead of every source, and only where the standard library lacks
// the floating-point conversions of <charconv>: it declares the ones this tool
// calls, carried out by the C library's strtof and snprintf. That is exact only
// where the C library is, which the byte-for-byte comparison with the native
// program checks for the build that needs it. Such a library may lack
// std::bit_cast as well, which the compiler provides in all but name.

#include <charconv>
#include <version>

namespace std {

#ifndef __cpp_lib_bit_cast
template <typename To, typename From> constexpr To bit_cast(const From& from) noexcept {
    static_assert(sizeof(To) == sizeof(From));
    return __builtin_bit_cast(To, from);
}
#endif

// Decimal text to the nearest float, as the standard conversion does:
// result_out_of_range, with value untouched, when the magnitude overflows to
// an infinity or underflows to zero.
from_chars_result from_chars(const char* first, const char* last, float& value,
                             chars_format format = chars_format::general);

// Fixed notation with precision decimals; infinities as inf and -inf.
to_chars_result to_chars(char* first, char* last, double value, chars_format format, int precision);

} // namespace std
