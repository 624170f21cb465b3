#include "NumberScanner.h"
#include "DataLineScan.h"
#include "LineKind.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

using namespace std::string_view_literals;

namespace {

constexpr float Inf = std::numeric_limits<float>::infinity();
// Left in every slot the scan must not touch.
constexpr float Untouched = 12345.0f;

struct ScanRow {
    std::string_view Text;
    int Count;
    std::vector<float> Values;
};

std::string Describe(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.9g (bits 0x%08x)", static_cast<double>(value),
                  std::bit_cast<std::uint32_t>(value));
    return text;
}

std::string Printable(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, byte < 0x20 || byte > 0x7E ? "\\x%02X" : "%c", byte);
        out += escaped;
    }
    return out;
}

// The text is copied to a heap block of its exact size, so a scan that reads
// past its end is caught by AddressSanitizer.
int ScanExact(std::string_view text, std::vector<float>& values) {
    const std::unique_ptr<char[]> copy(new char[text.size()]);
    std::memcpy(copy.get(), text.data(), text.size());
    return ScanValues(copy.get(), copy.get() + text.size(), values.data(),
                      static_cast<int>(values.size()));
}

void ExpectScans(const std::vector<ScanRow>& rows, int maxCount = 3) {
    for (const ScanRow& row : rows) {
        SCOPED_TRACE("text \"" + Printable(row.Text) + "\"");
        std::vector<float> values(static_cast<std::size_t>(maxCount), Untouched);
        EXPECT_EQ(ScanExact(row.Text, values), row.Count);
        for (std::size_t i = 0; i < values.size(); ++i) {
            const float expected = i < row.Values.size() ? row.Values[i] : Untouched;
            EXPECT_EQ(Describe(values[i]), Describe(expected)) << "value " << i;
        }
    }
}

TEST(NumberScanner, WhitespaceIsExactlyTabToCarriageReturnAndBlank) {
    ExpectScans({
        {" \t\n\v\f\r1 2", 2, {1, 2}},
        {"1\t2", 2, {1, 2}},
        {"1\n2", 2, {1, 2}},
        {"1\v2", 2, {1, 2}},
        {"1\f2", 2, {1, 2}},
        {"1\r2", 2, {1, 2}},
        {"1 \t \r\n 2", 2, {1, 2}},
        {"\x08 1", 0, {}}, // backspace, just below tab
        {"\x0E 1", 0, {}}, // just above carriage return
        {"\x85+1", 0, {}},
        {"\xA0+1", 0, {}},
        {"1\xA0+2", 1, {1}},
        {"\0 1"sv, 0, {}},
        {"1\0 2"sv, 1, {1}},
    });
}

TEST(NumberScanner, NoBlankNeededBetweenNumbers) {
    ExpectScans({
        {"20-1.5", 2, {20, -1.5f}},
        {"1+2", 2, {1, 2}},
        {"1.2.3", 2, {1.2f, 0.3f}},
        {"1..2", 2, {1, 0.2f}},
        {"20,1.5", 1, {20}},
        {"20 1.5 dB", 2, {20, 1.5f}},
    });
}

TEST(NumberScanner, ExponentLetterIsTakenGreedily) {
    ExpectScans({
        {"1e2", 1, {100}},
        {"1E-2", 1, {0.01f}},
        {"1e+2 3", 2, {100, 3}},
        {"1e 2", 2, {1, 2}},
        {"1e+ 2", 2, {1, 2}},
        {"1E-", 1, {1}},
        {"1e", 1, {1}},
        {"1e--2", 2, {1, -2}},
        {"1e+-2", 2, {1, -2}},
        {"1ex", 1, {1}},
        {"1e2e3", 1, {100}},
        {"1.e2", 1, {100}},
        {".5e1", 1, {5}},
        {"e5", 0, {}},
        {".e5", 0, {}},
        {"-e5", 0, {}},
    });
}

TEST(NumberScanner, NumberNeedsOneDigitAroundThePoint) {
    ExpectScans({
        {".5", 1, {0.5f}},
        {"5.", 1, {5}},
        {"5. 6", 2, {5, 6}},
        {"+.5", 1, {0.5f}},
        {"-.5", 1, {-0.5f}},
        {"+7", 1, {7}},
        {".", 0, {}},
        {". 5", 0, {}},
        {"+", 0, {}},
        {"-", 0, {}},
        {"+.", 0, {}},
        {"-.", 0, {}},
        {"++1", 0, {}},
        {"+-1", 0, {}},
        {"1 +", 1, {1}},
    });
}

