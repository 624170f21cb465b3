#include "PlotDocument.h"

#include "CurvePaths.h"
#include "PlotFrame.h"
#include "SvgElements.h"
#include "XmlText.h"

#include <iterator>
#include <string>
#include <string_view>

namespace {

constexpr double PictureWidth = 960.0;
constexpr double MarginLeft = 76.0;
constexpr double MarginRight = 24.0;
constexpr double TitleBaseline = 32.0;
constexpr double TextLineHeight = 16.0;
constexpr double ResponsePanelHeight = 380.0;
constexpr double PanelGap = 14.0;
constexpr double CorrectionPanelHeight = 150.0;
constexpr double LegendLineHeight = 20.0;
// Beyond these lengths a name or a header line would run out of the picture.
constexpr std::size_t HeaderCharactersShown = 110;
constexpr std::size_t FileNameCharactersShown = 90;

struct CurveStyle {
    std::string_view Id;
    std::string_view Attributes;
};

// Colours that stay apart for the colour-blind, and a dash pattern of each
// curve's own for a grey print and for whoever still sees two colours alike:
// the references in long dashes and in dash-dot, MyMicIn dotted, and the
// result solid, boldest and on top. The correction has a panel of its own,
// where the points that rest on an extended reference are ringed in black,
// which shows on any print.
constexpr CurveStyle RefMicFromStyle = {"RefMicFrom",
                                        "stroke=\"#0072B2\" stroke-dasharray=\"12 5\""};
constexpr CurveStyle RefMicToStyle = {"RefMicTo",
                                      "stroke=\"#E69F00\" stroke-dasharray=\"7 5 1 5\""};
constexpr CurveStyle CorrectionStyle = {"Correction", "stroke=\"#009E73\""};
constexpr std::string_view MarkerAttributes =
    "fill=\"none\" stroke=\"#000000\" stroke-width=\"1.5\"";
constexpr CurveStyle MyMicInStyle = {"MyMicIn", "stroke=\"#555555\" stroke-dasharray=\"1 4\""};
constexpr CurveStyle MyMicOutStyle = {"MyMicOut", "stroke=\"#D55E00\" stroke-width=\"2.5\""};

struct DrawnCurve {
    const CurveStyle* Style;
    const CalibrationCurve* Curve;
    const char* Path; // null for the correction, which no file holds
};

void AppendCount(std::string& out, std::size_t count) {
    out += std::to_string(count);
}

void AppendHeaderLines(std::string& out, double& y, std::string_view role,
                       const HeaderLines& headers) {
    for (const std::string& line : headers.Kept) {
        std::string text = "<tspan font-weight=\"bold\">";
        text += role;
        text += "</tspan> ";
        AppendXmlText(text, line, HeaderCharactersShown);
        AppendText(out, MarginLeft, y, "", text);
        y += TextLineHeight;
    }
    if (headers.Count > headers.Kept.size()) {
        std::string text = "<tspan font-weight=\"bold\">";
        text += role;
        text += "</tspan> and ";
        AppendCount(text, headers.Count - headers.Kept.size());
        text += " more header lines";
        AppendText(out, MarginLeft, y, "", text);
        y += TextLineHeight;
    }
}

void AppendLegendEntry(std::string& out, double y, const DrawnCurve& drawn) {
    out += "<path fill=\"none\" ";
    out += drawn.Style->Attributes;
    out += " d=\"M";
    AppendCoordinate(out, MarginLeft);
    out += ",";
    AppendCoordinate(out, y - 4.0);
    out += "h36\"/>\n";

    std::string text = "<tspan font-weight=\"bold\">";
    if (drawn.Path != nullptr) {
        text += drawn.Style->Id;
        text += "</tspan> ";
        AppendXmlText(text, drawn.Path, FileNameCharactersShown);
    } else {
        text += "RefMicTo \xE2\x88\x92 RefMicFrom</tspan> at the frequencies of MyMicIn, "
                "in the lower panel";
    }
    const std::size_t total = drawn.Curve->Frequencies.size();
    const std::size_t drawable = DrawablePointCount(*drawn.Curve);
    text += ": ";
    AppendCount(text, drawable);
    text += drawable == 1 ? " point" : " points";
    if (drawable < total) {
        text += ", ";
        AppendCount(text, total - drawable);
        text += " more not drawn";
    }
    AppendText(out, MarginLeft + 44.0, y, "", text);
}

void AppendMarkerEntry(std::string& out, double y, const CalibrationCurve& extrapolated) {
    out += "<circle ";
    out += MarkerAttributes;
    out += " cx=\"";
    AppendCoordinate(out, MarginLeft + 18.0);
    out += "\" cy=\"";
    AppendCoordinate(out, y - 4.0);
    out += "\" r=\"";
    AppendCoordinate(out, MarkerRadius);
    out += "\"/>\n";
    const std::size_t drawable = DrawablePointCount(extrapolated);
    std::string text = "<tspan font-weight=\"bold\">extrapolated</tspan> beyond the "
                       "frequencies of RefMicFrom or RefMicTo: ";
    AppendCount(text, drawable);
    text += drawable == 1 ? " point" : " points";
    AppendText(out, MarginLeft + 44.0, y, "", text);
}

void AppendLegend(std::string& out, double top, const DrawnCurve* curves, std::size_t count,
                  const CalibrationCurve& extrapolated) {
    out += "<g id=\"Legend\" font-size=\"12\" stroke-width=\"1.5\" "
           "stroke-linecap=\"round\">\n";
    for (std::size_t i = 0; i < count; ++i) {
        AppendLegendEntry(out, top + LegendLineHeight * static_cast<double>(i), curves[i]);
    }
    AppendMarkerEntry(out, top + LegendLineHeight * static_cast<double>(count), extrapolated);
    out += "</g>\n";
}

DataRange RangeOf(const DrawnCurve* curves, std::size_t count) {
    DataRange range;
    for (std::size_t i = 0; i < count; ++i) {
        AddToRange(range, *curves[i].Curve);
    }
    return range;
}

// Both panels run over the frequencies of all five curves; each has its own
// level axis, the upper one for the responses, the lower for the correction.
PlotArea ChooseArea(double top, double height, const DataRange& frequencies,
                    const DataRange& levels, PlotAxis (*chooseLevelAxis)(double, double)) {
    PlotArea area;
    area.Left = MarginLeft;
    area.Top = top;
    area.Width = PictureWidth - MarginLeft - MarginRight;
    area.Height = height;
    if (frequencies.Empty) {
        // Nothing to draw: an empty audio-range frame still shows the axes.
        area.Frequency = ChooseFrequencyAxis(20.0, 20000.0);
    } else {
        area.Frequency =
            ChooseFrequencyAxis(frequencies.LowestFrequency, frequencies.HighestFrequency);
    }
    area.Level = levels.Empty ? chooseLevelAxis(0.0, 0.0)
                              : chooseLevelAxis(levels.LowestLevel, levels.HighestLevel);
    return area;
}

// The curves come last, so that they are drawn over the grid.
bool WriteCurves(TextWriter& writer, std::string_view groupId, const PlotArea& area,
                 const DrawnCurve* curves, std::size_t count) {
    std::string group = "<g id=\"";
    group += groupId;
    group += "\" fill=\"none\" stroke-width=\"1.5\" stroke-linejoin=\"round\" "
             "stroke-linecap=\"round\">\n";
    if (!WriteText(writer, group)) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        std::string attributes = "id=\"";
        attributes += curves[i].Style->Id;
        attributes += "\" ";
        attributes += curves[i].Style->Attributes;
        if (!WriteCurvePath(writer, area, *curves[i].Curve, attributes)) {
            return false;
        }
    }
    return WriteText(writer, "</g>\n");
}

} // namespace

