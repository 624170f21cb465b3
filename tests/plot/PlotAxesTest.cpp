#include "PlotAxes.h"

#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Labels(const PlotAxis& axis) {
    std::vector<std::string> labels;
    for (const GridLine& line : axis.Lines) {
        if (!line.Label.empty()) {
            labels.push_back(line.Label);
        }
    }
    return labels;
}

std::vector<double> Values(const PlotAxis& axis) {
    std::vector<double> values;
    for (const GridLine& line : axis.Lines) {
        values.push_back(line.Value);
    }
    return values;
}

// What every axis owes its data, whatever the range: the data lies within
// it (up to a float's rounding), and its grid lines rise within its ends.
void ExpectEnclosesData(const PlotAxis& axis, double lowest, double highest) {
    const double slack = 1e-6 * (axis.High - axis.Low);
    EXPECT_LT(axis.Low, axis.High);
    EXPECT_LE(axis.Low, lowest + slack);
    EXPECT_GE(axis.High, highest - slack);
    ASSERT_FALSE(axis.Lines.empty());
    for (std::size_t i = 0; i < axis.Lines.size(); ++i) {
        EXPECT_GE(axis.Lines[i].Value, axis.Low - slack) << "line " << i;
        EXPECT_LE(axis.Lines[i].Value, axis.High + slack) << "line " << i;
        if (i > 0) {
            EXPECT_GT(axis.Lines[i].Value, axis.Lines[i - 1].Value) << "line " << i;
        }
    }
}

struct FrequencyCase {
    const char* Name;
    double Lowest;
    double Highest;
    double Low;
    double High;
    std::vector<std::string> Labels;
};

TEST(PlotAxes, FrequencyAxisEndsAndLabels) {
    const FrequencyCase cases[] = {
        {"one decade",
         100,
         1000,
         100,
         1000,
         {"100 Hz", "200 Hz", "300 Hz", "400 Hz", "500 Hz", "1 kHz"}},
        {"audio range",
         20,
         20000,
         20,
         20000,
         {"20 Hz", "50 Hz", "100 Hz", "200 Hz", "500 Hz", "1 kHz", "2 kHz", "5 kHz", "10 kHz",
          "20 kHz"}},
        // Read as floats, the ends sit a rounding error off the round values.
        {"float ends",
         0.3f,
         20000.001f,
         0.3,
         20000,
         {"0.5 Hz", "1 Hz", "2 Hz", "5 Hz", "10 Hz", "20 Hz", "50 Hz", "100 Hz", "200 Hz", "500 Hz",
          "1 kHz", "2 kHz", "5 kHz", "10 kHz", "20 kHz"}},
        {"ends between grid values", 15, 45, 10, 50, {"10 Hz", "20 Hz", "30 Hz", "40 Hz", "50 Hz"}},
        {"above five runs to the next decade", 6000, 7000, 5000, 10000, {"5 kHz", "10 kHz"}},
        {"one frequency only", 1000, 1000, 1000, 2000, {"1 kHz", "2 kHz"}},
        {"ultrasound",
         25000,
         96000,
         20000,
         100000,
         {"20 kHz", "30 kHz", "40 kHz", "50 kHz", "100 kHz"}},
        {"beyond six decades only decades",
         0.002,
         30000,
         0.001,
         100000,
         {"0.001 Hz", "0.01 Hz", "0.1 Hz", "1 Hz", "10 Hz", "100 Hz", "1 kHz", "10 kHz",
          "100 kHz"}},
    };
    for (const FrequencyCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const PlotAxis axis = ChooseFrequencyAxis(c.Lowest, c.Highest);
        ExpectEnclosesData(axis, c.Lowest, c.Highest);
        EXPECT_DOUBLE_EQ(axis.Low, c.Low);
        EXPECT_DOUBLE_EQ(axis.High, c.High);
        EXPECT_EQ(Labels(axis), c.Labels);
    }
}

TEST(PlotAxes, FrequencyGridHasDecadesAndTwoToFive) {
    const PlotAxis axis = ChooseFrequencyAxis(20, 20000);
    const std::vector<double> expected = {20,  30,   40,   50,   100,  200,  300,   400,
                                          500, 1000, 2000, 3000, 4000, 5000, 10000, 20000};
    ASSERT_EQ(Values(axis).size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_DOUBLE_EQ(axis.Lines[i].Value, expected[i]) << "line " << i;
        const bool decade = expected[i] == 100 || expected[i] == 1000 || expected[i] == 10000;
        EXPECT_EQ(axis.Lines[i].Major, decade) << "line " << i;
    }
}

