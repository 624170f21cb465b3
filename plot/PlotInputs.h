#pragma once

#include "CalibrationCurve.h"

#include <cstddef>
#include <string>
#include <vector>

// The first header lines of a file, kept for the picture, and how many it has.
struct HeaderLines {
    std::vector<std::string> Kept;
    std::size_t Count = 0;
};

constexpr std::size_t HeaderLinesKept = 4;
// Longer header lines are cut here; the picture shows less still.
constexpr std::size_t HeaderBytesKept = 1024;

struct PlotFile {
    const char* Path = nullptr;
    CalibrationCurve Curve;
    HeaderLines Headers;
};

// Everything the picture shows, read from the four calibration files.
struct PlotInputs {
    PlotFile RefMicFrom;
    PlotFile RefMicTo;
    PlotFile MyMicIn;
    PlotFile MyMicOut;
    // RefMicTo - RefMicFrom at each frequency of MyMicIn.
    CalibrationCurve Correction;
    // The points of Correction whose frequency lies below or above the
    // frequencies of RefMicFrom or of RefMicTo, where a reference is
    // extended along its end segment rather than interpolated.
    CalibrationCurve Extrapolated;
};

// Loads both references as the converter does, reads the data lines of
// MyMicIn and MyMicOut by the converter's rules, keeps the header lines of
// all four, and evaluates the correction at MyMicIn's frequencies with the
// converter's order of evaluations. The paths must be set. Only reads the
// files; a failure has printed its message.
bool ReadPlotInputs(PlotInputs& inputs);
