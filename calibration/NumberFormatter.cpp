#include "NumberFormatter.h"

#include "FloatText.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace {

constexpr char DigitPairs[] = "00010203040506070809"
                              "10111213141516171819"
                              "20212223242526272829"
                              "30313233343536373839"
                              "40414243444546474849"
                              "50515253545556575859"
                              "60616263646566676869"
                              "70717273747576777879"
                              "80818283848586878889"
                              "90919293949596979899";

char* WritePair(std::uint32_t pair, char* out) {
    std::memcpy(out, DigitPairs + 2 * pair, 2);
    return out + 2;
}

// The digits are counted first so that they can be written in place, from
// the last pair back; a whole part of a fraction fits in 32 bits, whose
// division is cheap everywhere.
template <typename Unsigned> char* WriteInteger(Unsigned value, char* out) {
    constexpr int MostCountable = std::numeric_limits<Unsigned>::digits10;
    int length = 1;
    Unsigned bound = 10;
    for (; length < MostCountable && value >= bound; bound *= 10) {
        ++length;
    }
    if (length == MostCountable && value >= bound) {
        ++length;
    }
    char* p = out + length;
    while (value >= 100) {
        p -= 2;
        WritePair(static_cast<std::uint32_t>(value % 100), p);
        value /= 100;
    }
    if (value >= 10) {
        WritePair(static_cast<std::uint32_t>(value), p - 2);
    } else {
        p[-1] = static_cast<char>('0' + value);
    }
    return out + length;
}

char* WriteSixDecimals(std::uint32_t millionths, char* out) {
    *out++ = '.';
    out = WritePair(millionths / 10000, out);
    out = WritePair(millionths / 100 % 100, out);
    return WritePair(millionths % 100, out);
}

constexpr std::uint64_t Million = 1000000;
constexpr int SignificandBits = 23;
constexpr int ExponentBias = 127 + SignificandBits;
// Beyond this a whole-number float no longer fits in 64 bits; such values
// are rare enough in a calibration file to go the general way.
constexpr int LargestIntegerShift = 39;
// Below this a float times a million is below one half, since the
// significand times a million is below 2^44: it rounds to zero.
constexpr int SmallestFractionShift = -44;

} // namespace

// The float is significand * 2^exponent exactly. Times a million that is an
// integer for exponent >= 0, and otherwise a quotient by a power of two whose
// remainder rounds it, ties to even: the same digits as the exact decimal
// expansion rounded, which is what the general conversion of the widened
// double produces, at a fraction of its cost.
char* FormatValue(float value, char* out) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const auto exponentField = static_cast<int>(bits >> SignificandBits & 0xFF);
    std::uint64_t significand = bits & ((1u << SignificandBits) - 1);
    if (exponentField == 0xFF && significand != 0) {
        // One spelling for every not-a-number, whatever its sign bit.
        std::memcpy(out, "nan", 3);
        return out + 3;
    }
    const int exponent = exponentField == 0 ? 1 - ExponentBias : exponentField - ExponentBias;
    if (exponent > LargestIntegerShift) {
        return FormatFixed(out, out + FormattedValueMax, static_cast<double>(value), 6).ptr;
    }
    if (exponentField != 0) {
        significand |= 1u << SignificandBits;
    }
    if ((bits >> 31) != 0) {
        *out++ = '-';
    }
    if (exponent >= 0) {
        out = WriteInteger(significand << exponent, out);
        return WriteSixDecimals(0, out);
    }
    std::uint64_t millionths = 0;
    if (exponent >= SmallestFractionShift) {
        const int shift = -exponent;
        const std::uint64_t scaled = significand * Million;
        const std::uint64_t remainder = scaled & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        millionths = scaled >> shift;
        if (remainder > half || (remainder == half && (millionths & 1) != 0)) {
            ++millionths;
        }
    }
    out = WriteInteger(static_cast<std::uint32_t>(millionths / Million), out);
    return WriteSixDecimals(static_cast<std::uint32_t>(millionths % Million), out);
}
