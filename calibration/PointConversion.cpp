#include "PointConversion.h"

#include <cmath>

ConversionReferences ReferencesOf(const CalibrationCurve& from, const CalibrationCurve& to) {
    return {&from, &to, SpanOf(from), SpanOf(to)};
}

void SeeCorrection(CorrectionExtremes& extremes, float frequency, float correction) {
    if (std::isnan(correction)) {
        ++extremes.NotANumber;
        return;
    }
    if (!extremes.Any || correction < extremes.Smallest) {
        extremes.Smallest = correction;
        extremes.SmallestAt = frequency;
    }
    if (!extremes.Any || correction > extremes.Largest) {
        extremes.Largest = correction;
        extremes.LargestAt = frequency;
    }
    extremes.Any = true;
}

void ResetConversionState() {
    ReleaseReferenceCurves();
    ResetEvaluation();
}
