#pragma once

#include "CalibrationCurve.h"
#include "EvaluateCurve.h"
#include "FrequencySpan.h"

#include <cstdint>

// The two references of a conversion, with the spans beyond which each is
// extended along its end segment.
struct ConversionReferences {
    const CalibrationCurve* From = nullptr;
    const CalibrationCurve* To = nullptr;
    FrequencySpan FromSpan;
    FrequencySpan ToSpan;
};

ConversionReferences ReferencesOf(const CalibrationCurve& from, const CalibrationCurve& to);

// One point of MyMicIn as the conversion makes it.
struct ConvertedPoint {
    float From = 0.0f;
    float To = 0.0f;
    // The segment each evaluation used.
    std::uint32_t FromSegment = 0;
    std::uint32_t ToSegment = 0;
    float Correction = 0.0f; // To - From
    float Response = 0.0f;   // what MyMicOut holds
    // The frequency lies below or above either reference, whose end segment
    // then gives the correction.
    bool Extrapolated = false;
};

// RefMicFrom's curve first, then RefMicTo's: both evaluations move the one
// SegmentHint, so with references not listed from low to high frequency the
// order is part of every result. Every program that converts a point goes
// through here. The converted response is formed in double precision from
// the three floats, in this order, and rounded once.
inline ConvertedPoint ConvertPoint(const ConversionReferences& references, float frequency,
                                   float response) {
    ConvertedPoint point;
    point.From = EvaluateCurve(*references.From, frequency);
    point.FromSegment = SegmentHint;
    point.To = EvaluateCurve(*references.To, frequency);
    point.ToSegment = SegmentHint;
    point.Correction = static_cast<float>(static_cast<double>(point.To) - point.From);
    point.Response = static_cast<float>((static_cast<double>(point.To) + response) - point.From);
    point.Extrapolated =
        IsBeyond(references.FromSpan, frequency) || IsBeyond(references.ToSpan, frequency);
    return point;
}

// The smallest and the largest correction of a conversion, and where; a
// correction that is not a number has no place among them and is counted.
struct CorrectionExtremes {
    bool Any = false;
    float Smallest = 0.0f;
    float SmallestAt = 0.0f;
    float Largest = 0.0f;
    float LargestAt = 0.0f;
    std::uint64_t NotANumber = 0;
};

void SeeCorrection(CorrectionExtremes& extremes, float frequency, float correction);

// Back to the state of a process that has converted nothing: both reference
// curves empty, SegmentHint 0 and no search remembered. A process that runs
// more than once (the page's module, a fuzzer) calls it before each run, so
// that each behaves exactly as a run of its own.
void ResetConversionState();
