#include "PlotFrame.h"

#include "SvgElements.h"

#include <cmath>

namespace {

constexpr std::string_view MajorGridStroke = "stroke=\"#BBBBBB\"";
constexpr std::string_view MinorGridStroke = "stroke=\"#E2E2E2\"";

void AppendFrequencyAxis(std::string& out, const PlotArea& area) {
    const double bottom = area.Top + area.Height;
    out += "<g id=\"FrequencyAxis\" font-size=\"11\" text-anchor=\"middle\">\n";
    for (const GridLine& line : area.Frequency.Lines) {
        const double x = FrequencyX(area, line.Value);
        AppendLine(out, x, area.Top, x, bottom, line.Major ? MajorGridStroke : MinorGridStroke);
        if (!line.Label.empty()) {
            AppendText(out, x, bottom + 16.0, "", line.Label);
        }
    }
    AppendText(out, area.Left + area.Width / 2.0, bottom + 34.0, "font-size=\"12\"", "Frequency");
    out += "</g>\n";
}

void AppendLevelAxis(std::string& out, const PlotArea& area) {
    out += "<g id=\"LevelAxis\" font-size=\"11\" text-anchor=\"end\">\n";
    for (const GridLine& line : area.Level.Lines) {
        const double y = LevelY(area, line.Value);
        AppendLine(out, area.Left, y, area.Left + area.Width, y,
                   line.Major ? MajorGridStroke : MinorGridStroke);
        AppendText(out, area.Left - 6.0, y + 4.0, "", line.Label);
    }
    out += "<text transform=\"translate(20,";
    AppendCoordinate(out, area.Top + area.Height / 2.0);
    out += ") rotate(-90)\" font-size=\"12\" text-anchor=\"middle\">Response (dB)</text>\n</g>\n";
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

void AppendFrame(std::string& out, const PlotArea& area) {
    AppendFrequencyAxis(out, area);
    AppendLevelAxis(out, area);
    out += "<rect x=\"";
    AppendCoordinate(out, area.Left);
    out += "\" y=\"";
    AppendCoordinate(out, area.Top);
    out += "\" width=\"";
    AppendCoordinate(out, area.Width);
    out += "\" height=\"";
    AppendCoordinate(out, area.Height);
    out += "\" fill=\"none\" stroke=\"#888888\"/>\n";
}
