#include "NumberFormatter.h"
#include "NumberScanner.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr std::uint32_t RandomSamples = 300'000;
#else
constexpr std::uint32_t RandomSamples = 3'000'000;
#endif

// Finite floats to try: every power of two with its nearest neighbours, of
// both signs, and a deterministic pseudo-random sample of bit patterns.
std::vector<float> SampleFloats() {
    std::vector<float> floats;
    const auto add = [&floats](std::uint32_t bits) {
        const float value = std::bit_cast<float>(bits);
        if (std::isfinite(value)) {
            floats.push_back(value);
        }
    };
    for (std::uint32_t exponent = 0; exponent < 255; ++exponent) {
        for (const std::uint32_t sign : {0U, 0x80000000U}) {
            const std::uint32_t power = sign | exponent << 23;
            for (const std::uint32_t neighbour :
                 {power - 2, power - 1, power, power + 1, power + 2}) {
                add((neighbour & 0x7fffffffU) | sign);
            }
        }
    }
    add(0x00000001U);
    add(0x007fffffU);
    add(0x7f7fffffU);
    std::uint64_t state = 0x9e3779b97f4a7c15U;
    for (std::uint32_t i = 0; i < RandomSamples; ++i) {
        // splitmix64
        state += 0x9e3779b97f4a7c15U;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9U;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebU;
        add(static_cast<std::uint32_t>(z ^ (z >> 31)));
    }
    return floats;
}

// The one value scanned from text; a not-a-number, which no finite float
// matches, when the scan does not give exactly one.
float ScanOne(const char* text, std::size_t length) {
    float values[2];
    if (ScanValues(text, text + length, values, 2) != 1) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    return values[0];
}

std::uint32_t Bits(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

// Both printed forms are scanned back and compared with the C library's
// strtof in the C locale (glibc's, or MinGW-w64's in the Windows build), a
// conversion independent of the scanner's; nine significant digits must also
// give back the very float that was printed.
TEST(ScannerRoundTrip, AgreesWithStrtofOnPrintedFloats) {
    ASSERT_STREQ(std::localeconv()->decimal_point, ".");
    const std::vector<float> floats = SampleFloats();
    ASSERT_GT(floats.size(), RandomSamples / 2);
    int failures = 0;
    for (const float original : floats) {
        char fixed[FormattedValueMax + 1];
        const std::size_t fixedLength =
            static_cast<std::size_t>(FormatValue(original, fixed) - fixed);
        fixed[fixedLength] = '\0';
        char general[32];
        const int generalLength =
            std::snprintf(general, sizeof general, "%.9g", static_cast<double>(original));

        const float fromFixed = ScanOne(fixed, fixedLength);
        const float fromGeneral = ScanOne(general, static_cast<std::size_t>(generalLength));
        const float strtofFixed = std::strtof(fixed, nullptr);
        const float strtofGeneral = std::strtof(general, nullptr);
        if (Bits(fromFixed) != Bits(strtofFixed) || Bits(fromGeneral) != Bits(strtofGeneral) ||
            Bits(fromGeneral) != Bits(original)) {
            ADD_FAILURE() << "bits 0x" << std::hex << Bits(original) << ": \"" << fixed
                          << "\" scanned 0x" << Bits(fromFixed) << ", strtof 0x"
                          << Bits(strtofFixed) << "; \"" << general << "\" scanned 0x"
                          << Bits(fromGeneral) << ", strtof 0x" << Bits(strtofGeneral);
            if (++failures == 20) {
                FAIL() << "stopping after 20 failures";
            }
        }
    }
}

} // namespace
