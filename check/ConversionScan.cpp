#include "ConversionScan.h"

#include "EvaluateReferences.h"
#include "FindingText.h"

#include <cmath>
#include <cstdio>

namespace {

double OctavesOutside(const FrequencySpan& span, float frequency) {
    if (!(frequency > 0.0f) || !(span.Lowest > 0.0f)) {
        return 0.0;
    }
    if (frequency < span.Lowest) {
        return std::log2(static_cast<double>(span.Lowest) / frequency);
    }
    if (frequency > span.Highest) {
        return std::log2(static_cast<double>(frequency) / span.Highest);
    }
    return 0.0;
}

// The segment an evaluation used holds the frequency, or no segment does:
// then the curve is extended, which the extrapolated points tell.
bool UsedRightSegment(const CalibrationCurve& curve, const FrequencySpan& span,
                      std::uint32_t segment, float frequency) {
    const float a = curve.Frequencies[segment];
    const float b = curve.Frequencies[segment + 1];
    return (frequency >= std::fmin(a, b) && frequency <= std::fmax(a, b)) ||
           IsBeyond(span, frequency);
}

bool SamePoint(const CalibrationCurve& curve, std::uint64_t index, float frequency,
               float response) {
    return index < curve.Frequencies.size() && curve.Frequencies[index] == frequency &&
           curve.Responses[index] == response;
}

void SeeCorrection(ConversionScan& scan, float frequency, float correction) {
    ConversionReport& report = scan.Report;
    if (std::isnan(correction)) {
        return;
    }
    if (!report.HasCorrection || correction < report.CorrectionMin) {
        report.CorrectionMin = correction;
        report.CorrectionMinFrequency = frequency;
    }
    if (!report.HasCorrection || correction > report.CorrectionMax) {
        report.CorrectionMax = correction;
        report.CorrectionMaxFrequency = frequency;
    }
    report.HasCorrection = true;
}

void SeePoint(void* context, std::uint64_t line, const JudgedLine& judged) {
    auto& scan = *static_cast<ConversionScan*>(context);
    const float frequency = judged.Values[0];
    const ReferenceValues references = EvaluateReferences(*scan.From, *scan.To, frequency);
    const auto correction =
        static_cast<float>(static_cast<double>(references.To) - references.From);
    const auto converted = static_cast<float>(
        (static_cast<double>(references.To) + judged.Values[1]) - references.From);
    ++scan.Report.Points;
    SeeCorrection(scan, frequency, correction);

    if (IsBeyond(scan.FromSpan, frequency) || IsBeyond(scan.ToSpan, frequency)) {
        if (scan.Report.Extrapolated++ == 0) {
            scan.FirstExtrapolatedLine = line;
        }
        scan.OctavesBeyond =
            std::fmax(scan.OctavesBeyond, std::fmax(OctavesOutside(scan.FromSpan, frequency),
                                                    OctavesOutside(scan.ToSpan, frequency)));
    }
    const bool wrongFrom =
        !UsedRightSegment(*scan.From, scan.FromSpan, references.FromSegment, frequency);
    const bool wrongTo = !UsedRightSegment(*scan.To, scan.ToSpan, references.ToSegment, frequency);
    if (wrongFrom || wrongTo) {
        if (scan.WrongSegments++ == 0) {
            scan.FirstWrongSegmentLine = line;
            scan.FirstWrongSegmentFrequency = frequency;
        }
        scan.WrongInFrom = scan.WrongInFrom || wrongFrom;
        scan.WrongInTo = scan.WrongInTo || wrongTo;
    }
    if (std::isfinite(judged.Values[1]) &&
        (!std::isfinite(correction) || !std::isfinite(converted))) {
        if (scan.NotFinite++ == 0) {
            scan.FirstNotFiniteLine = line;
        }
    }
    scan.SameAsFrom =
        scan.SameAsFrom && SamePoint(*scan.From, scan.PointsSeen, frequency, judged.Values[1]);
    scan.SameAsTo =
        scan.SameAsTo && SamePoint(*scan.To, scan.PointsSeen, frequency, judged.Values[1]);
    ++scan.PointsSeen;
}

void Add(std::vector<Finding>& findings, Severity level, std::string code, FileRole role,
         std::uint64_t line, std::string message) {
    findings.push_back({level, std::move(code), role, line, std::move(message)});
}

std::string SpanText(const FrequencySpan& span) {
    return Number(span.Lowest) + " Hz to " + Number(span.Highest) + " Hz";
}

void AddExtrapolated(const ConversionScan& scan, std::vector<Finding>& findings) {
    if (scan.Report.Extrapolated == 0) {
        return;
    }
    char octaves[32];
    std::snprintf(octaves, sizeof octaves, "%.1f", scan.OctavesBeyond);
    Add(findings, Severity::Note, "extrapolated", FileRole::MyMicIn, scan.FirstExtrapolatedLine,
        std::to_string(scan.Report.Extrapolated) + " of MyMicIn's " +
            std::to_string(scan.Report.Points) +
            " points lie below or above the frequencies of RefMicFrom (" + SpanText(scan.FromSpan) +
            ") or RefMicTo (" + SpanText(scan.ToSpan) + "), up to " + octaves +
            " octaves beyond; there the correction extends the reference's first or last "
            "segment as a straight line, which is a guess.");
}

void AddWrongSegments(const ConversionScan& scan, std::vector<Finding>& findings) {
    if (scan.WrongSegments == 0) {
        return;
    }
    const std::string which = scan.WrongInFrom && scan.WrongInTo ? "RefMicFrom and RefMicTo"
                              : scan.WrongInFrom                 ? "RefMicFrom"
                                                                 : "RefMicTo";
    Add(findings, Severity::Warning, "wrong-segment", FileRole::MyMicIn, scan.FirstWrongSegmentLine,
        Count(scan.WrongSegments, "point", "points") +
            " of MyMicIn get their correction from a segment of " + which +
            " that does not hold their frequency (the first at line " +
            std::to_string(scan.FirstWrongSegmentLine) + ", " +
            Number(scan.FirstWrongSegmentFrequency) +
            " Hz), because the reference's frequencies do not rise. Sort " + which +
            " from low to high frequency and convert again.");
}

void AddSameFiles(const ConversionScan& scan, const FileScan& in, std::vector<Finding>& findings) {
    const CalibrationCurve& from = *scan.From;
    const CalibrationCurve& to = *scan.To;
    if (from.Frequencies == to.Frequencies && from.Responses == to.Responses) {
        Add(findings, Severity::Warning, "identical-references", FileRole::RefMicTo, 0,
            "RefMicFrom and RefMicTo hold the same " + std::to_string(from.Frequencies.size()) +
                " points: the correction is zero everywhere, and MyMicOut would repeat "
                "MyMicIn's values. RefMicFrom is the reference's old calibration, RefMicTo its "
                "new one.");
    }
    const std::uint64_t points = in.Report.DataLines;
    const bool sameAsFrom = scan.SameAsFrom && points == from.Frequencies.size();
    const bool sameAsTo = scan.SameAsTo && points == to.Frequencies.size();
    if (points > 0 && (sameAsFrom || sameAsTo)) {
        const std::string which = sameAsFrom && sameAsTo ? "RefMicFrom and RefMicTo"
                                  : sameAsFrom           ? "RefMicFrom"
                                                         : "RefMicTo";
        Add(findings, Severity::Warning, "input-is-reference", FileRole::MyMicIn, 0,
            "MyMicIn holds the same " + std::to_string(points) + " points as " + which +
                ": was a reference's file given as MyMicIn? MyMicIn is your own microphone's "
                "calibration, the third file.");
    }
}

void AddSensitivityChange(const FileScan& from, const FileScan& to, const FileScan& in,
                          std::vector<Finding>& findings) {
    if (!from.HasSensitivity || !to.HasSensitivity || from.Sensitivity == to.Sensitivity) {
        return;
    }
    const double change = static_cast<double>(to.Sensitivity) - from.Sensitivity;
    const std::string own =
        in.HasSensitivity
            ? "MyMicOut keeps MyMicIn's own Sens Factor line (" + Number(in.Sensitivity) +
                  " dB) as it is; if that sensitivity was measured against this reference, it "
                  "may need the same change."
            : "MyMicIn has no Sens Factor line; if the microphone's sensitivity was measured "
              "against this reference, it may need the same change.";
    Add(findings, Severity::Note, "sensitivity-changed", FileRole::RefMicTo, to.SensitivityLine,
        "RefMicFrom's header gives the reference's Sens Factor as " + Number(from.Sensitivity) +
            " dB, RefMicTo's as " + Number(to.Sensitivity) + " dB, a change of " +
            Decibels(change) + " dB. Tarvelin changes only the responses: " + own);
}

} // namespace

void StartConversionScan(ConversionScan& scan, const CalibrationCurve& from,
                         const CalibrationCurve& to) {
    scan.From = &from;
    scan.To = &to;
    scan.FromSpan = SpanOf(from);
    scan.ToSpan = SpanOf(to);
    scan.Report.Made = true;
}

PointWatcher WatchPoints(ConversionScan& scan) {
    return {SeePoint, &scan};
}

void AddConversionFindings(const ConversionScan& scan, const FileScan& from, const FileScan& to,
                           const FileScan& in, std::vector<Finding>& findings) {
    AddSameFiles(scan, in, findings);
    AddWrongSegments(scan, findings);
    if (scan.NotFinite > 0) {
        Add(findings, Severity::Warning, "non-finite", FileRole::MyMicIn, scan.FirstNotFiniteLine,
            "At " + Count(scan.NotFinite, "point", "points") +
                " of MyMicIn the correction or the converted response is infinite or not a "
                "number (the first at line " +
                std::to_string(scan.FirstNotFiniteLine) +
                "): MyMicOut would hold inf or nan there. Check the references' values near "
                "that frequency.");
    }
    AddExtrapolated(scan, findings);
    AddSensitivityChange(from, to, in, findings);
}