// Tiny and huge floats are valid frequencies: the axis must stay finite and
// its labels few enough to read.
TEST(PlotAxes, FrequencyAxisOverTheWholeFloatRange) {
    const double lowest = 1.4e-45;
    const double highest = 3.4e38;
    const PlotAxis axis = ChooseFrequencyAxis(lowest, highest);
    ExpectEnclosesData(axis, lowest, highest);
    EXPECT_LE(Labels(axis).size(), 13u);
    EXPECT_LE(axis.Lines.size(), 90u);
}

struct LevelCase {
    const char* Name;
    double Lowest;
    double Highest;
    double Low;
    double High;
    std::vector<std::string> Labels;
};

TEST(PlotAxes, LevelAxisRoundSteps) {
    const LevelCase cases[] = {
        {"ten steps of one",
         0,
         10,
         0,
         10,
         {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
        {"negative only", -28.4, -2.5, -30, 0, {"-30", "-25", "-20", "-15", "-10", "-5", "0"}},
        {"float noise at the ends",
         -29.999998f,
         -2.0000002f,
         -30,
         0,
         {"-30", "-25", "-20", "-15", "-10", "-5", "0"}},
        {"fractions, no minus zero",
         -0.3,
         0.45,
         -0.3,
         0.5,
         {"-0.3", "-0.2", "-0.1", "0.0", "0.1", "0.2", "0.3", "0.4", "0.5"}},
        {"small step",
         0.01,
         0.08,
         0.01,
         0.08,
         {"0.01", "0.02", "0.03", "0.04", "0.05", "0.06", "0.07", "0.08"}},
        {"flat curve gets room",
         3,
         3,
         2,
         4,
         {"2.0", "2.2", "2.4", "2.6", "2.8", "3.0", "3.2", "3.4", "3.6", "3.8", "4.0"}},
        {"flat zero",
         0,
         0,
         -1,
         1,
         {"-1.0", "-0.8", "-0.6", "-0.4", "-0.2", "0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}},
        {"wide",
         -40,
         125,
         -40,
         140,
         {"-40", "-20", "0", "20", "40", "60", "80", "100", "120", "140"}},
    };
    for (const LevelCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const PlotAxis axis = ChooseLevelAxis(c.Lowest, c.Highest);
        ExpectEnclosesData(axis, c.Lowest, c.Highest);
        EXPECT_NEAR(axis.Low, c.Low, 1e-12);
        EXPECT_NEAR(axis.High, c.High, 1e-12);
        EXPECT_EQ(Labels(axis), c.Labels);
        EXPECT_LE(axis.Lines.size(), 11u);
        for (const GridLine& line : axis.Lines) {
            EXPECT_EQ(line.Major, line.Value == 0.0) << line.Label;
        }
    }
}

// A correction of a tenth of a dB must look like one: the axis never shows
// less than -0.5 to +0.5 dB, and its low panel takes at most six steps.
TEST(PlotAxes, CorrectionAxisShowsAtLeastHalfADecibel) {
    const LevelCase cases[] = {
        {"typical", -0.26, 0.27, -0.6, 0.6, {"-0.6", "-0.4", "-0.2", "0.0", "0.2", "0.4", "0.6"}},
        {"none at all", 0, 0, -0.6, 0.6, {"-0.6", "-0.4", "-0.2", "0.0", "0.2", "0.4", "0.6"}},
        {"one-sided", 0.01, 0.02, -0.6, 0.6, {"-0.6", "-0.4", "-0.2", "0.0", "0.2", "0.4", "0.6"}},
        {"large", -3.2, 1.1, -4, 2, {"-4", "-3", "-2", "-1", "0", "1", "2"}},
        {"far from zero", 7, 12, -5, 15, {"-5", "0", "5", "10", "15"}},
    };
    for (const LevelCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const PlotAxis axis = ChooseCorrectionAxis(c.Lowest, c.Highest);
        ExpectEnclosesData(axis, std::fmin(c.Lowest, -0.5), std::fmax(c.Highest, 0.5));
        EXPECT_NEAR(axis.Low, c.Low, 1e-12);
        EXPECT_NEAR(axis.High, c.High, 1e-12);
        EXPECT_EQ(Labels(axis), c.Labels);
    }
}

TEST(PlotAxes, LevelAxisAtTheEndsOfTheFloatRange) {
    const struct {
        double Lowest;
        double Highest;
    } ranges[] = {{-3.4e38, 3.4e38}, {1e30, 1e30}, {-1e-40, 1e-40}};
    for (const auto& range : ranges) {
        SCOPED_TRACE(range.Lowest);
        const PlotAxis axis = ChooseLevelAxis(range.Lowest, range.Highest);
        EXPECT_LE(axis.Low, range.Lowest);
        EXPECT_GE(axis.High, range.Highest);
        EXPECT_GE(axis.Lines.size(), 2u);
        EXPECT_LE(axis.Lines.size(), 11u);
    }
}

} // namespace
