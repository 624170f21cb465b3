#pragma once

#include "CalibrationCurve.h"
#include "DataRange.h"
#include "PlotFrame.h"
#include "PlotInputs.h"
#include "PlotLayout.h"
#include "TextWriter.h"

#include <cstddef>
#include <string>
#include <string_view>

// The parts every picture is made of, whatever its curves: the title, the
// header lines, the panels' areas, the curves' paths and the legend's
// entries, so that each picture looks like the others.

struct CurveStyle {
    std::string_view Id;
    std::string_view Attributes;
};

struct DrawnCurve {
    const CurveStyle* Style;
    const CalibrationCurve* Curve;
    const char* Path; // null for a curve that no file holds
};

void AppendBold(std::string& out, std::string_view text);

// Appends line to out, cut to roomEm where it is wider, the ellipsis included.
void AppendFitting(std::string& out, std::string_view line, double roomEm, bool bold = false);

// A file's header lines, after its role in bold, from the baseline y on;
// y is left on the baseline after them.
void AppendHeaderLines(std::string& out, const PlotLayout& layout, double& y, std::string_view role,
                       const HeaderLines& headers);

// An entry's text, its name in bold and then the rest, which may name a
// file, wrapped to the picture's width; returns the next entry's baseline.
double AppendLegendText(std::string& out, const PlotLayout& layout, double y, std::string_view bold,
                        std::string_view rest);

// The stretch of line that shows a curve's look, beside the entry at y.
void AppendSwatch(std::string& out, const PlotLayout& layout, double y,
                  std::string_view attributes);

DataRange RangeOf(const DrawnCurve* curves, std::size_t count);

// A panel over the frequencies of one range and the levels of another, its
// level axis chosen by chooseLevelAxis.
PlotArea ChooseArea(const PlotLayout& layout, double top, double height,
                    const DataRange& frequencies, const DataRange& levels,
                    PlotAxis (*chooseLevelAxis)(double, double));

// The curves as one group of paths, drawn in the given order.
bool WriteCurves(TextWriter& writer, std::string_view groupId, const PlotArea& area,
                 const DrawnCurve* curves, std::size_t count);

// The title in bold, on the baseline y.
void AppendTitle(std::string& out, const PlotLayout& layout, double y, std::string_view title);

// The document's opening, up to and including its white background.
std::string PlotHead(const PlotLayout& layout, double height, std::string_view title);