TEST(NumberScanner, NoWordsForNonFiniteAndNoHexadecimal) {
    ExpectScans({
        {"nan", 0, {}},
        {"NAN 1", 0, {}},
        {"inf", 0, {}},
        {"-inf 1", 0, {}},
        {"infinity", 0, {}},
        {"1 inf", 1, {1}},
        {"0x1A", 1, {0}},
        {"0x1A 2", 1, {0}},
        {"-0x10", 1, {-0.0f}},
    });
}

TEST(NumberScanner, OverflowGivesSignedInfinity) {
    ExpectScans({
        {"1e39", 1, {Inf}},
        {"-1e39", 1, {-Inf}},
        {"1e99999999999999999999", 1, {Inf}},
        {"-1e99999999999999999999", 1, {-Inf}},
        // An exponent that would wrap around in 64 bits.
        {"1e9999999999999999999", 1, {Inf}},
        {"3.4028235e38", 1, {std::numeric_limits<float>::max()}},
        // Exactly halfway between the largest float and 2^128: ties to even
        // goes up, out of range.
        {"340282356779733661637539395458142568448", 1, {Inf}},
        {"340282356779733661637539395458142568447.9", 1, {std::numeric_limits<float>::max()}},
        // The magnitude comes from the leading digit and the exponent together.
        {"0.0000000000000000000000000000000000000000001e82", 1, {Inf}},
        {"1e39 5", 2, {Inf, 5}},
    });
}

TEST(NumberScanner, UnderflowGivesSignedZero) {
    ExpectScans({
        {"1e-50", 1, {0.0f}},
        {"-1e-50", 1, {-0.0f}},
        {"1e-99999999999999", 1, {0.0f}},
        {"-1e-99999999999999", 1, {-0.0f}},
        {"1e-9999999999999999999", 1, {0.0f}},
        {"100000000000000000000000000000000000000000000000000e-100", 1, {0.0f}},
        // Exactly half the smallest subnormal: ties to even gives zero.
        {"7.00649232162408535461864791644958065640130970938257885878534141944895541342930300"
         "743319094181060791015625E-46",
         1,
         {0.0f}},
        {"-7.00649232162408535461864791644958065640130970938257885878534141944895541342930300"
         "743319094181060791015625E-46",
         1,
         {-0.0f}},
        {"0e99999999999999999999", 1, {0.0f}},
        {"-0e99999999999999999999", 1, {-0.0f}},
        {"-0", 1, {-0.0f}},
        {"-0.000", 1, {-0.0f}},
    });
}

TEST(NumberScanner, SubnormalsRoundToNearest) {
    ExpectScans({
        {"1e-45", 1, {0x1p-149f}},
        {"1.4e-45", 1, {0x1p-149f}},
        {"-1.4e-45", 1, {-0x1p-149f}},
        {"7.1e-46", 1, {0x1p-149f}},
        {"2.8e-45", 1, {0x1p-148f}},
        {"1.17549421e-38", 1, {0x0.fffffep-126f}},
        {"1.17549435e-38", 1, {0x1p-126f}},
        // Halfway between the two smallest subnormals, 3 * 2^-150: ties to
        // the even one, 2 * 2^-149.
        {"2.101947696487225606385594374934874196920392912814773657635602425834686624028790902"
         "229957282543182373046875E-45",
         1,
         {0x1p-148f}},
    });
}

TEST(NumberScanner, DecimalToFloatTiesGoToEven) {
    ExpectScans({
        {"16777216", 1, {16777216}},
        {"16777217", 1, {16777216}},
        {"16777218", 1, {16777218}},
        {"16777219", 1, {16777220}},
        {"-16777217", 1, {-16777216}},
        // 1 + 2^-24 and 1 + 3 * 2^-24, written out exactly.
        {"1.000000059604644775390625", 1, {1.0f}},
        {"1.000000178813934326171875", 1, {0x1.000004p0f}},
        {"0.1", 1, {0x1.99999ap-4f}},
    });
}

TEST(NumberScanner, ManyDigitMantissas) {
    const std::string zeros(300, '0');
    const std::string nines(300, '9');
    const std::string third = "0." + std::string(400, '3');
    const std::string tieUp = "1.000000059604644775390625" + zeros + "1";
    const std::string belowTie = "1.000000178813934326171874" + nines;
    const std::string farInteger = "16777217" + zeros + "1e-301";
    const std::string huge = "1" + std::string(400, '0');
    const std::string hugeScaled = huge + "e-400";
    ExpectScans({
        {third, 1, {0x1.555556p-2f}},
        // A tie broken by a digit hundreds of places away.
        {tieUp, 1, {0x1.000002p0f}},
        {belowTie, 1, {0x1.000002p0f}},
        {farInteger, 1, {16777218}},
        {huge, 1, {Inf}},
        {hugeScaled, 1, {1}},
        {third + " " + huge, 2, {0x1.555556p-2f, Inf}},
    });
}

