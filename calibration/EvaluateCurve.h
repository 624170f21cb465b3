#pragma once

#include "CalibrationCurve.h"

#include <cstdint>

// The segment (points i and i+1) that the last evaluation used, of whichever
// curve. Both reference curves share it, so each evaluation starts from where
// the evaluation of the other curve stopped.
extern std::uint32_t SegmentHint;

// The response of curve (at least 2 points) at frequency: linear
// interpolation on the segment found by walking from SegmentHint, and the
// first or last segment extended beyond the ends. Stores the segment in
// SegmentHint. Allocates nothing and cannot fail.
float EvaluateCurve(const CalibrationCurve& curve, float frequency);

// Back to the state of a process that has evaluated nothing: SegmentHint 0 and
// no search remembered, so that a run in a process that already ran (as in the
// browser) behaves exactly as a run of its own.
void ResetEvaluation();
