#include "NumberScanner.h"

#include "FloatText.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

const char* SkipDigits(const char* p, const char* end) {
    while (p < end && IsDigit(*p)) {
        ++p;
    }
    return p;
}

// The decimal exponent of the leading non-zero digit: the magnitude at which
// a number that the float range cannot hold overflows (>= 0) or underflows.
long LeadingDigitExponent(const char* digits, const char* point, const char* mantissaEnd,
                          const char* exponent, const char* end) {
    constexpr long Saturated = 1L << 30;
    long magnitude = 0;
    const char* p = digits;
    for (; p < mantissaEnd && (*p == '0' || *p == '.'); ++p) {
    }
    if (point == nullptr || p < point) {
        magnitude = static_cast<long>((point != nullptr ? point : mantissaEnd) - p) - 1;
    } else {
        magnitude = -static_cast<long>(p - point);
    }
    if (exponent == nullptr) {
        return magnitude;
    }
    bool negative = false;
    if (exponent < end && (*exponent == '+' || *exponent == '-')) {
        negative = *exponent == '-';
        ++exponent;
    }
    long value = 0;
    for (; exponent < end && IsDigit(*exponent); ++exponent) {
        if (value < Saturated) {
            value = value * 10 + (*exponent - '0');
        }
    }
    return negative ? magnitude - value : magnitude + value;
}

// Digits of a number, read once: its significant digits as an integer while
// they fit, and the power of ten that scales them.
struct DecimalDigits {
    std::uint64_t Significand = 0;
    int Exponent = 0;
    bool Exact = true; // false once a digit did not fit
};

const char* TakeDigits(const char* p, const char* end, DecimalDigits& number, bool fraction) {
    // Kept in locals so that the loop runs in registers; a digit test on the
    // unsigned difference is one comparison.
    std::uint64_t significand = number.Significand;
    int taken = 0;
    for (; p < end; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (digit > 9) {
            break;
        }
        if (significand < 100000000000000000) {
            significand = significand * 10 + digit;
            ++taken;
        } else {
            number.Exact = false;
        }
    }
    number.Significand = significand;
    number.Exponent -= fraction ? taken : 0;
    return p;
}

// The common case, a plain decimal of up to 15 digits, without the general
// conversion: a significand below 2^53 and a power of ten of at most 10^22
// are both doubles exactly, so one correctly rounded multiplication or
// division gives the double nearest to the decimal, well inside the normal
// float range. Rounding that double to float gives the float nearest to the
// decimal unless the double lies exactly halfway between two floats, where
// the decimal itself may lie on either side: that rare case goes the general
// way.
bool FastConvert(const DecimalDigits& number, bool negative, float& value) {
    static constexpr double PowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                             1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr int LargestPower = 22;
    if (!number.Exact || number.Significand > (std::uint64_t{1} << 53) ||
        number.Exponent < -LargestPower || number.Exponent > LargestPower) {
        return false;
    }
    const auto significand = static_cast<double>(number.Significand);
    const double magnitude = number.Exponent < 0 ? significand / PowersOfTen[-number.Exponent]
                                                 : significand * PowersOfTen[number.Exponent];
    // A double carries 29 significand bits more than a float; a halfway
    // double has just the highest of them set.
    constexpr std::uint64_t DroppedBits = (std::uint64_t{1} << 29) - 1;
    constexpr std::uint64_t Halfway = std::uint64_t{1} << 28;
    std::uint64_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    if ((bits & DroppedBits) == Halfway) {
        return false;
    }
    const auto rounded = static_cast<float>(magnitude);
    value = negative ? -rounded : rounded;
    return true;
}

// Scans one number at p; returns where it ended, or nullptr when p holds
// no number. Inlined into each scan of a line: a call per number costs the
// converter a tenth of its time.
[[gnu::always_inline]] inline const char* ScanNumber(const char* p, const char* end, float& value) {
    const char* const start = p;
    if (p < end && (*p == '+' || *p == '-')) {
        ++p;
    }
    const char* const digits = p;
    DecimalDigits number;
    p = TakeDigits(p, end, number, false);
    bool hasDigit = p != digits;
    const char* point = nullptr;
    if (p < end && *p == '.') {
        point = p;
        const char* const fraction = p + 1;
        p = TakeDigits(fraction, end, number, true);
        hasDigit = hasDigit || p != fraction;
    }
    // A lone sign, a lone point, or a sign and a point are no number.
    if (!hasDigit) {
        return nullptr;
    }
    const char* const mantissaEnd = p;
    const char* exponent = nullptr;
    if (p < end && (*p == 'e' || *p == 'E')) {
        // Greedy: the letter and its sign stay taken even when no exponent
        // digit follows; the exponent then counts as zero.
        exponent = ++p;
        if (p < end && (*p == '+' || *p == '-')) {
            ++p;
        }
        const char* const exponentDigits = p;
        p = SkipDigits(p, end);
        if (p == exponentDigits) {
            exponent = nullptr;
        }
    }
    if (exponent == nullptr && FastConvert(number, *start == '-', value)) {
        return p;
    }
    const char* const numberEnd = exponent != nullptr ? p : mantissaEnd;
    // The conversion takes no plus sign; the digits were checked above, so
    // it sees nothing but a plain decimal number.
    const char* const convertFrom = *start == '+' ? start + 1 : start;
    const auto [convertedTo, error] = ParseFloat(convertFrom, numberEnd, value);
    if (error == std::errc::result_out_of_range) {
        const bool negative = *start == '-';
        const bool overflow = LeadingDigitExponent(digits, point, mantissaEnd, exponent, end) >= 0;
        const float magnitude = overflow ? std::numeric_limits<float>::infinity() : 0.0f;
        value = negative ? -magnitude : magnitude;
    }
    (void)convertedTo;
    return p;
}

} // namespace

namespace {

template <bool WithTexts>
int ScanValuesAndTexts(const char* begin, const char* end, float* values, std::string_view* texts,
                       int count) {
    const char* p = begin;
    for (int converted = 0; converted < count; ++converted) {
        while (p < end && IsScanWhitespace(*p)) {
            ++p;
        }
        if (p == end) {
            return converted > 0 ? converted : ScanEndOfInput;
        }
        const char* const start = p;
        p = ScanNumber(p, end, values[converted]);
        if (p == nullptr) {
            return converted;
        }
        if constexpr (WithTexts) {
            texts[converted] = std::string_view(start, static_cast<std::size_t>(p - start));
        }
    }
    return count;
}

} // namespace

int ScanValues(const char* begin, const char* end, float* values, int count) {
    return ScanValuesAndTexts<false>(begin, end, values, nullptr, count);
}

int ScanValueTexts(const char* begin, const char* end, float* values, std::string_view* texts,
                   int count) {
    return ScanValuesAndTexts<true>(begin, end, values, texts, count);
}
