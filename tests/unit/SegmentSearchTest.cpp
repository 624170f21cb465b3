#include "CalibrationCurve.h"
#include "EvaluateCurve.h"
#include "ReferenceLoader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr float Inf = std::numeric_limits<float>::infinity();

struct Evaluation {
    float Result;
    std::uint32_t Hint;
};

// The evaluation walking one segment per step, exactly as its rule reads:
// the measure of the search, whose every result and hint must match it.
Evaluation WalkingEvaluation(const CalibrationCurve& curve, float frequency, std::uint32_t hint) {
    const float* const f = curve.Frequencies.data();
    const float* const r = curve.Responses.data();
    const auto last = static_cast<std::uint32_t>(curve.Frequencies.size() - 2);
    std::uint32_t i = hint < last ? hint : last;
    while (i > 0 && f[i] > frequency) {
        --i;
    }
    while (i < last && f[i + 1] < frequency) {
        ++i;
    }
    const double x0 = f[i];
    const double y0 = r[i];
    const double y1 = r[i + 1];
    const auto width = static_cast<float>(static_cast<double>(f[i + 1]) - x0);
    if (width == 0.0f) {
        return {r[i], i};
    }
    const auto fraction = static_cast<float>((static_cast<double>(frequency) - x0) / width);
    return {static_cast<float>(y0 + (y1 - y0) * fraction), i};
}

Evaluation Evaluate(const CalibrationCurve& curve, float frequency, std::uint32_t hint) {
    SegmentHint = hint;
    const float result = EvaluateCurve(curve, frequency);
    return {result, SegmentHint};
}

std::string DescribeCurve(const CalibrationCurve& curve) {
    std::string text = std::to_string(curve.Frequencies.size()) + " points:";
    for (std::size_t i = 0; i < curve.Frequencies.size() && i < 40; ++i) {
        char point[32];
        std::snprintf(point, sizeof point, " %.9g", static_cast<double>(curve.Frequencies[i]));
        text += point;
    }
    return curve.Frequencies.size() > 40 ? text + " ..." : text;
}

void ExpectSameAsWalk(const CalibrationCurve& curve, float frequency, std::uint32_t hint) {
    const Evaluation walked = WalkingEvaluation(curve, frequency, hint);
    const Evaluation searched = Evaluate(curve, frequency, hint);
    ASSERT_EQ(std::bit_cast<std::uint32_t>(searched.Result),
              std::bit_cast<std::uint32_t>(walked.Result))
        << "frequency " << frequency << ", hint " << hint << ", " << DescribeCurve(curve);
    ASSERT_EQ(searched.Hint, walked.Hint)
        << "frequency " << frequency << ", hint " << hint << ", " << DescribeCurve(curve);
}

// Frequencies that never decrease, drawn so that repeats, long runs of one
// value, infinities at either end and zeros of both signs all turn up.
CalibrationCurve RandomAscendingCurve(std::mt19937& random, std::size_t points) {
    std::uniform_real_distribution<float> step(0.0f, 50.0f);
    std::uniform_int_distribution<int> choice(0, 99);
    CalibrationCurve curve;
    float frequency = std::uniform_real_distribution<float>(-100.0f, 1000.0f)(random);
    if (choice(random) < 15) {
        frequency = -Inf;
    }
    for (std::size_t i = 0; i < points; ++i) {
        const int kind = choice(random);
        if (i > 0 && kind < 25) {
            // Repeat the previous frequency.
        } else if (kind < 30 && frequency <= 0.0f && frequency > -Inf) {
            frequency = kind % 2 == 0 ? 0.0f : -0.0f;
        } else if (frequency > -Inf || i > 0) {
            frequency = frequency == -Inf ? -1000.0f : frequency + step(random);
        }
        curve.Frequencies.push_back(frequency);
        curve.Responses.push_back(std::uniform_real_distribution<float>(-20.0f, 20.0f)(random));
    }
    const std::size_t infiniteTail = choice(random) < 15 ? 1 + choice(random) % 3 : 0;
    for (std::size_t i = 0; i < infiniteTail && i + 1 < points; ++i) {
        curve.Frequencies[points - 1 - i] = Inf;
    }
    EXPECT_TRUE(std::is_sorted(curve.Frequencies.begin(), curve.Frequencies.end()));
    curve.FrequenciesNeverDecrease = true;
    return curve;
}

