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

// The grid, the labels and titles of both axes, and the frame around the area.
void AppendFrame(std::string& out, const PlotArea& area);
