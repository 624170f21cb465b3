#pragma once

#include <string>
#include <vector>

struct GridLine {
    double Value = 0.0;
    // Drawn darker: a decade of the frequency axis, 0 dB on the level axis.
    bool Major = false;
    // Empty where labels would crowd each other.
    std::string Label;
};

// An axis runs from Low to High; its grid lines lie within, in rising order.
struct PlotAxis {
    double Low = 0.0;
    double High = 0.0;
    std::vector<GridLine> Lines;
};

// A logarithmic axis for frequencies in Hz, 0 < lowest <= highest, both
// finite. Its ends are the nearest values 1, 2, 3, 4 or 5 times a power of
// ten that enclose the data, with a grid line at each such value; the
// decades and the 2 and 5 lines are labelled in Hz or kHz, the 3 and 4 lines
// only where a decade is wide. Beyond six decades only the decades are kept.
PlotAxis ChooseFrequencyAxis(double lowest, double highest);

// A linear axis for responses in dB, lowest <= highest, both finite: a round
// step of 1, 2 or 5 times a power of ten giving at most ten steps, the ends
// on multiples of the step that enclose the data, a labelled grid line at
// every step.
PlotAxis ChooseLevelAxis(double lowest, double highest);

// The axis of the correction's own panel: as a level axis, but always
// showing at least -0.5 to +0.5 dB, in at most six steps.
PlotAxis ChooseCorrectionAxis(double lowest, double highest);
