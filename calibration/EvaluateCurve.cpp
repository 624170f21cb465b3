#include "EvaluateCurve.h"

std::uint32_t SegmentHint = 0;

float EvaluateCurve(const CalibrationCurve& curve, float frequency) {
    const float* const f = curve.Frequencies.data();
    const float* const r = curve.Responses.data();
    const auto last = static_cast<std::uint32_t>(curve.Frequencies.size() - 2);
    std::uint32_t i = SegmentHint < last ? SegmentHint : last;
    // Strict comparisons: a walk stops at an equal frequency, and at a
    // not-a-number, which compares false. f[0] is never looked at.
    while (i > 0 && f[i] > frequency) {
        --i;
    }
    while (i < last && f[i + 1] < frequency) {
        ++i;
    }
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
