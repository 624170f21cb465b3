#include "CalibrationCurve.h"

#include "Messages.h"

#include <new>

CalibrationCurve RefMicFromCurve;
CalibrationCurve RefMicToCurve;

// Memory that a huge file exhausts is caught where its points or its bytes
// pile up, here and in ReadWholeFile; the rest of the code stays free of
// exceptions.
bool AppendCurvePoint(CalibrationCurve& curve, float frequency, float response, const char* path) {
    try {
        curve.Frequencies.push_back(frequency);
        curve.Responses.push_back(response);
    } catch (const std::bad_alloc&) {
        return ReportOutOfMemory(path);
    }
    return true;
}

void ReleaseReferenceCurves() {
    RefMicFromCurve = {};
    RefMicToCurve = {};
}
