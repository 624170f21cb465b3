#pragma once

#include "CalibrationCurve.h"
#include "LogarithmicGrid.h"

#include <cstddef>
#include <cstdint>

// The file's points as read, in the file's order.
struct ExportCurve {
    CalibrationCurve Response;
    // The third values at the same frequencies, 0 where a line has none.
    CalibrationCurve Third;
    bool HasThird = false;
};

// What the command line asks of the export's frequencies; all zero keeps the
// file's own points.
struct GridRequest {
    int PointsPerOctave = 0;
    bool HasRange = false;
    float Low = 0.0f;
    float High = 0.0f;
    std::uint64_t MaxPoints = 0;
};

inline bool ChangesPoints(const GridRequest& request) {
    return request.PointsPerOctave > 0 || request.HasRange || request.MaxPoints > 0;
}

// Which frequencies the export holds: the file's own points [First, End),
// with Low and High before and after them where the range adds them; or a
// logarithmic grid of PointsPerOctave from Start, with a point at 0 Hz
// before it, up to High, which is always its last point.
struct ExportPlan {
    bool Grid = false;
    int PointsPerOctave = 0;
    bool ZeroPoint = false;
    double Start = 0.0;
    std::size_t First = 0;
    std::size_t End = 0;
    bool AddLow = false;
    bool AddHigh = false;
    float Low = 0.0f;
    float High = 0.0f;
};

// The plan for request over the curve (whose frequencies, where request
// changes the points, rise and are finite and above 0). path names the file
// in messages; a failure has printed its message.
bool PlanExport(const ExportCurve& curve, const GridRequest& request, const char* path,
                ExportPlan& plan);

// Points of the export that lie beyond the file's frequencies, where they
// hold its first or last values.
struct HeldPoints {
    std::uint64_t Below = 0;
    std::uint64_t Above = 0;
};

// Takes the export's points one by one, in order: frequency, response, third
// value. False stops the export.
struct PointSink {
    bool (*Take)(void* context, const float* values) = nullptr;
    void* Context = nullptr;
};

// Gives every point of the plan to sink: the file's own values where it
// keeps the file's points, elsewhere values interpolated linearly between
// the file's points, or held at its first or last values beyond them.
bool ProducePoints(const ExportCurve& curve, const ExportPlan& plan, const PointSink& sink,
                   HeldPoints& held);
