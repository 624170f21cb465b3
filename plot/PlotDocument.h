#pragma once

#include "PlotInputs.h"
#include "PlotLayout.h"

// Writes the picture of inputs as one self-contained SVG file at path, laid
// out by layout: the title, the files' header lines, the axes with their
// grid, the five curves and a legend that names the files. A failure has
// printed its message.
bool WritePlotDocument(const char* path, const PlotInputs& inputs, const PlotLayout& layout);
