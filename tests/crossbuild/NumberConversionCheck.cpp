// Proves that the number conversions the tool relies on are correctly rounded
// and ignore the locale in whatever standard library the program was built
// with: decimal to float (nearest, ties to even, overflow, underflow) through
// ScanValues, float to six decimals through FormatValue. Each expected result
// is computed here by exact integer arithmetic, not by the library under test.
// It runs in every build; in the Windows build it runs under the emulator.

#include "NumberFormatter.h"
#include "NumberScanner.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

long Failures = 0;
long Checks = 0;

void Fail(const char* what, const std::string& input, const std::string& expected,
          const std::string& actual) {
    if (++Failures <= 20) {
        std::printf("FAIL %s: input %s expected %s actual %s\n", what, input.c_str(),
                    expected.c_str(), actual.c_str());
    }
}

std::uint32_t Bits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float FromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string Hex(float value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(Bits(value)));
    return text;
}

// Decimal digits of m * 2^shift, in limbs of nine digits, least significant first.
std::string IntegerDigits(std::uint32_t m, int shift) {
    std::vector<std::uint32_t> limbs{m % 1000000000u, m / 1000000000u};
    for (int i = 0; i < shift; ++i) {
        std::uint32_t carry = 0;
        for (auto& limb : limbs) {
            const std::uint32_t doubled = limb * 2 + carry;
            carry = doubled / 1000000000u;
            limb = doubled % 1000000000u;
        }
        if (carry != 0) {
            limbs.push_back(carry);
        }
    }
    while (limbs.size() > 1 && limbs.back() == 0) {
        limbs.pop_back();
    }
    std::string text = std::to_string(limbs.back());
    for (std::size_t i = limbs.size() - 1; i-- > 0;) {
        char limb[16];
        std::snprintf(limb, sizeof limb, "%09lu", static_cast<unsigned long>(limbs[i]));
        text += limb;
    }
    return text;
}

// The float's exact value, rounded to six decimals, ties to even.
std::string ExpectedSixDecimals(float value) {
    const std::uint32_t bits = Bits(value);
    const std::string sign = (bits >> 31) != 0 ? "-" : "";
    const int biased = static_cast<int>((bits >> 23) & 0xFF);
    std::uint32_t m = bits & 0x7FFFFF;
    if (biased == 0xFF) {
        return m != 0 ? "nan" : sign + "inf";
    }
    int e = -149;
    if (biased != 0) {
        m |= 0x800000;
        e = biased - 150;
    }
    if (e >= 0) {
        return sign + IntegerDigits(m, e) + ".000000";
    }
    const std::uint64_t scaled = static_cast<std::uint64_t>(m) * 1000000u;
    const int s = -e;
    std::uint64_t q = 0;
    if (s < 64) {
        q = scaled >> s;
        const std::uint64_t remainder = scaled & ((std::uint64_t{1} << s) - 1);
        const std::uint64_t half = std::uint64_t{1} << (s - 1);
        if (remainder > half || (remainder == half && (q & 1) != 0)) {
            ++q;
        }
    }
    char fraction[16];
    std::snprintf(fraction, sizeof fraction, ".%06lu", static_cast<unsigned long>(q % 1000000u));
    return sign + std::to_string(q / 1000000u) + fraction;
}

bool Scan(const std::string& text, float& value) {
    return ScanValues(text.data(), text.data() + text.size(), &value, 1) == 1;
}

void CheckScan(const char* what, const std::string& text, float expected) {
    ++Checks;
    float value = 0;
    if (!Scan(text, value)) {
        Fail(what, text, Hex(expected), "no number");
    } else if (Bits(value) != Bits(expected)) {
        Fail(what, text, Hex(expected), Hex(value));
    }
}

void CheckFormat(float value) {
    ++Checks;
    char text[FormattedValueMax];
    const std::string actual(text, FormatValue(value, text));
    const std::string expected = ExpectedSixDecimals(value);
    if (actual != expected) {
        Fail("six decimals", Hex(value), expected, actual);
    }
}

// The exact decimal value of a double, in scientific form with no trailing
// zeros in the mantissa. 800 digits hold every double's expansion exactly.
std::string ExactDecimal(double value) {
    static char text[900];
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 800).ptr;
    const std::string all(text, end);
    const std::size_t exponent = all.find('e');
    std::size_t last = exponent;
    while (all[last - 1] == '0') {
        --last;
    }
    if (all[last - 1] == '.') {
        --last;
    }
    return all.substr(0, last) + all.substr(exponent);
}

