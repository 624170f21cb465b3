#include "NumberFormatter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

// What the formatter must write: the general conversion of the float widened
// to double, with one spelling for every not-a-number.
std::string_view Expected(float value, char* buffer) {
    if (value != value) {
        return "nan";
    }
    const char* const end = std::to_chars(buffer, buffer + FormattedValueMax,
                                          static_cast<double>(value), std::chars_format::fixed, 6)
                                .ptr;
    return {buffer, static_cast<std::size_t>(end - buffer)};
}

std::string_view Formatted(float value, char* buffer) {
    return {buffer, static_cast<std::size_t>(FormatValue(value, buffer) - buffer)};
}

struct Comparison {
    std::uint64_t Checked = 0;
    std::uint64_t Mismatches = 0;
    std::uint32_t FirstMismatch = 0;
};

// Every bit pattern from first up to last, step apart.
Comparison CompareRange(std::uint64_t first, std::uint64_t last, std::uint64_t step) {
    Comparison result;
    char expected[FormattedValueMax];
    char formatted[FormattedValueMax];
    for (std::uint64_t pattern = first; pattern <= last; pattern += step) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(pattern));
        ++result.Checked;
        if (Formatted(value, formatted) != Expected(value, expected)) {
            if (result.Mismatches++ == 0) {
                result.FirstMismatch = static_cast<std::uint32_t>(pattern);
            }
        }
    }
    return result;
}

// Splits the patterns between the machine's cores.
Comparison CompareAllPatterns(std::uint64_t step) {
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    constexpr std::uint64_t Patterns = std::uint64_t{1} << 32;
    const std::uint64_t stepsPerThread = (Patterns / step + threads) / threads;
    std::vector<Comparison> results(threads);
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
        const std::uint64_t first = t * stepsPerThread * step;
        const std::uint64_t last = std::min(Patterns - 1, first + stepsPerThread * step - 1);
        workers.emplace_back([&results, t, first, last, step] {
            if (first <= last) {
                results[t] = CompareRange(first, last, step);
            }
        });
    }
    Comparison total;
    for (unsigned t = 0; t < threads; ++t) {
        workers[t].join();
        if (results[t].Mismatches > 0 && total.Mismatches == 0) {
            total.FirstMismatch = results[t].FirstMismatch;
        }
        total.Checked += results[t].Checked;
        total.Mismatches += results[t].Mismatches;
    }
    return total;
}

std::string Describe(const Comparison& result) {
    char text[160];
    const float value = std::bit_cast<float>(result.FirstMismatch);
    char expected[FormattedValueMax];
    char formatted[FormattedValueMax];
    std::snprintf(text, sizeof text,
                  "%llu mismatches in %llu; first 0x%08x: \"%s\" instead of \"%s\"",
                  static_cast<unsigned long long>(result.Mismatches),
                  static_cast<unsigned long long>(result.Checked), result.FirstMismatch,
                  std::string(Formatted(value, formatted)).c_str(),
                  std::string(Expected(value, expected)).c_str());
    return text;
}

// Named values at the places where the fast path changes its arithmetic.
TEST(FormatterExhaustive, MatchesTheGeneralConversionAtEveryBoundary) {
    struct Row {
        std::uint32_t Bits;
        const char* Text;
    };
    const Row rows[] = {
        {0x00000000, "0.000000"},
        {0x80000000, "-0.000000"},
        {0x00000001, "0.000000"},  // smallest subnormal
        {0x80000001, "-0.000000"}, // a negative value that rounds to zero
        {0x3C000000, "0.007812"},  // 2^-7: 7812.5 millionths, a tie, down to even
        {0xBCC00000, "-0.023438"}, // 23437.5 millionths, a tie, up to even
        {0x3C060000, "0.008179"},  // 8178.71 millionths
        {0x34FFFFFF, "0.000000"},  // the largest value a million times under 2^44
        {0x35000000, "0.000000"},  // 2^-21: under one half millionth
        {0x35800000, "0.000001"},  // 2^-20: 0.95 millionths
        {0x3F800000, "1.000000"},
        {0xC2C80000, "-100.000000"},
        {0x4B7FFFFF, "16777215.000000"},             // largest odd whole number
        {0x5EFFFFFF, "9223371487098961920.000000"},  // the largest whole number in 64 bits
        {0x5F7FFFFF, "18446742974197923840.000000"}, // the smallest beyond
        {0x7F7FFFFF, "340282346638528859811704183484516925440.000000"},
        {0xFF800000, "-inf"},
        {0x7F800000, "inf"},
        {0x7FC00000, "nan"},
        {0xFFC00001, "nan"},
        {0x7F800001, "nan"},
    };
    for (const Row& row : rows) {
        char buffer[FormattedValueMax];
        const float value = std::bit_cast<float>(row.Bits);
        EXPECT_EQ(Formatted(value, buffer), row.Text) << std::hex << "bits 0x" << row.Bits;
        EXPECT_EQ(Expected(value, buffer), row.Text) << std::hex << "bits 0x" << row.Bits;
    }
}

// An odd stride visits every exponent with thousands of significands of
// both signs, ties included, in a few seconds.
TEST(FormatterExhaustive, MatchesTheGeneralConversionOnAStrideOfAllFloats) {
    const Comparison result = CompareAllPatterns(509);
    EXPECT_EQ(result.Mismatches, 0u) << Describe(result);
}

// Every one of the 2^32 bit patterns; minutes of work, so only on request:
//   UnitTests --gtest_also_run_disabled_tests --gtest_filter='*EveryFloat*'
TEST(FormatterExhaustive, DISABLED_MatchesTheGeneralConversionForEveryFloat) {
    const Comparison result = CompareAllPatterns(1);
    EXPECT_EQ(result.Checked, std::uint64_t{1} << 32);
    EXPECT_EQ(result.Mismatches, 0u) << Describe(result);
    std::printf("%llu bit patterns compared, %llu mismatches\n",
                static_cast<unsigned long long>(result.Checked),
                static_cast<unsigned long long>(result.Mismatches));
}

} // namespace
