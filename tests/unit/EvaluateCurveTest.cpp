#include "EvaluateCurve.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

struct EvaluationRow {
    std::uint32_t HintBefore;
    float Frequency;
    float Expected;
    std::uint32_t HintAfter;
};

void ExpectEvaluations(const CalibrationCurve& curve, const std::vector<EvaluationRow>& rows) {
    for (const EvaluationRow& row : rows) {
        SegmentHint = row.HintBefore;
        const float result = EvaluateCurve(curve, row.Frequency);
        const bool bothNan = std::isnan(result) && std::isnan(row.Expected);
        EXPECT_TRUE(bothNan || std::bit_cast<std::uint32_t>(result) ==
                                   std::bit_cast<std::uint32_t>(row.Expected))
            << "at " << row.Frequency << " from SegmentHint " << row.HintBefore << ": got "
            << result << ", expected " << row.Expected;
        EXPECT_EQ(SegmentHint, row.HintAfter)
            << "at " << row.Frequency << " from SegmentHint " << row.HintBefore;
    }
}

TEST(EvaluateCurve, TwoPointCurveIsOneStraightLine) {
    const CalibrationCurve curve{{100, 200}, {1, 3}};
    ExpectEvaluations(curve, {
                                 {0, 150, 2, 0},
                                 {0, 50, 0, 0},
                                 {0, 300, 5, 0},
                                 {0, 100, 1, 0},
                                 {0, 200, 3, 0},
                                 {0, -100, -3, 0},
                                 {7, 300, 5, 0},
                                 {0xffffffffU, 150, 2, 0},
                             });
}

TEST(EvaluateCurve, WalksBothWaysFromTheHint) {
    const CalibrationCurve curve{{100, 200, 400}, {1, 2, 6}};
    SegmentHint = 0;
    EXPECT_EQ(EvaluateCurve(curve, 300), 4.0f);
    EXPECT_EQ(SegmentHint, 1U);
    EXPECT_EQ(EvaluateCurve(curve, 150), 1.5f);
    EXPECT_EQ(SegmentHint, 0U);
    ExpectEvaluations(curve, {
                                 {0, 500, 8, 1},   // beyond the last point: last segment
                                 {1, 50, 0.5f, 0}, // below the first: first segment
                                 {1, 100, 1, 0},
                                 {0, 400, 6, 1},
                                 {5, 150, 1.5f, 0},
                             });
}

TEST(EvaluateCurve, RepeatedFrequencyGivesTheResponseTheWalkStopsAt) {
    const CalibrationCurve curve{{100, 200, 200, 300}, {1, 2, 5, 7}};
    ExpectEvaluations(curve, {
                                 {0, 200, 2, 0},
                                 {1, 200, 2, 1}, // zero width: the first point of the segment
                                 {2, 200, 5, 2},
                                 {9, 200, 5, 2},
                                 {0, 250, 6, 2},
                                 {2, 150, 1.5f, 0},
                             });
}

TEST(EvaluateCurve, AtAPointsOwnFrequency) {
    const CalibrationCurve curve{{20, 31.5f, 63, 125.7f, 1000, 20000},
                                 {-1.25f, 0.3f, 0.1f, 2.7f, -3.3f, 7.9f}};
    const auto last = static_cast<std::uint32_t>(curve.Frequencies.size() - 2);
    for (std::uint32_t point = 0; point < curve.Frequencies.size(); ++point) {
        for (std::uint32_t hint = 0; hint <= last; ++hint) {
            SCOPED_TRACE(testing::Message() << "point " << point << " from SegmentHint " << hint);
            SegmentHint = hint;
            const float result = EvaluateCurve(curve, curve.Frequencies[point]);
            // From above the walk stops on the segment the point begins, where
            // the fraction is exactly 0; from below, on the one it ends, where
            // the fraction is 1 up to rounding.
            if (SegmentHint == point) {
                EXPECT_EQ(result, curve.Responses[point]);
            } else {
                EXPECT_EQ(SegmentHint + 1, point);
                EXPECT_FLOAT_EQ(result, curve.Responses[point]);
            }
        }
    }
}