bool WritePlotDocument(const char* path, const PlotInputs& inputs) {
    // In the legend's order; the correction alone goes to the lower panel.
    const DrawnCurve curves[] = {
        {&RefMicFromStyle, &inputs.RefMicFrom.Curve, inputs.RefMicFrom.Path},
        {&RefMicToStyle, &inputs.RefMicTo.Curve, inputs.RefMicTo.Path},
        {&CorrectionStyle, &inputs.Correction, nullptr},
        {&MyMicInStyle, &inputs.MyMicIn.Curve, inputs.MyMicIn.Path},
        {&MyMicOutStyle, &inputs.MyMicOut.Curve, inputs.MyMicOut.Path},
    };
    constexpr std::size_t curveCount = std::size(curves);
    const DrawnCurve responses[] = {curves[0], curves[1], curves[3], curves[4]};
    const DrawnCurve* const correction = &curves[2];

    // The picture's height follows from the header lines, so the body is
    // laid out before the opening tag that states it.
    std::string body;
    double y = TitleBaseline;
    AppendText(body, MarginLeft, y, "font-size=\"18\" font-weight=\"bold\"",
               "Calibration conversion");
    y += TextLineHeight + 8.0;
    body += "<g id=\"HeaderLines\" font-size=\"12\" fill=\"#333333\">\n";
    AppendHeaderLines(body, y, "RefMicFrom", inputs.RefMicFrom.Headers);
    AppendHeaderLines(body, y, "RefMicTo", inputs.RefMicTo.Headers);
    AppendHeaderLines(body, y, "MyMicIn", inputs.MyMicIn.Headers);
    AppendHeaderLines(body, y, "MyMicOut", inputs.MyMicOut.Headers);
    body += "</g>\n";

    const DataRange all = RangeOf(curves, curveCount);
    const PlotArea upper = ChooseArea(y + 8.0, ResponsePanelHeight, all,
                                      RangeOf(responses, std::size(responses)), ChooseLevelAxis);
    const PlotArea lower = ChooseArea(upper.Top + upper.Height + PanelGap, CorrectionPanelHeight,
                                      all, RangeOf(correction, 1), ChooseCorrectionAxis);
    AppendFrames(body, upper, lower);
    const double legendTop = lower.Top + lower.Height + 64.0;
    AppendLegend(body, legendTop, curves, curveCount, inputs.Extrapolated);
    const double height = legendTop + LegendLineHeight * static_cast<double>(curveCount + 1);

    std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"";
    AppendCoordinate(head, PictureWidth);
    head += "\" height=\"";
    AppendCoordinate(head, height);
    head += "\" viewBox=\"0 0 ";
    AppendCoordinate(head, PictureWidth);
    head += ' ';
    AppendCoordinate(head, height);
    head += "\" font-family=\"sans-serif\">\n<title>Calibration conversion</title>\n"
            "<rect width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>\n";

    TextWriter writer;
    if (!OpenTextWriter(path, writer)) {
        return false;
    }
    std::string markers = "id=\"Extrapolated\" ";
    markers += MarkerAttributes;
    const bool written = WriteText(writer, head) && WriteText(writer, body) &&
                         WriteCurves(writer, "Curves", upper, responses, std::size(responses)) &&
                         WriteCurves(writer, "CorrectionCurve", lower, correction, 1) &&
                         WriteCurveMarkers(writer, lower, inputs.Extrapolated, markers) &&
                         WriteText(writer, "</svg>\n");
    if (!written) {
        DiscardTextWriter(writer);
        return false;
    }
    return CloseTextWriter(writer);
}
