#pragma once

#include "PlotAxes.h"
#include "PlotLayout.h"

#include <string>
#include <string_view>

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

// Takes the labels off the frequency axis's lines where, in text of the
// given size, they would crowd a label kept or run out of a picture of the
// given width: the decades' labels are kept first, then those of the 2 and 5
// lines, then the rest, each from low to high.
void ThinFrequencyLabels(PlotArea& area, double fontSize, double pictureWidth);

// The responses above, the correction in a panel of its own below, on one
// frequency axis: the grids, the labels and titles of the axes, and a frame
// around each panel. Both areas share their left, width and frequency axis.
void AppendFrames(std::string& out, const PlotLayout& layout, const PlotArea& responses,
                  const PlotArea& correction);

// The same with titles of the caller's for the two level axes.
void AppendFrames(std::string& out, const PlotLayout& layout, const PlotArea& upper,
                  const PlotArea& lower, std::string_view upperTitle, std::string_view lowerTitle);
