#pragma once

#include "Derivation.h"
#include "PlotLayout.h"

// The names the picture gives the four files of a derivation, as given.
struct DerivationPlotNames {
    const char* RefMicCal = "";
    const char* RefMicMeasured = "";
    const char* MyMicMeasured = "";
    const char* MyMicCal = "";
};

// Writes the picture of a derivation as one self-contained SVG file at path,
// laid out by layout as the conversion's picture is: the title, MyMicCal's
// header line, the result beside RefMicCal above, the measurements' raw and
// smoothed difference below, and a legend that names the files. A failure
// has printed its message.
bool WriteDerivationPlot(const char* path, const Derivation& derivation,
                         const DerivationPlotNames& names, const PlotLayout& layout);
