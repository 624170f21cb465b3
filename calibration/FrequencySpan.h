#pragma once

#include "CalibrationCurve.h"

#include <limits>

// The lowest and the highest frequency of a curve. Beyond them a reference
// is extended along its end segment rather than interpolated.
struct FrequencySpan {
    float Lowest = std::numeric_limits<float>::infinity();
    float Highest = -std::numeric_limits<float>::infinity();
};

// The points need not come in order, so the ends are the extremes.
FrequencySpan SpanOf(const CalibrationCurve& curve);

inline bool IsBeyond(const FrequencySpan& span, float frequency) {
    return frequency < span.Lowest || frequency > span.Highest;
}
