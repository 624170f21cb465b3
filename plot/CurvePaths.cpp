#include "CurvePaths.h"

#include "SvgElements.h"

#include <cmath>
#include <iterator>
#include <string>

namespace {

// Markers closer than this to the last one drawn would only thicken its ring.
constexpr double MarkerSpacing = 3.0;

// Consecutive points that fall in one column half a unit wide are drawn as
// the column's first, lowest, highest and last point, in file order. To the
// eye the line is the same, and a curve of a million points makes a path
// that XML readers accept (they refuse attributes of many megabytes) and
// that a renderer strokes in seconds rather than minutes.
constexpr double ColumnWidth = 0.5;

struct PathPoint {
    double X = 0.0;
    double Y = 0.0;
    std::size_t Order = 0;
};

struct Column {
    bool Empty = true;
    double Index = 0.0;
    PathPoint First;
    PathPoint Lowest;
    PathPoint Highest;
    PathPoint Last;
};

struct PathText {
    std::string Text;
    std::size_t Points = 0;
};

void AddToColumn(Column& column, const PathPoint& point) {
    if (column.Empty) {
        column = {false, std::floor(point.X / ColumnWidth), point, point, point, point};
        return;
    }
    if (point.Y < column.Lowest.Y) {
        column.Lowest = point;
    }
    if (point.Y > column.Highest.Y) {
        column.Highest = point;
    }
    column.Last = point;
}

void AppendColumn(PathText& path, const Column& column) {
    const bool lowestFirst = column.Lowest.Order < column.Highest.Order;
    const PathPoint kept[] = {column.First, lowestFirst ? column.Lowest : column.Highest,
                              lowestFirst ? column.Highest : column.Lowest, column.Last};
    for (std::size_t i = 0; i < std::size(kept); ++i) {
        if (i > 0 && kept[i].Order == kept[i - 1].Order) {
            continue;
        }
        path.Text += path.Points == 0 ? 'M' : 'L';
        AppendCoordinate(path.Text, kept[i].X);
        path.Text += ',';
        AppendCoordinate(path.Text, kept[i].Y);
        ++path.Points;
    }
}

} // namespace

bool WriteCurvePath(TextWriter& writer, const PlotArea& area, const CalibrationCurve& curve,
                    std::string_view attributes) {
    PathText path;
    path.Text = "<path ";
    path.Text += attributes;
    path.Text += " d=\"";
    Column column;
    for (std::size_t i = 0; i < curve.Frequencies.size(); ++i) {
        if (!IsDrawable(curve.Frequencies[i], curve.Responses[i])) {
            continue;
        }
        const PathPoint point = {FrequencyX(area, curve.Frequencies[i]),
                                 LevelY(area, curve.Responses[i]), i};
        if (!column.Empty && std::floor(point.X / ColumnWidth) != column.Index) {
            AppendColumn(path, column);
            column.Empty = true;
        }
        AddToColumn(column, point);
        // Written in blocks, so a curve of a million points needs no more
        // memory than one of a hundred.
        if (path.Text.size() >= WriteBlockSize / 2) {
            if (!WriteText(writer, path.Text)) {
                return false;
            }
            path.Text.clear();
        }
    }
    if (!column.Empty) {
        AppendColumn(path, column);
    }
    // A lone point is a path of zero length, which round caps show as a dot.
    path.Text += path.Points == 1 ? "h0\"/>\n" : "\"/>\n";
    return WriteText(writer, path.Text);
}

bool WriteCurveMarkers(TextWriter& writer, const PlotArea& area, const CalibrationCurve& curve,
                       std::string_view attributes) {
    std::string text = "<g ";
    text += attributes;
    text += ">\n";
    bool anyDrawn = false;
    double lastX = 0.0;
    double lastY = 0.0;
    for (std::size_t i = 0; i < curve.Frequencies.size(); ++i) {
        if (!IsDrawable(curve.Frequencies[i], curve.Responses[i])) {
            continue;
        }
        const double x = FrequencyX(area, curve.Frequencies[i]);
        const double y = LevelY(area, curve.Responses[i]);
        if (anyDrawn && std::fabs(x - lastX) < MarkerSpacing &&
            std::fabs(y - lastY) < MarkerSpacing) {
            continue;
        }
        text += "<circle cx=\"";
        AppendCoordinate(text, x);
        text += "\" cy=\"";
        AppendCoordinate(text, y);
        text += "\" r=\"";
        AppendCoordinate(text, MarkerRadius);
        text += "\"/>\n";
        anyDrawn = true;
        lastX = x;
        lastY = y;
        if (text.size() >= WriteBlockSize / 2) {
            if (!WriteText(writer, text)) {
                return false;
            }
            text.clear();
        }
    }
    text += "</g>\n";
    return WriteText(writer, text);
}
