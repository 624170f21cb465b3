#include "PlotDocument.h"

#include "PlotPieces.h"

#include "Catalogue.h"
#include "CurvePaths.h"
#include "PlotFrame.h"
#include "SvgElements.h"
#include "TextWidth.h"
#include "XmlText.h"

#include <cmath>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

void AppendBold(std::string& out, std::string_view text) {
    out += "<tspan font-weight=\"bold\">";
    AppendXmlText(out, text, std::string_view::npos);
    out += "</tspan>";
}

// Appends line to out, cut to roomEm where it is wider, the ellipsis included.
void AppendFitting(std::string& out, std::string_view line, double roomEm, bool bold) {
    const bool fits = TextEm(line, bold) <= roomEm;
    AppendXmlText(out, line,
                  fits ? std::string_view::npos
                       : CharactersWithin(line, roomEm - EllipsisEm, bold));
}

namespace {

// An entry is cut at the end of this many lines, however long the path it
// names.
constexpr std::size_t MostLegendLines = 4;

// A sentence that names a file's role, the name in bold wherever the
// language puts it, the rest cut to roomEm.
void AppendNamingSentence(std::string& out, std::string_view sentence, std::string_view name,
                          double roomEm) {
    const std::size_t at = sentence.find(name);
    if (at == std::string_view::npos) {
        AppendFitting(out, sentence, roomEm);
        return;
    }
    const std::string_view before = sentence.substr(0, at);
    AppendXmlText(out, before, std::string_view::npos);
    AppendBold(out, name);
    AppendFitting(out, sentence.substr(at + name.size()),
                  roomEm - TextEm(before) - TextEm(name, true));
}

} // namespace

void AppendHeaderLines(std::string& out, const PlotLayout& layout, double& y, std::string_view role,
                       const HeaderLines& headers) {
    const double roomEm = (layout.Width - layout.TextLeft - layout.TextRight) / layout.HeaderSize;
    const double firstRoomEm = roomEm - TextEm(role, true) - TextEm(" ");
    const double nextRoomEm = roomEm - layout.HeaderIndent / layout.HeaderSize;
    for (const std::string& line : headers.Kept) {
        std::string text;
        AppendBold(text, role);
        text += ' ';
        std::string_view rest = line;
        for (int row = 1;; ++row) {
            const double rowRoomEm = row == 1 ? firstRoomEm : nextRoomEm;
            std::string_view shown = rest;
            if (row < layout.HeaderRows) {
                const std::vector<std::string_view> rows =
                    WrapAtSpaces(rest, rowRoomEm, nextRoomEm);
                // A first word too wide for the row is cut there, not moved.
                if (rows.size() > 1 && !rows[0].empty()) {
                    shown = rows[0];
                    rest.remove_prefix(static_cast<std::size_t>(rows[1].data() - rest.data()));
                }
            }
            AppendFitting(text, shown, rowRoomEm);
            AppendText(out, row == 1 ? layout.TextLeft : layout.TextLeft + layout.HeaderIndent, y,
                       "", text);
            y += layout.HeaderLineHeight;
            if (shown.data() == rest.data()) {
                break;
            }
            text.clear();
        }
    }
    if (headers.Count > headers.Kept.size()) {
        std::string text;
        AppendNamingSentence(
            text,
            // TRANSLATORS: below the first header lines of the file {file}, how
            // many more it has; {file} is RefMicFrom, RefMicTo, MyMicIn or
            // MyMicOut and is drawn in bold.
            SayCount("{file} and {count} more header line", "{file} and {count} more header lines",
                     headers.Count - headers.Kept.size(), {{"file", std::string(role)}}),
            role, roomEm);
        AppendText(out, layout.TextLeft, y, "", text);
        y += layout.HeaderLineHeight;
    }
}

