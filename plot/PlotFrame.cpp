#include "PlotFrame.h"

#include "Catalogue.h"
#include "SvgElements.h"
#include "TextWidth.h"
#include "XmlText.h"

#include <cmath>
#include <vector>

namespace {

constexpr std::string_view MajorGridStroke = "stroke=\"#BBBBBB\"";
constexpr std::string_view MinorGridStroke = "stroke=\"#E2E2E2\"";

// A title as XML text, cut with an ellipsis where it is wider than its
// axis: a translation may be longer than the axis it names.
std::string AxisTitle(std::string_view title, double roomEm) {
    std::string text;
    const bool fits = TextEm(title) <= roomEm;
    AppendXmlText(text, title,
                  fits ? std::string_view::npos : CharactersWithin(title, roomEm - EllipsisEm));
    return text;
}

// One grid through both panels, labelled once, under the lower one.
void AppendFrequencyAxis(std::string& out, const PlotLayout& layout, const PlotArea& upper,
                         const PlotArea& lower) {
    const double bottom = lower.Top + lower.Height;
    out += "<g id=\"FrequencyAxis\" font-size=\"";
    AppendSize(out, layout.TickSize);
    out += "\" text-anchor=\"middle\">\n";
    for (const GridLine& line : upper.Frequency.Lines) {
        const double x = FrequencyX(upper, line.Value);
        const std::string_view stroke = line.Major ? MajorGridStroke : MinorGridStroke;
        AppendLine(out, x, upper.Top, x, upper.Top + upper.Height, stroke);
        AppendLine(out, x, lower.Top, x, bottom, stroke);
        if (!line.Label.empty()) {
            AppendText(out, x, bottom + layout.FrequencyLabelDrop, "", line.Label);
        }
    }
    std::string size = "font-size=\"";
    AppendSize(size, layout.AxisTitleSize);
    size += '"';
    AppendText(out, upper.Left + upper.Width / 2.0, bottom + layout.FrequencyTitleDrop, size,
               // TRANSLATORS: the title of the frequency axis, under the lower panel.
               AxisTitle(Say("Frequency"), upper.Width / layout.AxisTitleSize));
    out += "</g>\n";
}

void AppendLevelAxis(std::string& out, const PlotLayout& layout, const PlotArea& area,
                     std::string_view id, std::string_view title) {
    out += "<g id=\"";
    out += id;
    out += "\" font-size=\"";
    AppendSize(out, layout.TickSize);
    out += "\" text-anchor=\"end\">\n";
    for (const GridLine& line : area.Level.Lines) {
        const double y = LevelY(area, line.Value);
        AppendLine(out, area.Left, y, area.Left + area.Width, y,
                   line.Major ? MajorGridStroke : MinorGridStroke);
        AppendText(out, area.Left - layout.LevelLabelGap, y + 4.0, "", line.Label);
    }
    out += "<text transform=\"translate(";
    AppendSize(out, layout.LevelTitleX);
    out += ',';
    AppendCoordinate(out, area.Top + area.Height / 2.0);
    out += ") rotate(-90)\" font-size=\"";
    AppendSize(out, layout.AxisTitleSize);
    out += "\" text-anchor=\"middle\">";
    out += AxisTitle(title, area.Height / layout.AxisTitleSize);
    out += "</text>\n</g>\n";
}

void AppendBorder(std::string& out, const PlotArea& area, std::string_view id) {
    out += "<rect id=\"";
    out += id;
    out += "\" x=\"";
    AppendCoordinate(out, area.Left);
    out += "\" y=\"";
    AppendCoordinate(out, area.Top);
    out += "\" width=\"";
    AppendCoordinate(out, area.Width);
    out += "\" height=\"";
    AppendCoordinate(out, area.Height);
    out += "\" fill=\"none\" stroke=\"#888888\"/>\n";
}

} // namespace

double FrequencyX(const PlotArea& area, double frequency) {
    const double low = std::log10(area.Frequency.Low);
    const double high = std::log10(area.Frequency.High);
    return area.Left + (std::log10(frequency) - low) / (high - low) * area.Width;
}

double LevelY(const PlotArea& area, double level) {
    return area.Top + (area.Level.High - level) / (area.Level.High - area.Level.Low) * area.Height;
}

void ThinFrequencyLabels(PlotArea& area, double fontSize, double pictureWidth) {
    // A label reaches half its width to each side of its line, and keeps a
    // quarter of an em clear of the next.
    const double gap = fontSize / 4.0;
    struct Placed {
        double Left;
        double Right;
    };
    std::vector<Placed> kept;
    std::vector<std::string> labels;
    for (GridLine& line : area.Frequency.Lines) {
        labels.push_back(std::move(line.Label));
        line.Label.clear();
    }
    for (const int rank : {0, 1, 2}) {
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const double value = area.Frequency.Lines[i].Value;
            const double multiple =
                std::round(value / std::pow(10.0, std::floor(std::log10(value))));
            const int lineRank = multiple == 1.0 || multiple == 10.0  ? 0
                                 : multiple == 2.0 || multiple == 5.0 ? 1
                                                                      : 2;
            if (lineRank != rank || labels[i].empty()) {
                continue;
            }
            const double x = FrequencyX(area, value);
            const double half = TextEm(labels[i]) * fontSize / 2.0;
            const Placed place = {x - half, x + half};
            bool fits = place.Left >= 0.0 && place.Right <= pictureWidth;
            for (const Placed& other : kept) {
                fits = fits && (place.Right + gap <= other.Left || other.Right + gap <= place.Left);
            }
            if (fits) {
                kept.push_back(place);
                area.Frequency.Lines[i].Label = std::move(labels[i]);
            }
        }
    }
}

void AppendFrames(std::string& out, const PlotLayout& layout, const PlotArea& upper,
                  const PlotArea& lower, std::string_view upperTitle, std::string_view lowerTitle) {
    AppendFrequencyAxis(out, layout, upper, lower);
    AppendLevelAxis(out, layout, upper, "LevelAxis", upperTitle);
    AppendLevelAxis(out, layout, lower, "CorrectionAxis", lowerTitle);
    AppendBorder(out, upper, "ResponseFrame");
    AppendBorder(out, lower, "CorrectionFrame");
}

void AppendFrames(std::string& out, const PlotLayout& layout, const PlotArea& responses,
                  const PlotArea& correction) {
    // TRANSLATORS: the titles of the level axes, written upright beside the
    // upper panel (the four files' responses) and the lower one (the
    // correction, RefMicTo - RefMicFrom). The lower panel is short: keep its
    // title as short as this.
    const std::string upperTitle = Say("Response (dB)");
    // TRANSLATORS: the lower panel is short: keep this title as short.
    AppendFrames(out, layout, responses, correction, upperTitle, Say("Correction (dB)"));
}
