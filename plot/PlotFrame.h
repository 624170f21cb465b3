#pragma once

#include "PlotAxes.h"

#include <string>

// Where the axes put a point in the picture, in SVG user units.
struct PlotArea {
    double Left = 0.0;
    double Top = 0.0;
    double Width = 0.0;
    double Height = 0.0;
    PlotAxis Frequency;
    PlotAxis Level;
};

double FrequencyX(const PlotArea& area, double frequency);
double LevelY(const PlotArea& area, double level);

// The responses above, the correction in a panel of its own below, on one
// frequency axis: the grids, the labels and titles of the axes, and a frame
// around each panel. Both areas share their left, width and frequency axis.
void AppendFrames(std::string& out, const PlotArea& responses, const PlotArea& correction);
