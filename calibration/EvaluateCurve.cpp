#include "EvaluateCurve.h"

#include <algorithm>

std::uint32_t SegmentHint = 0;

namespace {

// The segment the step-by-step walk stops on, for any order of frequencies.
// Strict comparisons: a walk stops at an equal frequency, and at a
// not-a-number, which compares false. f[0] is never looked at.
std::uint32_t WalkToSegment(const float* f, std::uint32_t last, std::uint32_t i, float frequency) {
    while (i > 0 && f[i] > frequency) {
        --i;
    }
    while (i < last && f[i + 1] < frequency) {
        ++i;
    }
    return i;
}

// The first of f[low, high) for which isBefore is false, or high, when it is
// true for a leading run and false from there on. Found in steps that double
// from guess (low <= guess <= high) and then halve, so that the cost grows
// with the logarithm of the distance from the guess to the answer.
template <typename IsBefore>
std::uint32_t FindBoundary(const float* f, std::uint32_t low, std::uint32_t high,
                           std::uint32_t guess, IsBefore isBefore) {
    if (guess < high && isBefore(f[guess])) {
        low = guess + 1;
        for (std::uint64_t step = 1; high - low >= step; step *= 2) {
            const auto probe = static_cast<std::uint32_t>(low + step - 1);
            if (!isBefore(f[probe])) {
                high = probe;
                break;
            }
            low = probe + 1;
        }
    } else {
        high = guess;
        for (std::uint64_t step = 1; high - low >= step; step *= 2) {
            const auto probe = static_cast<std::uint32_t>(high - step);
            if (isBefore(f[probe])) {
                low = probe + 1;
                break;
            }
            high = probe;
        }
    }
    return static_cast<std::uint32_t>(std::partition_point(f + low, f + high, isBefore) - f);
}

// Where the last search of each of the two curves in use ended. A 2-point
// curve evaluated before a large one sends SegmentHint back to 0 on every
// line; starting the search of the large curve near its previous answer
// keeps it short. It is only where the search starts looking: the segment
// found depends on SegmentHint and the frequency alone, so a stale entry
// costs time, never a different result.
struct RecentSearch {
    const float* Frequencies = nullptr;
    std::uint32_t Boundary = 0;
};
RecentSearch RecentSearches[2];
unsigned OlderSearch = 0;

RecentSearch& RecentSearchOf(const float* f) {
    for (RecentSearch& recent : RecentSearches) {
        if (recent.Frequencies == f) {
            return recent;
        }
    }
    RecentSearch& replaced = RecentSearches[OlderSearch];
    OlderSearch ^= 1;
    replaced = {f, 0};
    return replaced;
}

std::uint32_t Clamp(std::uint32_t value, std::uint32_t low, std::uint32_t high) {
    return value < low ? low : value > high ? high : value;
}

// The segment the walk from start stops on, for frequencies that never
// decrease. There the walk has a simple shape: when f[start] > frequency it
// goes down to just below the first point above frequency, looking no lower
// than f[1], and cannot go up again; otherwise it goes up to just below the
// first point from f[start + 1] on that is not below frequency, or to last.
// A not-a-number frequency, which no point is above or below, leaves it at
// start both ways.
std::uint32_t SearchForSegment(const float* f, std::uint32_t last, std::uint32_t start,
                               float frequency) {
    RecentSearch& recent = RecentSearchOf(f);
    std::uint32_t boundary = 0;
    if (start > 0 && f[start] > frequency) {
        boundary = FindBoundary(f, 1, start, Clamp(recent.Boundary, 1, start),
                                [frequency](float point) { return !(frequency < point); });
    } else {
        boundary = FindBoundary(f, start + 1, last + 1, Clamp(recent.Boundary, start + 1, last + 1),
                                [frequency](float point) { return point < frequency; });
    }
    recent.Boundary = boundary;
    return boundary - 1;
}

} // namespace

float EvaluateCurve(const CalibrationCurve& curve, float frequency) {
    const float* const f = curve.Frequencies.data();
    const float* const r = curve.Responses.data();
    const auto last = static_cast<std::uint32_t>(curve.Frequencies.size() - 2);
    const std::uint32_t start = SegmentHint < last ? SegmentHint : last;
    const std::uint32_t i = curve.FrequenciesNeverDecrease
                                ? SearchForSegment(f, last, start, frequency)
                                : WalkToSegment(f, last, start, frequency);
    SegmentHint = i;

    const double x0 = f[i];
    const double y0 = r[i];
    const double y1 = r[i + 1];
    const auto width = static_cast<float>(static_cast<double>(f[i + 1]) - x0);
    if (width == 0.0f) {
        return r[i];
    }
    const auto fraction = static_cast<float>((static_cast<double>(frequency) - x0) / width);
    return static_cast<float>(y0 + (y1 - y0) * fraction);
}

void ResetEvaluation() {
    SegmentHint = 0;
    for (RecentSearch& recent : RecentSearches) {
        recent = {};
    }
    OlderSearch = 0;
}
