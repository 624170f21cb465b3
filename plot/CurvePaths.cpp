#include "CurvePaths.h"

#include "SvgElements.h"

#include <cmath>
#include <string>

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

bool WriteCurvePath(TextWriter& writer, const PlotArea& area, const CalibrationCurve& curve,
                    std::string_view attributes) {
    std::string text = "<path ";
    text += attributes;
    text += " d=\"";
    std::size_t drawn = 0;
    for (std::size_t i = 0; i < curve.Frequencies.size(); ++i) {
        if (!IsDrawable(curve.Frequencies[i], curve.Responses[i])) {
            continue;
        }
        text += drawn == 0 ? 'M' : 'L';
        AppendCoordinate(text, FrequencyX(area, curve.Frequencies[i]));
        text += ',';
        AppendCoordinate(text, LevelY(area, curve.Responses[i]));
        ++drawn;
        // Written in blocks, so a curve of a million points needs no more
        // memory than one of a hundred.
        if (text.size() >= WriteBlockSize / 2) {
            if (!WriteText(writer, text)) {
                return false;
            }
            text.clear();
        }
    }
    // A lone point is a path of zero length, which round caps show as a dot.
    text += drawn == 1 ? "h0\"/>\n" : "\"/>\n";
    return WriteText(writer, text);
}
