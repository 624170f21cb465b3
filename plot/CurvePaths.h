#pragma once

#include "CalibrationCurve.h"
#include "DataRange.h"
#include "PlotFrame.h"
#include "TextWriter.h"

#include <string_view>

// Writes the drawable points of curve, in file order, as one path element
// that carries the given attributes.
bool WriteCurvePath(TextWriter& writer, const PlotArea& area, const CalibrationCurve& curve,
                    std::string_view attributes);

// The circles that WriteCurveMarkers draws, and the legend shows.
constexpr double MarkerRadius = 3.0;

// Writes a small circle at the drawable points of curve, as one group that
// carries the given attributes. Where circles would cover each other only
// the first is drawn, so the group stays small however dense the curve.
bool WriteCurveMarkers(TextWriter& writer, const PlotArea& area, const CalibrationCurve& curve,
                       std::string_view attributes);
