#pragma once

#include "CalibrationCurve.h"
#include "EvaluateCurve.h"

#include <cstdint>

// Both references at one frequency, and the segment each evaluation used.
struct ReferenceValues {
    float From = 0.0f;
    float To = 0.0f;
    std::uint32_t FromSegment = 0;
    std::uint32_t ToSegment = 0;
};

// RefMicFrom's curve first, then RefMicTo's: both evaluations move the one
// SegmentHint, so with references not listed from low to high frequency the
// order is part of every result. Every program that evaluates the
// references goes through here.
inline ReferenceValues EvaluateReferences(const CalibrationCurve& from, const CalibrationCurve& to,
                                          float frequency) {
    ReferenceValues values;
    values.From = EvaluateCurve(from, frequency);
    values.FromSegment = SegmentHint;
    values.To = EvaluateCurve(to, frequency);
    values.ToSegment = SegmentHint;
    return values;
}
