#include "NumberFormatter.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr float Inf = std::numeric_limits<float>::infinity();

// Formats into a heap block of exactly FormattedValueMax bytes, so that
// writing beyond it is caught by AddressSanitizer.
std::string Format(float value) {
    const std::unique_ptr<char[]> out(new char[FormattedValueMax]);
    char* const end = FormatValue(value, out.get());
    EXPECT_GT(end, out.get());
    EXPECT_LE(end, out.get() + FormattedValueMax);
    return std::string(out.get(), end);
}

struct FormatRow {
    float Value;
    const char* Expected;
};

void ExpectFormats(const std::vector<FormatRow>& rows) {
    for (const FormatRow& row : rows) {
        EXPECT_EQ(Format(row.Value), row.Expected)
            << "value " << std::hexfloat << row.Value << " (bits 0x" << std::hex
            << std::bit_cast<std::uint32_t>(row.Value) << ")";
    }
}

TEST(NumberFormatter, SixDecimalsAndNoPlusSign) {
    ExpectFormats({
        {0.0f, "0.000000"},
        {20.0f, "20.000000"},
        {-20.0f, "-20.000000"},
        {1.5f, "1.500000"},
        {0.1f, "0.100000"},
        {-3.2f, "-3.200000"},
        {999999.9375f, "999999.937500"},
        {16777216.0f, "16777216.000000"},
    });
}

TEST(NumberFormatter, NegativeZeroAndNegativeValuesRoundingToZero) {
    ExpectFormats({
        {-0.0f, "-0.000000"},
        {-1e-7f, "-0.000000"},
        {-0x1p-149f, "-0.000000"},
        {-FLT_MIN, "-0.000000"},
        {1e-7f, "0.000000"},
    });
}

TEST(NumberFormatter, RoundsTheExactBinaryValue) {
    ExpectFormats({
        // Ties of the seventh decimal go to the even sixth.
        {0.0078125f, "0.007812"},
        {0.0234375f, "0.023438"},
        {-0.0078125f, "-0.007812"},
        {1.0078125f, "1.007812"},
        {123456.789f, "123456.789062"}, // exactly 123456.7890625
        // Just below and just above 0.0000005: no tie, the binary value decides.
        {5e-7f, "0.000000"},
        {std::bit_cast<float>(0x350637beU), "0.000001"},
        {std::bit_cast<float>(0xb5c9539bU), "-0.000001"},
        {std::bit_cast<float>(0xb5c9539cU), "-0.000002"},
        // A carry through every digit.
        {0x1.fffffep-1f, "1.000000"},
        {9.999999f, "9.999999"},
    });
}

TEST(NumberFormatter, LargeValuesHaveEveryDigitExact) {
    ExpectFormats({
        {FLT_MAX, "340282346638528859811704183484516925440.000000"},
        {-FLT_MAX, "-340282346638528859811704183484516925440.000000"},
        {0x1p100f, "1267650600228229401496703205376.000000"},
        // Around 2^64, where a whole number stops fitting in 64 bits.
        {0x1.fffffep63f, "18446742974197923840.000000"},
        {0x1p64f, "18446744073709551616.000000"},
        {0x1.fffffep64f, "36893485948395847680.000000"},
        {1e11f, "99999997952.000000"},
        {1e10f, "10000000000.000000"},
    });
}

TEST(NumberFormatter, TinyValues) {
    ExpectFormats({
        {0x1p-149f, "0.000000"},
        {FLT_MIN, "0.000000"},
        {0x1p-20f, "0.000001"},
        {0x1p-21f, "0.000000"},
    });
}

TEST(NumberFormatter, NonFiniteValues) {
    ExpectFormats({
        {Inf, "inf"},
        {-Inf, "-inf"},
        {std::numeric_limits<float>::quiet_NaN(), "nan"},
        {std::copysign(std::numeric_limits<float>::quiet_NaN(), -1.0f), "nan"},
        {std::bit_cast<float>(0x7f800001U), "nan"},
        {std::bit_cast<float>(0xffffffffU), "nan"},
    });
}

// Every exponent, with the smallest and largest mantissa of each and both
// signs: the fixed form, a sign only when the sign bit is set, and never more
// than FormattedValueMax bytes.
TEST(NumberFormatter, FixedFormWithinBoundForEveryExponent) {
    for (std::uint32_t exponent = 0; exponent < 255; ++exponent) {
        for (const std::uint32_t mantissa : {0x000000U, 0x000001U, 0x400000U, 0x7fffffU}) {
            for (const std::uint32_t sign : {0U, 0x80000000U}) {
                const float value = std::bit_cast<float>(sign | exponent << 23 | mantissa);
                const std::string text = Format(value);
                SCOPED_TRACE(text);
                ASSERT_GE(text.size(), 8U);
                const std::size_t point = text.size() - 7;
                EXPECT_EQ(text[point], '.');
                EXPECT_EQ(text[0] == '-', sign != 0);
                for (std::size_t i = sign != 0 ? 1 : 0; i < text.size(); ++i) {
                    EXPECT_TRUE(i == point || (text[i] >= '0' && text[i] <= '9')) << "at " << i;
                }
            }
        }
    }
}

} // namespace
