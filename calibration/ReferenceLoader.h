#pragma once

#include "CalibrationCurve.h"
#include "CalibrationFileScan.h"

// Appends every data line of the reference file at path to curve (empty on
// entry) and succeeds when the curve holds at least 2 points. A program that
// shows more of the file than its points (its header lines, say) passes a
// watcher, which sees every line after the loader. A failure has printed its
// message: "could not open", "could not read", "out of memory reading" or
// "invalid file", each with the path as passed.
bool LoadReferenceCurve(const char* path, CalibrationCurve& curve,
                        const LineWatcher* watcher = nullptr);
