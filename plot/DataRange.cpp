#include "DataRange.h"

#include <cmath>

bool IsDrawable(float frequency, float response) {
    return frequency > 0.0f && std::isfinite(frequency) && std::isfinite(response);
}

std::size_t DrawablePointCount(const CalibrationCurve& curve) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < curve.Frequencies.size(); ++i) {
        count += IsDrawable(curve.Frequencies[i], curve.Responses[i]) ? 1 : 0;
    }
    return count;
}

void AddToRange(DataRange& range, const CalibrationCurve& curve) {
    for (std::size_t i = 0; i < curve.Frequencies.size(); ++i) {
        const float frequency = curve.Frequencies[i];
        const float level = curve.Responses[i];
        if (!IsDrawable(frequency, level)) {
            continue;
        }
        if (range.Empty) {
            range = {false, frequency, frequency, level, level};
            continue;
        }
        range.LowestFrequency = std::fmin(range.LowestFrequency, frequency);
        range.HighestFrequency = std::fmax(range.HighestFrequency, frequency);
        range.LowestLevel = std::fmin(range.LowestLevel, level);
        range.HighestLevel = std::fmax(range.HighestLevel, level);
    }
}
