#pragma once

#include "CalibrationCurve.h"
#include "CalibrationFileScan.h"
#include "CheckReport.h"
#include "FileScan.h"
#include "FrequencySpan.h"

#include <cstdint>
#include <vector>

// The conversion as the converter would make it, point by point of MyMicIn,
// with both references loaded.
struct ConversionScan {
    const CalibrationCurve* From = nullptr;
    const CalibrationCurve* To = nullptr;
    FrequencySpan FromSpan;
    FrequencySpan ToSpan;
    ConversionReport Report;
    std::uint64_t FirstExtrapolatedLine = 0;
    double OctavesBeyond = 0.0;
    std::uint64_t WrongSegments = 0;
    std::uint64_t FirstWrongSegmentLine = 0;
    float FirstWrongSegmentFrequency = 0.0f;
    bool WrongInFrom = false;
    bool WrongInTo = false;
    std::uint64_t NotFinite = 0;
    std::uint64_t FirstNotFiniteLine = 0;
    // MyMicIn's points so far equal the first points of each reference.
    std::uint64_t PointsSeen = 0;
    bool SameAsFrom = true;
    bool SameAsTo = true;
};

void StartConversionScan(ConversionScan& scan, const CalibrationCurve& from,
                         const CalibrationCurve& to);

// The watcher of MyMicIn's points: the same evaluations, in the same order,
// as the converter makes.
PointWatcher WatchPoints(ConversionScan& scan);

void AddConversionFindings(const ConversionScan& scan, const FileScan& from, const FileScan& to,
                           const FileScan& in, std::vector<Finding>& findings);
