#pragma once

#include <cstddef>
#include <vector>

// A curve has at least two points: with fewer there is no line to follow.
constexpr std::size_t LeastCurvePoints = 2;

// A frequency below the one before it breaks a curve's order; a repeated
// one does not. Written so that a not-a-number counts as a fall.
inline bool FrequencyFalls(float previous, float next) {
    return !(previous <= next);
}

// One microphone's curve: point i is (Frequencies[i], Responses[i]), in the
// order of its file. Nothing sorts the points or removes repeated frequencies.
struct CalibrationCurve {
    std::vector<float> Frequencies;
    std::vector<float> Responses;
    // Set once the points are complete, when no frequency is below the one
    // before it. Only then may a segment be found by searching instead of
    // walking; false is always safe, it only costs time.
    bool FrequenciesNeverDecrease = false;
};

// Appends point (frequency, response). When memory is exhausted, prints
// "Error - out of memory reading %s" with path, the file the point comes
// from, and fails: a huge file, most likely in a 32-bit process, can exhaust
// it, and the user then gets a message instead of an abnormal end.
bool AppendCurvePoint(CalibrationCurve& curve, float frequency, float response, const char* path);

// Filled once each, from RefMicFrom and RefMicTo, then only read.
extern CalibrationCurve RefMicFromCurve;
extern CalibrationCurve RefMicToCurve;

// Empties both reference curves and frees their memory, for a process that
// runs the conversion more than once.
void ReleaseReferenceCurves();