// A frequency that lands on, next to, between or beyond the curve's points.
float RandomFrequency(std::mt19937& random, const CalibrationCurve& curve) {
    const std::vector<float>& f = curve.Frequencies;
    std::uniform_int_distribution<std::size_t> index(0, f.size() - 1);
    const float at = f[index(random)];
    switch (std::uniform_int_distribution<int>(0, 8)(random)) {
    case 0:
    case 1:
        return at;
    case 2:
        return std::nextafter(at, Inf);
    case 3:
        return std::nextafter(at, -Inf);
    case 4: {
        const float other = f[index(random)];
        const float middle = at / 2 + other / 2;
        return std::isnan(middle) ? at : middle;
    }
    case 5:
        return std::uniform_int_distribution<int>(0, 1)(random) ? Inf : -Inf;
    case 6:
        return f.front() - std::uniform_real_distribution<float>(0.0f, 500.0f)(random);
    case 7:
        return f.back() + std::uniform_real_distribution<float>(0.0f, 500.0f)(random);
    default:
        return std::uniform_real_distribution<float>(-200.0f, 3000.0f)(random);
    }
}

// The hint is left by whichever curve came before, so it may lie beyond
// this curve's segments.
std::uint32_t RandomHint(std::mt19937& random, const CalibrationCurve& curve) {
    const auto segments = static_cast<std::uint32_t>(curve.Frequencies.size() - 1);
    switch (std::uniform_int_distribution<int>(0, 9)(random)) {
    case 0:
        return 0;
    case 1:
        return segments - 1;
    case 2:
        return std::numeric_limits<std::uint32_t>::max();
    case 3:
        return segments + std::uniform_int_distribution<std::uint32_t>(0, 100)(random);
    default:
        return std::uniform_int_distribution<std::uint32_t>(0, segments - 1)(random);
    }
}

std::size_t RandomSize(std::mt19937& random) {
    switch (std::uniform_int_distribution<int>(0, 9)(random)) {
    case 0:
        return 2;
    case 1:
        return 3;
    case 2:
        return std::uniform_int_distribution<std::size_t>(4, 8)(random);
    case 3:
        return std::uniform_int_distribution<std::size_t>(500, 5000)(random);
    default:
        return std::uniform_int_distribution<std::size_t>(4, 100)(random);
    }
}

TEST(SegmentSearch, MatchesTheWalkOnRandomAscendingCurves) {
    std::mt19937 random(20240611);
    for (int c = 0; c < 3000; ++c) {
        const CalibrationCurve curve = RandomAscendingCurve(random, RandomSize(random));
        for (int q = 0; q < 60; ++q) {
            ExpectSameAsWalk(curve, RandomFrequency(random, curve), RandomHint(random, curve));
            if (HasFatalFailure()) {
                return;
            }
        }
    }
}

TEST(SegmentSearch, MatchesTheWalkOnEveryPointAndHintOfSmallCurves) {
    std::mt19937 random(7);
    for (int c = 0; c < 400; ++c) {
        const CalibrationCurve curve = RandomAscendingCurve(random, RandomSize(random) % 12 + 2);
        const auto points = static_cast<std::uint32_t>(curve.Frequencies.size());
        for (std::uint32_t hint = 0; hint <= points; ++hint) {
            for (const float at : curve.Frequencies) {
                for (const float frequency :
                     {at, std::nextafter(at, Inf), std::nextafter(at, -Inf)}) {
                    ExpectSameAsWalk(curve, frequency, hint);
                    if (HasFatalFailure()) {
                        return;
                    }
                }
            }
            ExpectSameAsWalk(curve, std::numeric_limits<float>::quiet_NaN(), hint);
        }
    }
}

// A curve evaluated after one of a very different size: the hint left by
// one curve sends the other far from its answer in both directions.
TEST(SegmentSearch, MatchesTheWalkWhenTwoCurvesShareTheHint) {
    std::mt19937 random(99);
    for (int pair = 0; pair < 20; ++pair) {
        const CalibrationCurve small = RandomAscendingCurve(random, 2 + pair % 5);
        const CalibrationCurve large = RandomAscendingCurve(random, 20000);
        std::uint32_t walkedHint = 0;
        std::uint32_t searchedHint = 0;
        for (int line = 0; line < 500; ++line) {
            const float frequency = RandomFrequency(random, large);
            for (const CalibrationCurve* curve : {&small, &large}) {
                const Evaluation walked = WalkingEvaluation(*curve, frequency, walkedHint);
                const Evaluation searched = Evaluate(*curve, frequency, searchedHint);
                ASSERT_EQ(std::bit_cast<std::uint32_t>(searched.Result),
                          std::bit_cast<std::uint32_t>(walked.Result))
                    << "pair " << pair << ", line " << line << ", frequency " << frequency;
                ASSERT_EQ(searched.Hint, walked.Hint)
                    << "pair " << pair << ", line " << line << ", frequency " << frequency;
                walkedHint = walked.Hint;
                searchedHint = searched.Hint;
            }
        }
    }
}

