#pragma once

#include "CalibrationCurve.h"
#include "CalibrationFileScan.h"
#include "CheckReport.h"
#include "FileFacts.h"
#include "PointConversion.h"

#include <cstdint>
#include <vector>

// The conversion as the converter would make it, point by point of MyMicIn,
// with both references loaded.
struct ConversionFacts {
    ConversionReferences References;
    ConversionReport Report;
    CorrectionExtremes Extremes;
    // Extrapolated points up to an octave beyond a reference, and further.
    std::uint64_t NearlyBeyond = 0;
    std::uint64_t FirstNearlyBeyondLine = 0;
    double OctavesNearlyBeyond = 0.0;
    std::uint64_t FarBeyond = 0;
    std::uint64_t FirstFarBeyondLine = 0;
    float FirstFarBeyondFrequency = 0.0f;
    double OctavesFarBeyond = 0.0;
    std::uint64_t WrongSegments = 0;
    std::uint64_t FirstWrongSegmentLine = 0;
    float FirstWrongSegmentFrequency = 0.0f;
    bool WrongInFrom = false;
    bool WrongInTo = false;
    std::uint64_t NotFinite = 0;
    std::uint64_t FirstNotFiniteLine = 0;
    // MyMicIn's points so far equal the first points of each reference.
    bool SameAsFrom = true;
    bool SameAsTo = true;
};

void StartConversionScan(ConversionFacts& scan, const CalibrationCurve& from,
                         const CalibrationCurve& to);

// The watcher of MyMicIn's points: the same evaluations, in the same order,
// as the converter makes.
PointWatcher WatchPoints(ConversionFacts& scan);

// Completes scan.Report and adds the findings about the conversion.
void AddConversionFindings(ConversionFacts& scan, const FileFacts& from, const FileFacts& to,
                           const FileFacts& in, std::vector<Finding>& findings);
