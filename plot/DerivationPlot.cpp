#include "DerivationPlot.h"

#include "Catalogue.h"
#include "PlotPieces.h"
#include "SvgElements.h"

#include <iterator>
#include <string>

namespace {

// The difference is what the derivation is about, so its panel is taller
// than the correction's in the conversion's picture.
constexpr double DifferencePanelScale = 1.6;
// The one header line says what the file was derived from, the level's
// shift at its end: a row more than a conversion's header lines get.
constexpr int HeaderRowsMore = 1;

// As in the conversion's picture: colours that stay apart for the
// colour-blind, and a look of each curve's own in grey. The reference in
// long dashes, the result solid, boldest and on top; below, the raw
// difference thin and light, its smoothing bold over it.
constexpr CurveStyle RefMicCalStyle = {"RefMicCal", "stroke=\"#0072B2\" stroke-dasharray=\"12 5\""};
constexpr CurveStyle MyMicCalStyle = {"MyMicCal", "stroke=\"#D55E00\" stroke-width=\"2.5\""};
constexpr CurveStyle RawStyle = {"RawDifference", "stroke=\"#777777\" stroke-width=\"1\""};
constexpr CurveStyle SmoothedStyle = {"SmoothedDifference",
                                      "stroke=\"#009E73\" stroke-width=\"2.5\""};

CalibrationCurve CurveOf(const std::vector<float>& frequencies, const std::vector<float>& values) {
    CalibrationCurve curve;
    curve.Frequencies = frequencies;
    curve.Responses = values;
    curve.FrequenciesNeverDecrease = true;
    return curve;
}

double AppendEntry(std::string& out, const PlotLayout& layout, double y, const CurveStyle& style,
                   std::string_view bold, std::string_view rest) {
    AppendSwatch(out, layout, y, style.Attributes);
    return AppendLegendText(out, layout, y, bold, rest);
}

// Returns the picture's bottom.
double AppendDerivationLegend(std::string& out, const PlotLayout& layout, double y,
                              const Derivation& derivation, const DerivationPlotNames& names) {
    out += "<g id=\"Legend\" font-size=\"";
    AppendSize(out, layout.LegendSize);
    out += "\" stroke-width=\"1.5\" stroke-linecap=\"round\">\n";
    const std::size_t count = derivation.Frequencies.size();
    // TRANSLATORS: a legend entry after "MyMicCal" in bold: the calibration
    // file made, its name as given and how many points it has.
    y = AppendEntry(out, layout, y, MyMicCalStyle, "MyMicCal",
                    SayCount("{file}: the calibration made, {count} point",
                             "{file}: the calibration made, {count} points", count,
                             {{"file", names.MyMicCal}}));
    // TRANSLATORS: a legend entry after "RefMicCal" in bold: the file's name
    // as given.
    y = AppendEntry(
        out, layout, y, RefMicCalStyle, "RefMicCal",
        Say("{file}: the calibrated microphone's calibration", {{"file", names.RefMicCal}}));
    // TRANSLATORS: a legend entry after "MyMicMeasured − RefMicMeasured" in
    // bold: {mine} and {reference} are the two measurements' names as given.
    y = AppendEntry(out, layout, y, RawStyle, "MyMicMeasured \xE2\x88\x92 RefMicMeasured",
                    Say("{mine} minus {reference}, in the lower panel",
                        {{"mine", names.MyMicMeasured}, {"reference", names.RefMicMeasured}}));
    if (derivation.Smoothing > 0) {
        // TRANSLATORS: a legend entry: the difference smoothed. This word is
        // drawn in bold beside its line, the sentence after it.
        const std::string name = Say("smoothed");
        // TRANSLATORS: the legend's words after "smoothed" in bold; {n} is N
        // of 1/N octave.
        y = AppendEntry(out, layout, y, SmoothedStyle, name,
                        Say("the difference over 1/{n} octave, which is added to RefMicCal",
                            {{"n", std::to_string(derivation.Smoothing)}}));
    }
    out += "</g>\n";
    return y;
}

} // namespace

bool WriteDerivationPlot(const char* path, const Derivation& derivation,
                         const DerivationPlotNames& names, const PlotLayout& given) {
    PlotLayout layout = given;
    layout.HeaderRows += HeaderRowsMore;
    if (layout.HeaderIndent == 0.0) {
        layout.HeaderIndent = layout.HeaderSize;
    }
    const CalibrationCurve reference = CurveOf(derivation.Frequencies, derivation.Reference);
    const CalibrationCurve result = CurveOf(derivation.Frequencies, derivation.Result);
    const CalibrationCurve raw = CurveOf(derivation.Frequencies, derivation.RawDifference);
    const CalibrationCurve smoothed =
        CurveOf(derivation.Frequencies, derivation.SmoothedDifference);
    // The result last, drawn on top.
    const DrawnCurve upperCurves[] = {{&RefMicCalStyle, &reference, names.RefMicCal},
                                      {&MyMicCalStyle, &result, names.MyMicCal}};
    const DrawnCurve lowerCurves[] = {{&RawStyle, &raw, nullptr},
                                      {&SmoothedStyle, &smoothed, nullptr}};
    const std::size_t lowerCount = derivation.Smoothing > 0 ? 2 : 1;

    std::string body;
    double y = layout.TitleBaseline;
    // TRANSLATORS: the title of the picture of a calibration made by
    // comparison of two measurements.
    const std::string title = Say("Calibration by comparison");
    AppendTitle(body, layout, y, title);
    y += layout.TitleGap;
    body += "<g id=\"HeaderLines\" font-size=\"";
    AppendSize(body, layout.HeaderSize);
    body += "\" fill=\"#333333\">\n";
    HeaderLines header;
    header.Kept.push_back(derivation.HeaderLine);
    header.Count = 1;
    AppendHeaderLines(body, layout, y, "MyMicCal", header);
    body += "</g>\n";

    DataRange all = RangeOf(upperCurves, std::size(upperCurves));
    AddToRange(all, raw);
    PlotArea upper = ChooseArea(layout, y + layout.HeaderGap, layout.ResponsePanelHeight, all,
                                RangeOf(upperCurves, std::size(upperCurves)), ChooseLevelAxis);
    ThinFrequencyLabels(upper, layout.TickSize, layout.Width);
    const PlotArea lower = ChooseArea(layout, upper.Top + upper.Height + layout.PanelGap,
                                      layout.CorrectionPanelHeight * DifferencePanelScale, all,
                                      RangeOf(lowerCurves, lowerCount), ChooseCorrectionAxis);
    // TRANSLATORS: the titles of the level axes beside the upper panel (the
    // calibrations) and the lower one (the measurements' difference).
    const std::string upperTitle = Say("Response (dB)");
    // TRANSLATORS: the lower panel's title: keep it as short as this.
    AppendFrames(body, layout, upper, lower, upperTitle, Say("Difference (dB)"));
    const double height = AppendDerivationLegend(
        body, layout, lower.Top + lower.Height + layout.LegendGap, derivation, names);

    TextWriter writer;
    if (!OpenTextWriter(path, writer)) {
        return false;
    }
    const bool written =
        WriteText(writer, PlotHead(layout, height, title)) && WriteText(writer, body) &&
        WriteCurves(writer, "Curves", upper, upperCurves, std::size(upperCurves)) &&
        WriteCurves(writer, "DifferenceCurves", lower, lowerCurves, lowerCount) &&
        WriteText(writer, "</svg>\n");
    if (!written) {
        DiscardTextWriter(writer);
        return false;
    }
    return CloseTextWriter(writer);
}
