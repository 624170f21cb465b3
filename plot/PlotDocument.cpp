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
constexpr double PlotHeight = 440.0;
constexpr double LegendLineHeight = 20.0;
// Beyond these lengths a name or a header line would run out of the picture.
constexpr std::size_t HeaderCharactersShown = 110;
constexpr std::size_t FileNameCharactersShown = 90;

struct CurveStyle {
    std::string_view Id;
    std::string_view Attributes;
};

// Colours that stay apart for the colour-blind; the references dashed, the
// correction dotted, the user's curves solid with the result on top.
constexpr CurveStyle RefMicFromStyle = {"RefMicFrom",
                                        "stroke=\"#0072B2\" stroke-dasharray=\"7 4\""};
constexpr CurveStyle RefMicToStyle = {"RefMicTo", "stroke=\"#E69F00\" stroke-dasharray=\"7 4\""};
constexpr CurveStyle CorrectionStyle = {"Correction",
                                        "stroke=\"#009E73\" stroke-dasharray=\"2 3\""};
constexpr CurveStyle MyMicInStyle = {"MyMicIn", "stroke=\"#555555\""};
constexpr CurveStyle MyMicOutStyle = {"MyMicOut", "stroke=\"#D55E00\" stroke-width=\"2\""};

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
        text += "RefMicTo \xE2\x88\x92 RefMicFrom</tspan> at the frequencies of MyMicIn";
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

void AppendLegend(std::string& out, double top, const DrawnCurve* curves, std::size_t count) {
    out += "<g id=\"Legend\" font-size=\"12\" stroke-width=\"1.5\" "
           "stroke-linecap=\"round\">\n";
    for (std::size_t i = 0; i < count; ++i) {
        AppendLegendEntry(out, top + LegendLineHeight * static_cast<double>(i), curves[i]);
    }
    out += "</g>\n";
}

PlotArea ChooseArea(double top, const DrawnCurve* curves, std::size_t count) {
    DataRange range;
    for (std::size_t i = 0; i < count; ++i) {
        AddToRange(range, *curves[i].Curve);
    }
    if (range.Empty) {
        // Nothing to draw: an empty audio-range frame still shows the axes.
        range = {false, 20.0, 20000.0, 0.0, 0.0};
    }
    PlotArea area;
    area.Left = MarginLeft;
    area.Top = top;
    area.Width = PictureWidth - MarginLeft - MarginRight;
    area.Height = PlotHeight;
    area.Frequency = ChooseFrequencyAxis(range.LowestFrequency, range.HighestFrequency);
    area.Level = ChooseLevelAxis(range.LowestLevel, range.HighestLevel);
    return area;
}

// The curves come last, so that they are drawn over the grid.
bool WriteCurves(TextWriter& writer, const PlotArea& area, const DrawnCurve* curves,
                 std::size_t count) {
    if (!WriteText(writer, "<g id=\"Curves\" fill=\"none\" stroke-width=\"1.5\" "
                           "stroke-linejoin=\"round\" stroke-linecap=\"round\">\n")) {
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
    const DrawnCurve curves[] = {
        {&RefMicFromStyle, &inputs.RefMicFrom.Curve, inputs.RefMicFrom.Path},
        {&RefMicToStyle, &inputs.RefMicTo.Curve, inputs.RefMicTo.Path},
        {&CorrectionStyle, &inputs.Correction, nullptr},
        {&MyMicInStyle, &inputs.MyMicIn.Curve, inputs.MyMicIn.Path},
        {&MyMicOutStyle, &inputs.MyMicOut.Curve, inputs.MyMicOut.Path},
    };
    constexpr std::size_t curveCount = std::size(curves);

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

    const PlotArea area = ChooseArea(y + 8.0, curves, curveCount);
    AppendFrame(body, area);
    const double legendTop = area.Top + area.Height + 64.0;
    AppendLegend(body, legendTop, curves, curveCount);
    const double height = legendTop + LegendLineHeight * static_cast<double>(curveCount);

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
    const bool written = WriteText(writer, head) && WriteText(writer, body) &&
                         WriteCurves(writer, area, curves, curveCount) &&
                         WriteText(writer, "</svg>\n");
    if (!written) {
        DiscardTextWriter(writer);
        return false;
    }
    return CloseTextWriter(writer);
}