// An entry's text, its name in bold and then the rest, which may name a
// file, wrapped to the picture's width; returns the next entry's baseline.
double AppendLegendText(std::string& out, const PlotLayout& layout, double y, std::string_view bold,
                        std::string_view rest) {
    const double left = layout.TextLeft + layout.LegendTextIndent;
    const double roomEm = (layout.Width - left - layout.TextRight) / layout.LegendSize;
    const double firstRoomEm = roomEm - TextEm(bold, true) - TextEm(" ");
    std::vector<std::string_view> lines = WrapAtSpaces(rest, firstRoomEm, roomEm);
    if (lines.size() > MostLegendLines) {
        const std::string_view last = lines[MostLegendLines - 1];
        lines[MostLegendLines - 1] =
            rest.substr(static_cast<std::size_t>(last.data() - rest.data()));
        lines.resize(MostLegendLines);
    }
    std::string text;
    AppendBold(text, bold);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            AppendText(out, left, y, "", text);
            y += layout.LegendLineHeight;
            text.clear();
        } else if (!lines[i].empty()) {
            text += ' ';
        }
        AppendFitting(text, lines[i], i == 0 ? firstRoomEm : roomEm);
    }
    AppendText(out, left, y, "", text);
    return y + layout.LegendEntryHeight;
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
PlotArea ChooseArea(const PlotLayout& layout, double top, double height,
                    const DataRange& frequencies, const DataRange& levels,
                    PlotAxis (*chooseLevelAxis)(double, double)) {
    PlotArea area;
    area.Left = layout.PanelLeft;
    area.Top = top;
    area.Width = layout.Width - layout.PanelLeft - layout.PanelRight;
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

void AppendSwatch(std::string& out, const PlotLayout& layout, double y,
                  std::string_view attributes) {
    out += "<path fill=\"none\" ";
    out += attributes;
    out += " d=\"M";
    AppendCoordinate(out, layout.TextLeft);
    out += ",";
    AppendCoordinate(out, y - 4.0);
    out += "h";
    AppendSize(out, layout.SwatchLength);
    out += "\"/>\n";
}

void AppendTitle(std::string& out, const PlotLayout& layout, double y, std::string_view title) {
    std::string titleAttributes = "font-size=\"";
    AppendSize(titleAttributes, layout.TitleSize);
    titleAttributes += "\" font-weight=\"bold\"";
    std::string titleText;
    AppendFitting(titleText, title,
                  (layout.Width - layout.TextLeft - layout.TextRight) / layout.TitleSize, true);
    AppendText(out, layout.TextLeft, y, titleAttributes, titleText);
}

std::string PlotHead(const PlotLayout& layout, double height, std::string_view title) {
    std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"";
    AppendCoordinate(head, layout.Width);
    head += "\" height=\"";
    AppendCoordinate(head, height);
    head += "\" viewBox=\"0 0 ";
    AppendCoordinate(head, layout.Width);
    head += ' ';
    AppendCoordinate(head, height);
    head += "\" font-family=\"sans-serif\">\n<title>";
    AppendXmlText(head, title, std::string_view::npos);
    head += "</title>\n<rect width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>\n";
    return head;
}

namespace {

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

// The legend's words for a curve read from a file, named as given.
std::string FileEntry(const char* path, std::size_t drawable, std::size_t total) {
    if (drawable == total) {
        // TRANSLATORS: a legend entry after the file's role in bold: the
        // file's name as given and how many points the curve has.
        return SayCount("{file}: {count} point", "{file}: {count} points", drawable,
                        {{"file", path}});
    }
    // TRANSLATORS: as before; {notDrawn} more points have no place in the
    // picture (not a number, or infinite). It may be 1 or more: word it so
    // that it reads for any number.
    return SayCount("{file}: {count} point, {notDrawn} more not drawn",
                    "{file}: {count} points, {notDrawn} more not drawn", drawable,
                    {{"file", path}, {"notDrawn", std::to_string(total - drawable)}});
}

// The legend's words for the correction, after its formula in bold.
std::string CorrectionEntry(std::size_t drawable, std::size_t total) {
    if (drawable == total) {
        // TRANSLATORS: a legend entry after "RefMicTo − RefMicFrom" in bold:
        // where the correction is drawn and how many points it has.
        return SayCount("at the frequencies of MyMicIn, in the lower panel: {count} point",
                        "at the frequencies of MyMicIn, in the lower panel: {count} points",
                        drawable);
    }
    return SayCount(
        // TRANSLATORS: as before; {notDrawn} may be 1 or more: word it so
        // that it reads for any number.
        "at the frequencies of MyMicIn, in the lower panel: {count} point, {notDrawn} more not "
        "drawn",
        "at the frequencies of MyMicIn, in the lower panel: {count} points, {notDrawn} more not "
        "drawn",
        drawable, {{"notDrawn", std::to_string(total - drawable)}});
}

double AppendLegendEntry(std::string& out, const PlotLayout& layout, double y,
                         const DrawnCurve& drawn) {
    AppendSwatch(out, layout, y, drawn.Style->Attributes);

    const std::size_t drawable = DrawablePointCount(*drawn.Curve);
    const std::size_t total = drawn.Curve->Frequencies.size();
    if (drawn.Path != nullptr) {
        return AppendLegendText(out, layout, y, drawn.Style->Id,
                                FileEntry(drawn.Path, drawable, total));
    }
    return AppendLegendText(out, layout, y, "RefMicTo \xE2\x88\x92 RefMicFrom",
                            CorrectionEntry(drawable, total));
}

double AppendMarkerEntry(std::string& out, const PlotLayout& layout, double y,
                         const CalibrationCurve& extrapolated) {
    out += "<circle ";
    out += MarkerAttributes;
    out += " cx=\"";
    AppendCoordinate(out, layout.TextLeft + layout.SwatchLength / 2.0);
    out += "\" cy=\"";
    AppendCoordinate(out, y - 4.0);
    out += "\" r=\"";
    AppendCoordinate(out, MarkerRadius);
    out += "\"/>\n";
    // TRANSLATORS: a legend entry: the ringed points of the correction,
    // where a reference is extended beyond its frequencies. This word is
    // drawn in bold beside a ring, the sentence after it.
    const std::string name = Say("extrapolated");
    const std::string words =
        // TRANSLATORS: the legend's words after "extrapolated" in bold.
        SayCount("beyond the frequencies of RefMicFrom or RefMicTo: {count} point",
                 "beyond the frequencies of RefMicFrom or RefMicTo: {count} points",
                 DrawablePointCount(extrapolated));
    return AppendLegendText(out, layout, y, name, words);
}

// Returns the picture's bottom.
double AppendLegend(std::string& out, const PlotLayout& layout, double top,
                    const DrawnCurve* curves, std::size_t count,
                    const CalibrationCurve& extrapolated) {
    out += "<g id=\"Legend\" font-size=\"";
    AppendSize(out, layout.LegendSize);
    out += "\" stroke-width=\"1.5\" stroke-linecap=\"round\">\n";
    double y = top;
    for (std::size_t i = 0; i < count; ++i) {
        y = AppendLegendEntry(out, layout, y, curves[i]);
    }
    y = AppendMarkerEntry(out, layout, y, extrapolated);
    out += "</g>\n";
    return y;
}

} // namespace

bool WritePlotDocument(const char* path, const PlotInputs& inputs, const PlotLayout& layout) {
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

    // The picture's height follows from the header lines and the legend, so
    // the body is laid out before the opening tag that states it.
    std::string body;
    double y = layout.TitleBaseline;
    // TRANSLATORS: the picture's title: the four files of a conversion.
    const std::string title = Say("Calibration conversion");
    AppendTitle(body, layout, y, title);
    y += layout.TitleGap;
    body += "<g id=\"HeaderLines\" font-size=\"";
    AppendSize(body, layout.HeaderSize);
    body += "\" fill=\"#333333\">\n";
    AppendHeaderLines(body, layout, y, "RefMicFrom", inputs.RefMicFrom.Headers);
    AppendHeaderLines(body, layout, y, "RefMicTo", inputs.RefMicTo.Headers);
    AppendHeaderLines(body, layout, y, "MyMicIn", inputs.MyMicIn.Headers);
    AppendHeaderLines(body, layout, y, "MyMicOut", inputs.MyMicOut.Headers);
    body += "</g>\n";

    const DataRange all = RangeOf(curves, curveCount);
    PlotArea upper = ChooseArea(layout, y + layout.HeaderGap, layout.ResponsePanelHeight, all,
                                RangeOf(responses, std::size(responses)), ChooseLevelAxis);
    ThinFrequencyLabels(upper, layout.TickSize, layout.Width);
    const PlotArea lower =
        ChooseArea(layout, upper.Top + upper.Height + layout.PanelGap, layout.CorrectionPanelHeight,
                   all, RangeOf(correction, 1), ChooseCorrectionAxis);
    AppendFrames(body, layout, upper, lower);
    const double height = AppendLegend(body, layout, lower.Top + lower.Height + layout.LegendGap,
                                       curves, curveCount, inputs.Extrapolated);

    const std::string head = PlotHead(layout, height, title);

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