// Neither rising nor falling: which segment is used depends on the hint.
TEST(EvaluateCurve, UnorderedCurveFollowsTheWalk) {
    const CalibrationCurve zigzag{{100, 300, 200, 400}, {0, 10, 20, 30}};
    ExpectEvaluations(zigzag, {
                                  {0, 250, 7.5f, 0},
                                  {1, 250, 7.5f, 0}, // 300 > 250: down to segment 0
                                  {2, 250, 22.5f, 2},
                                  {3, 250, 22.5f, 2},
                              });
    const CalibrationCurve falling{{400, 300, 200, 100}, {8, 3, 2, 0}};
    ExpectEvaluations(falling, {
                                   {0, 250, 0.5f, 0},
                                   {1, 250, 0.5f, 0},
                                   {2, 250, 3, 2},
                                   {0, 50, -9.5f, 0}, // 300 < 50 is false: no walk up
                                   {2, 500, 8, 2},
                               });
}

TEST(EvaluateCurve, OneHintIsSharedByBothCurves) {
    const CalibrationCurve rising{{100, 200, 300, 400}, {0, 0, 0, 0}};
    const CalibrationCurve zigzag{{100, 300, 200, 400}, {0, 10, 20, 30}};
    SegmentHint = 0;
    EvaluateCurve(rising, 350);
    EXPECT_EQ(EvaluateCurve(zigzag, 250), 22.5f);
    EvaluateCurve(rising, 150);
    EXPECT_EQ(EvaluateCurve(zigzag, 250), 7.5f);
}

TEST(EvaluateCurve, SmallerSecondCurveBringsTheHintDown) {
    // Exact-size curves, so that a point beyond the end is caught by
    // AddressSanitizer.
    const CalibrationCurve larger{{100, 200, 300, 400, 500, 600}, {1, 2, 3, 4, 5, 6}};
    const CalibrationCurve smaller{{100, 200, 400}, {1, 2, 6}};
    const CalibrationCurve two{{100, 200}, {1, 3}};
    SegmentHint = 0;
    EXPECT_EQ(EvaluateCurve(larger, 550), 5.5f);
    EXPECT_EQ(SegmentHint, 4U);
    EXPECT_EQ(EvaluateCurve(smaller, 450), 7.0f);
    EXPECT_EQ(SegmentHint, 1U);
    EXPECT_EQ(EvaluateCurve(larger, 550), 5.5f);
    EXPECT_EQ(SegmentHint, 4U);
    EXPECT_EQ(EvaluateCurve(two, 150), 2.0f);
    EXPECT_EQ(SegmentHint, 0U);
}

TEST(EvaluateCurve, NotANumberFrequencyStopsBothWalks) {
    const CalibrationCurve curve{{100, 200, 400}, {1, 2, 6}};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const std::uint32_t hint : {0U, 1U, 9U}) {
        SegmentHint = hint;
        EXPECT_TRUE(std::isnan(EvaluateCurve(curve, nan))) << "from SegmentHint " << hint;
        EXPECT_EQ(SegmentHint, hint < 1 ? hint : 1U);
    }
    const CalibrationCurve nanInside{{100, nan, 300, 400}, {1, 2, 3, 4}};
    ExpectEvaluations(nanInside, {{0, 350, nan, 0}, {3, 350, 3.5f, 2}, {2, 50, nan, 1}});
}

// The width and the fraction are each rounded to single precision before
// they are used, and the result is formed in double precision.
TEST(EvaluateCurve, RoundsAtExactlyTheNamedPoints) {
    const float x0 = 70.15f, x1 = 16884.06f, y0 = 2.77f, y1 = -2.14f, f = 9059.55f;
    const double exactWidth = static_cast<double>(x1) - static_cast<double>(x0);
    const float width = static_cast<float>(exactWidth);
    const double offset = static_cast<double>(f) - static_cast<double>(x0);
    const float fraction = static_cast<float>(offset / static_cast<double>(width));
    const double change = static_cast<double>(y1) - static_cast<double>(y0);
    const float expected =
        static_cast<float>(static_cast<double>(y0) + change * static_cast<double>(fraction));
    ASSERT_EQ(std::bit_cast<std::uint32_t>(expected), 0x3e146466U);

    // Each shortcut changes the result bits, so the case tells them apart.
    const float unroundedWidth =
        static_cast<float>(static_cast<double>(y0) +
                           change * static_cast<double>(static_cast<float>(offset / exactWidth)));
    const float unroundedFraction = static_cast<float>(
        static_cast<double>(y0) + change * (offset / static_cast<double>(width)));
    const float singleArithmetic = y0 + (y1 - y0) * fraction;
    for (const float shortcut : {unroundedWidth, unroundedFraction, singleArithmetic}) {
        ASSERT_NE(std::bit_cast<std::uint32_t>(shortcut), std::bit_cast<std::uint32_t>(expected));
    }

    const CalibrationCurve curve{{x0, x1}, {y0, y1}};
    ExpectEvaluations(curve, {{0, f, expected, 0}});
}

} // namespace