// The search starts looking where the last search of the same points ended;
// points changed or cut short in place under it must make no difference.
TEST(SegmentSearch, MatchesTheWalkWhenTheSamePointsChangeInPlace) {
    std::mt19937 random(11);
    CalibrationCurve curve = RandomAscendingCurve(random, 6000);
    const float* const storage = curve.Frequencies.data();
    for (int round = 0; round < 300; ++round) {
        const std::size_t points = round % 3 == 0 ? 2 + round : 6000 - round;
        const CalibrationCurve fresh = RandomAscendingCurve(random, points);
        curve.Frequencies.assign(fresh.Frequencies.begin(), fresh.Frequencies.end());
        curve.Responses.assign(fresh.Responses.begin(), fresh.Responses.end());
        ASSERT_EQ(curve.Frequencies.data(), storage);
        for (int q = 0; q < 20; ++q) {
            ExpectSameAsWalk(curve, RandomFrequency(random, curve), RandomHint(random, curve));
            if (HasFatalFailure()) {
                return;
            }
        }
    }
}

TEST(SegmentSearch, RepeatedFrequencyTakesTheWalksPointForEveryHint) {
    CalibrationCurve curve{{100.0f, 200.0f, 200.0f, 300.0f}, {1.0f, 2.0f, 5.0f, 7.0f}};
    curve.FrequenciesNeverDecrease = true;
    struct Row {
        std::uint32_t Hint;
        float Result;
        std::uint32_t Segment;
    };
    for (const Row& row :
         {Row{0, 2.0f, 0}, Row{1, 2.0f, 1}, Row{2, 5.0f, 2}, Row{3, 5.0f, 2}, Row{1000, 5.0f, 2}}) {
        const Evaluation result = Evaluate(curve, 200.0f, row.Hint);
        EXPECT_EQ(result.Result, row.Result) << "hint " << row.Hint;
        EXPECT_EQ(result.Hint, row.Segment) << "hint " << row.Hint;
    }
}

// Curves marked as unordered keep the walk, which the search would get wrong.
TEST(SegmentSearch, CurvesThatDecreaseSomewhereAreWalked) {
    std::mt19937 random(3);
    for (int c = 0; c < 300; ++c) {
        CalibrationCurve curve = RandomAscendingCurve(random, RandomSize(random) % 50 + 2);
        std::shuffle(curve.Frequencies.begin(), curve.Frequencies.end(), random);
        curve.FrequenciesNeverDecrease = false;
        for (int q = 0; q < 50; ++q) {
            ExpectSameAsWalk(curve, RandomFrequency(random, curve), RandomHint(random, curve));
            if (HasFatalFailure()) {
                return;
            }
        }
    }
}

class ReferenceOrder : public testing::Test {
  protected:
    void TearDown() override { std::filesystem::remove(Path); }

    bool Load(const std::string& text, CalibrationCurve& curve) {
        std::ofstream(Path, std::ios::binary) << text;
        return LoadReferenceCurve(Path.string().c_str(), curve);
    }

    std::filesystem::path Path =
        std::filesystem::temp_directory_path() /
        ("SegmentSearchTest-" + std::to_string(std::random_device{}()) + ".txt");
};

TEST_F(ReferenceOrder, IsCheckedOnceWhenTheCurveIsLoaded) {
    struct Row {
        const char* Text;
        bool NeverDecrease;
    };
    const Row rows[] = {
        {"10 1\r\n20 2\r\n30 3\r\n", true},
        {"\"header\"\r\n10 1\r\n20 2\r\n20 5\r\n30 3\r\n", true},
        {"-1e39 0\r\n-5 1\r\n5 1\r\n1e39 2\r\n", true},
        {"10 1\r\n20 2\r\n15 3\r\n30 4\r\n", false},
        {"20 1\r\n10 2\r\n", false},
        {"10 1\r\n1e39 2\r\n1e39 3\r\n-1e39 4\r\n", false},
    };
    for (const Row& row : rows) {
        CalibrationCurve curve;
        ASSERT_TRUE(Load(row.Text, curve)) << row.Text;
        EXPECT_EQ(curve.FrequenciesNeverDecrease, row.NeverDecrease) << row.Text;
    }
}

} // namespace