TEST(NumberScanner, LeadingZeros) {
    ExpectScans({
        {"000000000000000000000001.5", 1, {1.5f}},
        {"0000.0000001e7", 1, {1}},
        {"-00000", 1, {-0.0f}},
        {"00000000000000000000000000000000000000000000000000000000001e-45", 1, {0x1p-149f}},
        {"007 08", 2, {7, 8}},
    });
}

TEST(NumberScanner, EndOfInputOnlyBeforeTheFirstNumber) {
    ExpectScans({
        {"", ScanEndOfInput, {}},
        {" ", ScanEndOfInput, {}},
        {" \t\r\n\v\f", ScanEndOfInput, {}},
        {"x", 0, {}},
        {" x", 0, {}},
        {"1", 1, {1}},
        {"1 ", 1, {1}},
        {"1 2 ", 2, {1, 2}},
        {"1 x", 1, {1}},
    });
}

TEST(NumberScanner, StopsAtTheCount) {
    ExpectScans({{"1 2 3 4", 3, {1, 2, 3}}, {"1 2 3 x", 3, {1, 2, 3}}}, 3);
    ExpectScans({{"1 2 3", 2, {1, 2}}, {"1 2", 2, {1, 2}}, {"1", 1, {1}}}, 2);
}

struct LineRow {
    std::string_view Text;
    int MaxCount;
    int Count; // of ScanDataLine: 0 for a line that is no data line
    std::vector<float> Values;
};

TEST(LineKind, HeaderOnlyWhenTheFirstByteIsADoubleQuote) {
    const std::vector<std::pair<std::string_view, bool>> rows = {
        {"\"Sens Factor =-1.2dB", true},
        {"\"", true},
        {"\"20 1", true},
        {"", false},
        {" \"header", false},
        {"\t\"header", false},
        {"x\"", false},
        {"'header", false},
        {"\xEF\xBB\xBF\"header", false},
    };
    for (const auto& [text, header] : rows) {
        EXPECT_EQ(IsHeaderLine(text), header) << "line \"" << Printable(text) << "\"";
    }
}

TEST(LineKind, DataLineNeedsTwoValuesAndANonZeroFrequency) {
    const std::vector<LineRow> rows = {
        {"0 -3.2", 2, 0, {}},
        {"-0 1", 2, 0, {}},
        {"0.0e5 2", 2, 0, {}},
        {"1e-50 1", 2, 0, {}},
        {"0x10 1", 2, 0, {}},
        {"20", 3, 0, {}},
        {"20,1.5", 2, 0, {}},
        {"nan 1", 2, 0, {}},
        {"inf 1", 2, 0, {}},
        {"", 2, 0, {}},
        {"  ", 2, 0, {}},
        {" \"20 1", 3, 0, {}},
        {"\xEF\xBB\xBF+20 1", 3, 0, {}},
        {"1e39 1", 2, 2, {Inf, 1}},
        {"1e2 2", 2, 2, {100, 2}},
        {"1e 2", 2, 2, {1, 2}},
        {"-20 1", 2, 2, {-20, 1}},
        {"20-1.5", 2, 2, {20, -1.5f}},
        {"  20 1.5", 2, 2, {20, 1.5f}},
        {"\t20\t-1.5\r", 3, 2, {20, -1.5f}},
        {"20 1.5 dB", 3, 2, {20, 1.5f}},
        {"20 1.5 -0", 3, 3, {20, 1.5f, -0.0f}},
        {"20 1.5 7 9", 3, 3, {20, 1.5f, 7}},
        {"20 1.5 7", 2, 2, {20, 1.5f}},
    };
    for (const LineRow& row : rows) {
        SCOPED_TRACE("line \"" + Printable(row.Text) + "\"");
        std::vector<float> values(static_cast<std::size_t>(row.MaxCount), Untouched);
        const int count = ScanDataLine(row.Text, values.data(), row.MaxCount);
        EXPECT_EQ(count, row.Count);
        for (std::size_t i = 0; i < row.Values.size(); ++i) {
            EXPECT_EQ(Describe(values[i]), Describe(row.Values[i])) << "value " << i;
        }
    }
}

} // namespace
