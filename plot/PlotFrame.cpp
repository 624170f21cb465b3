#include "PlotFrame.h"

#include "SvgElements.h"

#include <cmath>

namespace {

constexpr std::string_view MajorGridStroke = "stroke=\"#BBBBBB\"";
constexpr std::string_view MinorGridStroke = "stroke=\"#E2E2E2\"";

// One grid through both panels, labelled once, under the lower one.
void AppendFrequencyAxis(std::string& out, const PlotArea& upper, const PlotArea& lower) {
    const double bottom = lower.Top + lower.Height;
    out += "<g id=\"FrequencyAxis\" font-size=\"11\" text-anchor=\"middle\">\n";
    for (const GridLine& line : upper.Frequency.Lines) {
        const double x = FrequencyX(upper, line.Value);
        const std::string_view stroke = line.Major ? MajorGridStroke : MinorGridStroke;
        AppendLine(out, x, upper.Top, x, upper.Top + upper.Height, stroke);
        AppendLine(out, x, lower.Top, x, bottom, stroke);
        if (!line.Label.empty()) {
            AppendText(out, x, bottom + 16.0, "", line.Label);
        }
    }
    AppendText(out, upper.Left + upper.Width / 2.0, bottom + 34.0, "font-size=\"12\"", "Frequency");
    out += "</g>\n";
}

void AppendLevelAxis(std::string& out, const PlotArea& area, std::string_view id,
                     std::string_view title) {
    out += "<g id=\"";
    out += id;
    out += "\" font-size=\"11\" text-anchor=\"end\">\n";
    for (const GridLine& line : area.Level.Lines) {
        const double y = LevelY(area, line.Value);
        AppendLine(out, area.Left, y, area.Left + area.Width, y,
                   line.Major ? MajorGridStroke : MinorGridStroke);
        AppendText(out, area.Left - 6.0, y + 4.0, "", line.Label);
    }
    out += "<text transform=\"translate(20,";
    AppendCoordinate(out, area.Top + area.Height / 2.0);
    out += ") rotate(-90)\" font-size=\"12\" text-anchor=\"middle\">";
    out += title;
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

void AppendFrames(std::string& out, const PlotArea& responses, const PlotArea& correction) {
    AppendFrequencyAxis(out, responses, correction);
    AppendLevelAxis(out, responses, "LevelAxis", "Response (dB)");
    AppendLevelAxis(out, correction, "CorrectionAxis", "Correction (dB)");
    AppendBorder(out, responses, "ResponseFrame");
    AppendBorder(out, correction, "CorrectionFrame");
}
