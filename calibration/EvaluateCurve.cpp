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

// The same segment, found in steps that double from where the walk starts
// and then halve, so that neither a long way from the hint (a curve of many
// points evaluated after one of few) nor a short one costs more than a
// logarithm. On frequencies that never decrease the walk has a simple shape:
// it goes down only while f[i] > frequency and then cannot go up again, or
// it goes up to the first f[i + 1] >= frequency. The searches below find
// those same places among the same points the walk would compare.
std::uint32_t SearchForSegment(const float* f, std::uint32_t last, std::uint32_t start,
                               float frequency) {
    if (start > 0 && f[start] > frequency) {
        // The walk ends just below the first point above frequency, looking
        // no lower than f[1]; f[start] is above it.
        std::uint32_t low = 1;
        std::uint32_t high = start;
        for (std::uint64_t step = 1; high - low >= step; step *= 2) {
            const auto probe = static_cast<std::uint32_t>(high - step);
            if (f[probe] <= frequency) {
                low = probe + 1;
                break;
            }
            high = probe;
        }
        return static_cast<std::uint32_t>(std::upper_bound(f + low, f + high, frequency) - f) - 1;
    }
    // The walk ends just below the first point from f[start + 1] on that is
    // not below frequency, or at last when there is none. This also holds
    // for a not-a-number frequency, which no point is below.
    std::uint32_t low = start + 1;
    std::uint32_t high = last + 1;
    for (std::uint64_t step = 1; high - low >= step; step *= 2) {
        const auto probe = static_cast<std::uint32_t>(low + step - 1);
        if (!(f[probe] < frequency)) {
            high = probe;
            break;
        }
        low = probe + 1;
    }
    return static_cast<std::uint32_t>(std::lower_bound(f + low, f + high, frequency) - f) - 1;
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