// Just above and just below the midpoint between a float and the next one up,
// and the midpoint itself, which goes to the neighbour with the even mantissa.
// The midpoint of two floats is exact in double.
void CheckRounding(float value) {
    const float next = std::nextafter(value, std::numeric_limits<float>::infinity());
    if (!std::isfinite(value) || !std::isfinite(next) || std::signbit(value)) {
        return;
    }
    const double midpoint = (static_cast<double>(value) + static_cast<double>(next)) / 2;
    const std::string exact = ExactDecimal(midpoint);
    const std::size_t e = exact.find('e');
    const std::string mantissa = exact.substr(0, e);
    const std::string exponent = exact.substr(e);
    const float even = (Bits(value) & 1) == 0 ? value : next;
    CheckScan("midpoint", exact, even);
    CheckScan("above midpoint",
              (mantissa.find('.') == std::string::npos ? mantissa + "." : mantissa) + "0000000001" +
                  exponent,
              next);
    std::string below = mantissa;
    --below.back();
    CheckScan("below midpoint",
              (below.find('.') == std::string::npos ? below + "." : below) + "999999999999" +
                  exponent,
              value);
    CheckScan("negative midpoint", "-" + exact, -even);
}

void CheckRoundTrips(float value) {
    if (!std::isfinite(value)) {
        return;
    }
    char text[160];
    auto end = std::to_chars(text, text + sizeof text, value).ptr;
    CheckScan("shortest round trip", std::string(text, end), value);
    end = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 8).ptr;
    CheckScan("nine digits round trip", std::string(text, end), value);
    end = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                        std::chars_format::fixed, 60)
              .ptr;
    CheckScan("plain decimal round trip", std::string(text, end), value);
}

void CheckValue(float value) {
    CheckFormat(value);
    CheckRoundTrips(value);
    CheckRounding(value);
}

void CheckEdges() {
    const float max = std::numeric_limits<float>::max();
    const float inf = std::numeric_limits<float>::infinity();
    const float tiny = std::numeric_limits<float>::denorm_min();
    CheckScan("largest float", "3.40282347e38", max);
    CheckScan("below the overflow midpoint", "3.4028235677973365e38", max);
    CheckScan("overflow midpoint", "340282356779733661637539395458142568448", inf);
    CheckScan("overflow", "1e39", inf);
    CheckScan("negative overflow", "-1e39", -inf);
    CheckScan("huge exponent", "1e999999999999", inf);
    CheckScan("forty digits", "1" + std::string(40, '0'), inf);
    CheckScan("smallest subnormal", "1.4e-45", tiny);
    CheckScan("just above half the smallest subnormal", "7.0064923216240862e-46", tiny);
    CheckScan("half the smallest subnormal",
              "7."
              "006492321624085354618647916449580656401309709382578858785341419448955413429303007433"
              "19094181060791015625e-46",
              0.0f);
    CheckScan("underflow", "1e-50", 0.0f);
    CheckScan("negative underflow", "-1e-50", -0.0f);
    CheckScan("tiny exponent", "1e-999999999999", 0.0f);
    CheckScan("long zero fraction", "0." + std::string(44, '0') + "1", tiny);
    CheckScan("ten thousand digits", "1." + std::string(10000, '0') + "1", 1.0f);
    CheckScan("long tail above the midpoint",
              "1.000000059604644775390625" + std::string(10000, '0') + "1",
              std::nextafter(1.0f, 2.0f));
    CheckScan("negative zero", "-0", -0.0f);
    CheckScan("plus sign", "+2.5", 2.5f);
    CheckScan("decimal comma is no point", "1,5", 1.0f);
}

} // namespace

int main() {
    // A locale whose decimal point is a comma must change nothing.
    const char* const commaLocales[] = {"de_DE.UTF-8", "de_DE", "German_Germany.1252", "de-DE", ""};
    const char* locale = nullptr;
    for (const char* name : commaLocales) {
        if ((locale = std::setlocale(LC_ALL, name)) != nullptr) {
            break;
        }
    }
    std::printf("locale: %s\n", locale != nullptr ? locale : "C");

    CheckEdges();
    // Every float pattern in a wide stride, plus every one near zero, near one
    // and near the top, where the rounding has the fewest bits to spare.
    constexpr std::uint64_t Stride = 9973;
    for (std::uint64_t bits = 0; bits < (std::uint64_t{1} << 32); bits += Stride) {
        CheckValue(FromBits(static_cast<std::uint32_t>(bits)));
    }
    const std::uint32_t neighbourhoods[] = {0x00000000, 0x00800000, 0x3F800000, 0x49742400,
                                            0x7F7FF000, 0x35000000, 0x4B000000};
    for (const std::uint32_t start : neighbourhoods) {
        for (std::uint32_t i = 0; i < 4096; ++i) {
            CheckValue(FromBits(start + i));
            CheckValue(FromBits((start + i) | 0x80000000u));
        }
    }
    std::printf("%ld checks, %ld failures\n", Checks, Failures);
    return Failures == 0 ? 0 : 1;
}
