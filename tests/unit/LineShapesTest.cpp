#include "AuthorsReading.h"
#include "CalibrationFileScan.h"
#include "DataLineScan.h"
#include "DroppedLines.h"
#include "HeaderFacts.h"
#include "MeantReading.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <string_view>
#include <vector>

namespace {

// How the makers of microphones and calibration labs name a serial number,
// and lines that name none.
TEST(LineShapes, SerialNumbers) {
    const struct {
        std::string_view Text;
        std::string_view Serial; // empty: none
    } rows[] = {
        {"\"Sens Factor =-.6162dB, SERNO: 7005701", "7005701"},
        {"% Microphone type 4190, serial number 2631045", "2631045"},
        {"* SN 2298J", "2298J"},
        {"S/N: ab-1234", "AB-1234"},
        {"Serial no. 14308, calibrated 2025-03-01", "14308"},
        {"\"Serial#8024117", "8024117"},
        {"SNR 80 dB", ""},
        {"\"Sens Factor =-0.8dB, AGain =0dB", ""},
        {"serial number unknown", ""},
        {"Freq(Hz) SPL(dB) Phase(deg)", ""},
    };
    for (const auto& row : rows) {
        std::string serial;
        const bool found = SerialNumberOf(row.Text, serial);
        EXPECT_EQ(found, !row.Serial.empty()) << row.Text;
        EXPECT_EQ(found ? serial : "", row.Serial) << row.Text;
    }
}

// The angle a header says a calibration is for; temperatures and column
// names are no angles.
TEST(LineShapes, Incidence) {
    const struct {
        std::string_view Text;
        IncidenceKind Kind;
        int Degrees;
    } rows[] = {
        {"\"Sens Factor =-0.53dB, SERNO: 7012946, 90deg", IncidenceKind::Degrees, 90},
        {"\"90 degree calibration", IncidenceKind::Degrees, 90},
        {"* 0\xC2\xB0 free field", IncidenceKind::Degrees, 0},
        {"* 90\xB0", IncidenceKind::Degrees, 90},
        {"\"Random incidence response", IncidenceKind::Random, 0},
        {"% Measured at 23 \xC2\xB0"
         "C, 45 % RH",
         IncidenceKind::None, 0},
        {"% 21 deg C", IncidenceKind::None, 0},
        {"Freq(Hz) SPL(dB) Phase(deg)", IncidenceKind::None, 0},
        {"* phase from -180 to 180 degrees", IncidenceKind::None, 0},
        {"* 1.90deg", IncidenceKind::None, 0},
    };
    for (const auto& row : rows) {
        const Incidence angle = IncidenceOf(row.Text);
        EXPECT_EQ(angle.Kind, row.Kind) << row.Text;
        EXPECT_EQ(angle.Degrees, row.Degrees) << row.Text;
    }
}

// Which lines a spreadsheet wrote with quotes, which start with a number
// that goes on unreadably, and why other lines are dropped.
TEST(LineShapes, LinesTheConverterDrops) {
    EXPECT_TRUE(IsQuotedNumbersLine("\"20\"\t\"-0.85\""));
    EXPECT_TRUE(IsQuotedNumbersLine("\"20\",\"-0.85\",\"4.1\""));
    EXPECT_TRUE(IsQuotedNumbersLine("\"10,054\";\"-4,4602\""));
    EXPECT_FALSE(IsQuotedNumbersLine("\"Sens Factor =-0.8dB"));
    EXPECT_FALSE(IsQuotedNumbersLine("\"20"));
    EXPECT_FALSE(IsQuotedNumbersLine("\"20\" Hz"));

    EXPECT_TRUE(IsUnreadableNumberLine("11.238\t--3.0974"));
    EXPECT_TRUE(IsUnreadableNumberLine("1000 +-0.5"));
    EXPECT_FALSE(IsUnreadableNumberLine("1 kHz reference"));
    EXPECT_FALSE(IsUnreadableNumberLine("1000 - 2000 Hz"));
    EXPECT_FALSE(IsUnreadableNumberLine("20,1.5"));

    EXPECT_EQ(DropReasonOf(" \t"), DropReason::Blank);
    EXPECT_EQ(DropReasonOf("0 -3.1 0"), DropReason::ZeroFrequency);
    EXPECT_EQ(DropReasonOf("1000 "), DropReason::OneNumber);
    EXPECT_EQ(DropReasonOf("1 kHz reference"), DropReason::Words);
    EXPECT_EQ(DropReasonOf("* 20 -0.85"), DropReason::Words);

    // What the converter reads is what a line means, whatever its commas.
    for (const std::string_view text :
         {"1.5.3,4", ".5 2,5", "20 -1 ; 3,4", "1e5,3 2", "20 -1 note 3,4"}) {
        MeantLine meant;
        ReadAsMeant(text, 3, meant);
        float before[3];
        float after[3];
        const int count = ScanDataLine(text, before, 3);
        if (meant.Reading == LineReading::Mended && count > 0) {
            EXPECT_FALSE(ScanDataLine(meant.Text, after, 3) == count &&
                         std::equal(before, before + count, after))
                << text << " mended into a line that reads the same";
        }
    }

    // A decimal comma in a number is mended even where it reads the same
    // value; one in a comment after the numbers is not.
    MeantLine meant;
    ReadAsMeant("1000\t0,00", 3, meant);
    EXPECT_EQ(meant.Reading, LineReading::Mended);
    EXPECT_EQ(meant.Text, "1000\t0.00");
    ReadAsMeant("20 -1 note 3,4", 3, meant);
    EXPECT_EQ(meant.Reading, LineReading::AsItStands);

    EXPECT_TRUE(NamesPhaseSecond("Freq(Hz)\tPhase(deg)\tSPL(dB)"));
    EXPECT_TRUE(NamesPhaseSecond("* Frequency, Phase"));
    EXPECT_FALSE(NamesPhaseSecond("* Freq(Hz) SPL(dB) Phase(deg)"));
}

// The sensitivity a Sens Factor line gives, its opening quote there or not,
// its decimal mark a full stop or a comma.
TEST(LineShapes, Sensitivity) {
    const struct {
        std::string_view Text;
        bool Found;
        float Decibels;
    } rows[] = {
        {"\"Sens Factor =-.6162dB, SERNO: 7005701", true, -0.6162f},
        {"Sens Factor =-0.8dB, AGain =0dB", true, -0.8f},
        {"\"Sens Factor =-1,23dB, SERNO: 7005701", true, -1.23f},
        {"\"Sens Factor = 2,5 dB", true, 2.5f},
        {"\"Sens Factor =-1dB, 23 SERNO", true, -1.0f},
        {"\"Sens Factor unknown", false, 0.0f},
        {"\"Sensitivity =-38.0 dBV", false, 0.0f},
    };
    for (const auto& row : rows) {
        float decibels = 0.0f;
        EXPECT_EQ(SensitivityOf(row.Text, decibels), row.Found) << row.Text;
        EXPECT_EQ(decibels, row.Decibels) << row.Text;
    }
}

// How a number is written down a column: what tells a line cut short.
TEST(LineShapes, NumberShapes) {
    const struct {
        std::string_view Number;
        int Decimals;
        int ExponentDigits;
    } rows[] = {
        {"20016.816", 3, 0}, {"-1.3800", 4, 0},      {"1000", 0, 0},   {".5", 1, 0},
        {"5.", 0, 0},        {"2.000000e+01", 6, 2}, {"7.2e-3", 1, 1}, {"1e5", 0, 1},
        {"2.5E", 1, 0},      {"-0", 0, 0},           {"3.25e+", 2, 0},
    };
    for (const auto& row : rows) {
        const NumberShape shape = ShapeOf(row.Number);
        EXPECT_EQ(shape.Decimals, row.Decimals) << row.Number;
        EXPECT_EQ(shape.ExponentDigits, row.ExponentDigits) << row.Number;
    }
}

// A file's lines read as their author meant them: a mark counts as a decimal
// point, a group mark or a separator only where the whole file has one
// reading of it, and every digit stays as written.
TEST(LineShapes, AuthorsReading) {
    const struct {
        std::vector<std::string_view> Lines;
        std::size_t Line;       // the line to look at, from 0
        std::string_view Meant; // as it is meant; empty: as it stands; "?": two readings
    } rows[] = {
        {{"20,016;-1,38", "1.002,579;-0,0664"}, 1, "1002.579\t-0.0664"},
        {{"20.016\t-1.38", "1,002.579\t-0.0664"}, 1, "1002.579\t-0.0664"},
        {{"20,016;-1,38", "1\xE2\x80\xAF"
                          "002,579;-0,0664"},
         1,
         "1002.579\t-0.0664"},
        {{"20,016;-1,38", "1 002,579;-0,0664"}, 1, "1002.579\t-0.0664"},
        {{"20.016\t-1.38", "1'002.579\t-0.0664"}, 1, "1002.579\t-0.0664"},
        {{"20.016\t-1.38", "1.003k\t-0.0664"}, 1, "1003\t-0.0664"},
        {{"20.016\t-1.38", "0.010054k\t-2.3"}, 1, "10.054\t-2.3"},
        {{"500 0", "1.003k 1", "2000 1"}, 1, "1003 1"},
        {{"20.016\t-1.38", "1002.579 Hz\t-0.0664 dB"}, 1, "1002.579\t-0.0664"},
        {{"20.016\t-1.38", "1002.579\t\xE2\x88\x92"
                           "0.0664"},
         1,
         "1002.579\t-0.0664"},
        {{"20.016\t-1.38", "2.0e\xE2\x88\x92"
                           "01\t-0.0664"},
         1,
         "2.0e-01\t-0.0664"},
        {{"20.016\t-1.38", "\"1002.579\t-0.0664\""}, 1, "1002.579\t-0.0664"},
        {{"20.016\t-1.38", "1002.579\t-0.0664\t# 2,5 k"}, 1, ""},
        {{"500 1", "200,5 -0,5"}, 1, "200.5 -0.5"},
        // Tabs separate, so the commas are decimal commas, not separators.
        {{"20\t-1,52", "1000\t0,02"}, 1, "1000\t0.02"},
        // Commas alone: decimal commas, or four numbers.
        {{"20,5,-0,85", "100,0,-0,12"}, 0, "?"},
        // A full stop before three digits, in a file without a decimal mark.
        {{"1\t0", "40.000\t0"}, 1, "?"},
        {{"100\t-1", "1,002\t-1"}, 1, "?"},
        // A file the converter reads whole stands as it is.
        {{"20.016\t-1.3800", "1002.579\t-0.0664"}, 1, ""},
    };
    for (const auto& row : rows) {
        FileReading reading;
        for (const std::string_view line : row.Lines) {
            SeeLineForReading(reading, line, JudgeLine(line, MyMicInValueCount), MyMicInValueCount);
        }
        const ReadingVerdict verdict = ConcludeReading(reading);
        const std::string_view text = row.Lines[row.Line];
        StyledLine meant;
        const bool otherwise = ReadsOtherwise(verdict, text, JudgeLine(text, MyMicInValueCount),
                                              MyMicInValueCount, true, meant);
        const std::string got = verdict.TwoWays ? "?" : otherwise ? meant.Mended : "";
        EXPECT_EQ(got, row.Meant) << text;
    }
}

} // namespace
