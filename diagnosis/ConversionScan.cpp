#include "ConversionScan.h"

#include "FindingText.h"

#include <cmath>
#include <cstdio>

namespace {

// Two calibrations of one reference microphone differ by fractions of a dB.
constexpr double LargeCorrection = 6.0;
// Beyond this many octaves from a reference's last point, its end segment
// is a line drawn far from anything measured.
constexpr double FarOctaves = 1.0;

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

void SeeBeyond(ConversionScan& scan, std::uint64_t line, float frequency) {
    const double octaves = std::fmax(OctavesOutside(scan.References.FromSpan, frequency),
                                     OctavesOutside(scan.References.ToSpan, frequency));
    ++scan.Report.Extrapolated;
    if (octaves > FarOctaves) {
        if (scan.FarBeyond++ == 0) {
            scan.FirstFarBeyondLine = line;
            scan.FirstFarBeyondFrequency = frequency;
        }
        scan.OctavesFarBeyond = std::fmax(scan.OctavesFarBeyond, octaves);
    } else {
        if (scan.NearlyBeyond++ == 0) {
            scan.FirstNearlyBeyondLine = line;
        }
        scan.OctavesNearlyBeyond = std::fmax(scan.OctavesNearlyBeyond, octaves);
    }
}

void SeePoint(void* context, std::uint64_t line, const JudgedLine& judged) {
    auto& scan = *static_cast<ConversionScan*>(context);
    const ConversionReferences& references = scan.References;
    const float frequency = judged.Values[0];
    const ConvertedPoint point = ConvertPoint(references, frequency, judged.Values[1]);
    const std::uint64_t index = scan.Report.Points++;
    SeeCorrection(scan.Extremes, frequency, point.Correction);
    if (point.Extrapolated) {
        SeeBeyond(scan, line, frequency);
    }
    const bool wrongFrom =
        !UsedRightSegment(*references.From, references.FromSpan, point.FromSegment, frequency);
    const bool wrongTo =
        !UsedRightSegment(*references.To, references.ToSpan, point.ToSegment, frequency);
    if (wrongFrom || wrongTo) {
        if (scan.WrongSegments++ == 0) {
            scan.FirstWrongSegmentLine = line;
            scan.FirstWrongSegmentFrequency = frequency;
        }
        scan.WrongInFrom = scan.WrongInFrom || wrongFrom;
        scan.WrongInTo = scan.WrongInTo || wrongTo;
    }
    if (std::isfinite(judged.Values[1]) &&
        (!std::isfinite(point.Correction) || !std::isfinite(point.Response))) {
        if (scan.NotFinite++ == 0) {
            scan.FirstNotFiniteLine = line;
        }
    }
    scan.SameAsFrom =
        scan.SameAsFrom && SamePoint(*references.From, index, frequency, judged.Values[1]);
    scan.SameAsTo = scan.SameAsTo && SamePoint(*references.To, index, frequency, judged.Values[1]);
}

void Add(std::vector<Finding>& findings, Severity level, FindingCode code, FileRole role,
         std::uint64_t line, std::string message) {
    findings.push_back({level, code, role, line, std::move(message), 0, false, {}});
}

std::string SpanText(const FrequencySpan& span) {
    return Number(span.Lowest) + " Hz to " + Number(span.Highest) + " Hz";
}

std::string Octaves(double octaves) {
    if (octaves < 0.05) {
        return "less than 0.1 octaves";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", octaves);
    return std::string("up to ") + text + " octaves";
}

std::string ReferenceSpans(const ConversionScan& scan) {
    return "RefMicFrom (" + SpanText(scan.References.FromSpan) + ") or RefMicTo (" +
           SpanText(scan.References.ToSpan) + ")";
}

void AddExtrapolated(const ConversionScan& scan, std::vector<Finding>& findings) {
    if (scan.FarBeyond > 0) {
        Add(findings, Severity::Warning, FindingCode::FarExtrapolation, FileRole::MyMicIn,
            scan.FirstFarBeyondLine,
            Count(scan.FarBeyond, "point of MyMicIn lies", "points of MyMicIn lie") +
                " more than an octave " + "below or above the frequencies of " +
                ReferenceSpans(scan) + ", " + Octaves(scan.OctavesFarBeyond) +
                " beyond (the first at line " + std::to_string(scan.FirstFarBeyondLine) + ", " +
                Number(scan.FirstFarBeyondFrequency) +
                " Hz): there the correction is the reference's first or last segment drawn on "
                "as a straight line, far from any point measured, and MyMicOut's values can be "
                "far off. Use references that cover those frequencies, or do not rely on "
                "MyMicOut there.");
    }
    if (scan.NearlyBeyond > 0) {
        Add(findings, Severity::Note, FindingCode::Extrapolated, FileRole::MyMicIn,
            scan.FirstNearlyBeyondLine,
            std::to_string(scan.NearlyBeyond) + " of MyMicIn's " +
                std::to_string(scan.Report.Points) +
                (scan.NearlyBeyond == 1 ? " points lies" : " points lie") +
                " below or above the frequencies of " + ReferenceSpans(scan) + ", " +
                Octaves(scan.OctavesNearlyBeyond) +
                " beyond; there the correction extends the reference's first or last segment as "
                "a straight line, which is a guess.");
    }
}

void AddWrongSegments(const ConversionScan& scan, std::vector<Finding>& findings) {
    if (scan.WrongSegments == 0) {
        return;
    }
    const std::string which = scan.WrongInFrom && scan.WrongInTo ? "RefMicFrom and RefMicTo"
                              : scan.WrongInFrom                 ? "RefMicFrom"
                                                                 : "RefMicTo";
    Add(findings, Severity::Warning, FindingCode::WrongSegment, FileRole::MyMicIn,
        scan.FirstWrongSegmentLine,
        Count(scan.WrongSegments, "point", "points") +
            " of MyMicIn get their correction from a segment of " + which +
            " that does not hold their frequency (the first at line " +
            std::to_string(scan.FirstWrongSegmentLine) + ", " +
            Number(scan.FirstWrongSegmentFrequency) +
            " Hz), because the reference's frequencies do not rise. Sort " + which +
            " from low to high frequency and convert again.");
}

// The largest RefMicTo - RefMicFrom where both references hold points. Both
// are straight between their points, so their difference is largest at a
// point of one of them; references that rise are evaluated there, after the
// conversion's own evaluations.
struct LargestDifference {
    bool Any = false;
    double Difference = 0.0;
    float Frequency = 0.0f;
};

void SeeDifference(LargestDifference& largest, float frequency, double difference) {
    if (!std::isnan(difference) &&
        (!largest.Any || std::fabs(difference) > std::fabs(largest.Difference))) {
        largest = {true, difference, frequency};
    }
}

LargestDifference LargestReferenceDifference(const ConversionReferences& references) {
    LargestDifference largest;
    const CalibrationCurve& from = *references.From;
    const CalibrationCurve& to = *references.To;
    if (!from.FrequenciesNeverDecrease || !to.FrequenciesNeverDecrease) {
        return largest;
    }
    const float low = std::fmax(references.FromSpan.Lowest, references.ToSpan.Lowest);
    const float high = std::fmin(references.FromSpan.Highest, references.ToSpan.Highest);
    for (std::size_t i = 0; i < from.Frequencies.size(); ++i) {
        const float f = from.Frequencies[i];
        if (f >= low && f <= high) {
            SeeDifference(largest, f,
                          static_cast<double>(EvaluateCurve(to, f)) - from.Responses[i]);
        }
    }
    for (std::size_t i = 0; i < to.Frequencies.size(); ++i) {
        const float f = to.Frequencies[i];
        if (f >= low && f <= high) {
            SeeDifference(largest, f,
                          static_cast<double>(to.Responses[i]) - EvaluateCurve(from, f));
        }
    }
    return largest;
}

void AddLargeCorrection(const ConversionScan& scan, std::vector<Finding>& findings) {
    const LargestDifference largest = LargestReferenceDifference(scan.References);
    if (!largest.Any || !(std::fabs(largest.Difference) > LargeCorrection)) {
        return;
    }
    Add(findings, Severity::Warning, FindingCode::LargeCorrection, FileRole::RefMicTo, 0,
        "RefMicTo - RefMicFrom reaches " + Decibels(largest.Difference) + " dB at " +
            Number(largest.Frequency) +
            " Hz, where both references hold points. A reference's new calibration changes it "
            "by fractions of a dB; a difference this large comes from references of two "
            "microphones, of two angles, or a file of absolute levels (dB SPL), and MyMicOut "
            "would carry it. Check that RefMicFrom and RefMicTo are the old and the new "
            "calibration of the same microphone.");
}

void AddSameFiles(const ConversionScan& scan, const FileScan& from, const FileScan& to,
                  const FileScan& in, std::vector<Finding>& findings) {
    const CalibrationCurve& fromCurve = *scan.References.From;
    const CalibrationCurve& toCurve = *scan.References.To;
    if (fromCurve.Frequencies == toCurve.Frequencies && fromCurve.Responses == toCurve.Responses) {
        Add(findings, Severity::Warning, FindingCode::IdenticalReferences, FileRole::RefMicTo, 0,
            "RefMicFrom and RefMicTo hold the same " +
                std::to_string(fromCurve.Frequencies.size()) +
                " points: the correction is zero everywhere, and MyMicOut would repeat "
                "MyMicIn's values. RefMicFrom is the reference's old calibration, RefMicTo its "
                "new one.");
    }
    const std::uint64_t points = in.Report.DataLines;
    const bool sameAsFrom = scan.SameAsFrom && points == fromCurve.Frequencies.size();
    const bool sameAsTo = scan.SameAsTo && points == toCurve.Frequencies.size();
    if (points > 0 && (sameAsFrom || sameAsTo)) {
        const std::string which = sameAsFrom && sameAsTo ? "RefMicFrom and RefMicTo"
                                  : sameAsFrom           ? "RefMicFrom"
                                                         : "RefMicTo";
        Add(findings, Severity::Warning, FindingCode::InputIsReference, FileRole::MyMicIn, 0,
            "MyMicIn holds the same " + std::to_string(points) + " points as " + which +
                ": was a reference's file given as MyMicIn? MyMicIn is your own microphone's "
                "calibration, the third file.");
        return;
    }
    const bool serialOfFrom = in.SerialLine != 0 && in.Serial == from.Serial;
    const bool serialOfTo = in.SerialLine != 0 && in.Serial == to.Serial;
    if (serialOfFrom || serialOfTo) {
        const std::string which = serialOfFrom && serialOfTo ? "RefMicFrom and RefMicTo"
                                  : serialOfFrom             ? "RefMicFrom"
                                                             : "RefMicTo";
        Add(findings, Severity::Warning, FindingCode::InputIsReference, FileRole::MyMicIn,
            in.SerialLine,
            "MyMicIn's header names serial number " + in.Serial + " (line " +
                std::to_string(in.SerialLine) + "), the reference microphone's in " + which +
                ": was a reference's file given as MyMicIn, or were the files given in another "
                "order? MyMicOut would carry the reference's header and serial number. The "
                "order is RefMicFrom, RefMicTo, then your own microphone's calibration.");
    }
}

std::string SerialAt(const FileScan& scan) {
    return scan.Serial + " (line " + std::to_string(scan.SerialLine) + ")";
}

std::string AngleName(const Incidence& angle) {
    switch (angle.Kind) {
    case IncidenceKind::Degrees:
        return std::to_string(angle.Degrees) + " degrees";
    case IncidenceKind::Random:
        return "random incidence";
    case IncidenceKind::None:
        break;
    }
    return "0 degrees";
}

// A file that names no angle is taken for 0 degrees, as such files are.
bool SameAngle(const Incidence& a, const Incidence& b) {
    const auto degrees = [](const Incidence& angle) {
        return angle.Kind == IncidenceKind::Random ? -1 : angle.Degrees;
    };
    return degrees(a) == degrees(b);
}

void AddIdentityFindings(const FileScan& from, const FileScan& to, std::vector<Finding>& findings) {
    if (from.SerialLine != 0 && to.SerialLine != 0 && from.Serial != to.Serial) {
        Add(findings, Severity::Warning, FindingCode::DifferentSerialNumbers, FileRole::RefMicTo,
            to.SerialLine,
            "RefMicFrom's header names serial number " + SerialAt(from) + ", RefMicTo's " +
                SerialAt(to) +
                ": the references should be two calibrations of one microphone, its old and "
                "its new. Between two microphones the correction is their difference, and "
                "MyMicOut would carry it. Check that both files are the reference "
                "microphone's.");
    }
    if (!SameAngle(from.Angle, to.Angle)) {
        const auto said = [](const FileScan& scan) {
            return scan.AngleLine != 0 ? "says " + AngleName(scan.Angle) + " (line " +
                                             std::to_string(scan.AngleLine) + ")"
                                       : std::string("names no angle, so presumably 0 degrees");
        };
        Add(findings, Severity::Warning, FindingCode::DifferentAngles, FileRole::RefMicTo,
            to.AngleLine != 0 ? to.AngleLine : from.AngleLine,
            "RefMicFrom's header " + said(from) + "; RefMicTo's " + said(to) +
                ": the references are calibrations for different angles of incidence, which "
                "differ by several dB at high frequencies, and MyMicOut would carry that "
                "difference. If converting your microphone from one angle to the other was "
                "meant, the result is only as good as the assumption that it changes between "
                "angles as the reference does; otherwise use two files of the same angle.");
    }
}

void AddSensitivityChange(const FileScan& from, const FileScan& to, const FileScan& in,
                          std::vector<Finding>& findings) {
    if (!from.HasSensitivity || !to.HasSensitivity || from.Sensitivity == to.Sensitivity) {
        return;
    }
    const double change = static_cast<double>(to.Sensitivity) - from.Sensitivity;
    std::string own =
        "MyMicIn has no Sens Factor line; if the microphone's sensitivity was measured "
        "against this reference, it may need the same change.";
    if (in.HasSensitivity) {
        own =
            (in.SensitivityInHeader ? "MyMicOut keeps MyMicIn's own Sens Factor line (" +
                                          Number(in.Sensitivity) + " dB) as it is"
                                    : "MyMicIn's own Sens Factor line (" + Number(in.Sensitivity) +
                                          " dB) lacks its opening quote and is dropped (line " +
                                          std::to_string(in.SensitivityLine) + ")") +
            "; if that sensitivity was measured against this reference, it may need the "
            "same change.";
    }
    Add(findings, Severity::Note, FindingCode::SensitivityChanged, FileRole::RefMicTo,
        to.SensitivityLine,
        "RefMicFrom's header gives the reference's Sens Factor as " + Number(from.Sensitivity) +
            " dB, RefMicTo's as " + Number(to.Sensitivity) + " dB, a change of " +
            Decibels(change) + " dB. Tarvelin changes only the responses: " + own);
}

} // namespace

void StartConversionScan(ConversionScan& scan, const CalibrationCurve& from,
                         const CalibrationCurve& to) {
    scan.References = ReferencesOf(from, to);
    scan.Report.Made = true;
}

PointWatcher WatchPoints(ConversionScan& scan) {
    return {SeePoint, &scan};
}

void AddConversionFindings(ConversionScan& scan, const FileScan& from, const FileScan& to,
                           const FileScan& in, std::vector<Finding>& findings) {
    const CorrectionExtremes& extremes = scan.Extremes;
    scan.Report.HasCorrection = extremes.Any;
    scan.Report.CorrectionMin = extremes.Smallest;
    scan.Report.CorrectionMinFrequency = extremes.SmallestAt;
    scan.Report.CorrectionMax = extremes.Largest;
    scan.Report.CorrectionMaxFrequency = extremes.LargestAt;
    AddSameFiles(scan, from, to, in, findings);
    AddIdentityFindings(from, to, findings);
    AddLargeCorrection(scan, findings);
    AddWrongSegments(scan, findings);
    if (scan.NotFinite > 0) {
        Add(findings, Severity::Warning, FindingCode::NonFinite, FileRole::MyMicIn,
            scan.FirstNotFiniteLine,
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
