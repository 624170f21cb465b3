#pragma once

#include "CalibrationCurve.h"

#include <cstddef>

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
