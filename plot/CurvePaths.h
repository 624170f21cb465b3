#pragma once

#include "CalibrationCurve.h"
#include "PlotFrame.h"
#include "TextWriter.h"

#include <cstddef>
#include <string_view>

// A frequency that is not positive and finite has no place on a logarithmic
// axis, and a response that is not finite none on the level axis.
bool IsDrawable(float frequency, float response);

std::size_t DrawablePointCount(const CalibrationCurve& curve);

// The extent of the drawable points of all curves added so far.
struct DataRange {
    bool Empty = true;
    double LowestFrequency = 0.0;
    double HighestFrequency = 0.0;
    double LowestLevel = 0.0;
    double HighestLevel = 0.0;
};

void AddToRange(DataRange& range, const CalibrationCurve& curve);

// Writes the drawable points of curve, in file order, as one path element
// that carries the given attributes.
bool WriteCurvePath(TextWriter& writer, const PlotArea& area, const CalibrationCurve& curve,
                    std::string_view attributes);

// Writes a small circle at the drawable points of curve, as one group that
// carries the given attributes. Where circles would cover each other only
// the first is drawn, so the group stays small however dense the curve.
bool WriteCurveMarkers(TextWriter& writer, const PlotArea& area, const CalibrationCurve& curve,
                       std::string_view attributes);
