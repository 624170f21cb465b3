#include "CalibrationCurve.h"

#include "Messages.h"

#include <new>

CalibrationCurve RefMicFromCurve;
CalibrationCurve RefMicToCurve;

// The one place where an exhausted memory is caught; the rest of the code
// stays free of exceptions.
bool AppendCurvePoint(CalibrationCurve& curve, float frequency, float response, const char* path) {
    try {
        curve.Frequencies.push_back(frequency);
        curve.Responses.push_back(response);
    } catch (const std::bad_alloc&) {
        PrintMessage("Error - out of memory reading %s\n", path);
        return false;
    }
    return true;
}

void ReleaseReferenceCurves() {
    RefMicFromCurve = {};
    RefMicToCurve = {};
}
