#include "FrequencySpan.h"

#include <cmath>

FrequencySpan SpanOf(const CalibrationCurve& curve) {
    FrequencySpan span;
    for (const float frequency : curve.Frequencies) {
        span.Lowest = std::fmin(span.Lowest, frequency);
        span.Highest = std::fmax(span.Highest, frequency);
    }
    return span;
}
