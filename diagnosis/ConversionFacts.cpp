#include "ConversionFacts.h"

#include <cmath>
#include <string_view>

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

void SeeBeyond(ConversionFacts& scan, std::uint64_t line, float frequency) {
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
    auto& scan = *static_cast<ConversionFacts*>(context);
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
         std::uint64_t line, std::vector<FindingArgument> arguments) {
    findings.push_back({level, code, role, line, 0, false, std::move(arguments)});
}

// The references' spans, which the words about points beyond them name.
void AddSpans(const ConversionFacts& scan, std::vector<FindingArgument>& arguments) {
    const FrequencySpan& from = scan.References.FromSpan;
    const FrequencySpan& to = scan.References.ToSpan;
    arguments.push_back(NumberArgument("fromLowest", from.Lowest));
    arguments.push_back(NumberArgument("fromHighest", from.Highest));
    arguments.push_back(NumberArgument("toLowest", to.Lowest));
    arguments.push_back(NumberArgument("toHighest", to.Highest));
}

// Kept as a double: the words round the octaves themselves to a tenth, not
// a float near them.
FindingArgument OctavesArgument(double octaves) {
    return {"octaves", ArgumentKind::Number, octaves, 0, {}, {}};
}

// Which of the references a finding is about.
std::string_view WhichReference(bool from, bool to) {
    if (from && to) {
        return "both";
    }
    return RoleName(from ? FileRole::RefMicFrom : FileRole::RefMicTo);
}

void AddExtrapolated(const ConversionFacts& scan, std::vector<Finding>& findings) {
    if (scan.FarBeyond > 0) {
        std::vector<FindingArgument> arguments = {CountArgument("points", scan.FarBeyond)};
        AddSpans(scan, arguments);
        arguments.push_back(OctavesArgument(scan.OctavesFarBeyond));
        arguments.push_back(CountArgument("firstLine", scan.FirstFarBeyondLine));
        arguments.push_back(NumberArgument("frequency", scan.FirstFarBeyondFrequency));
        Add(findings, Severity::Warning, FindingCode::FarExtrapolation, FileRole::MyMicIn,
            scan.FirstFarBeyondLine, std::move(arguments));
    }
    if (scan.NearlyBeyond > 0) {
        std::vector<FindingArgument> arguments = {CountArgument("points", scan.NearlyBeyond),
                                                  CountArgument("total", scan.Report.Points)};
        AddSpans(scan, arguments);
        arguments.push_back(OctavesArgument(scan.OctavesNearlyBeyond));
        Add(findings, Severity::Note, FindingCode::Extrapolated, FileRole::MyMicIn,
            scan.FirstNearlyBeyondLine, std::move(arguments));
    }
}

void AddWrongSegments(const ConversionFacts& scan, std::vector<Finding>& findings) {
    if (scan.WrongSegments == 0) {
        return;
    }
    Add(findings, Severity::Warning, FindingCode::WrongSegment, FileRole::MyMicIn,
        scan.FirstWrongSegmentLine,
        {CountArgument("points", scan.WrongSegments),
         WordArgument("reference", WhichReference(scan.WrongInFrom, scan.WrongInTo)),
         CountArgument("firstLine", scan.FirstWrongSegmentLine),
         NumberArgument("frequency", scan.FirstWrongSegmentFrequency)});
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

void AddLargeCorrection(const ConversionFacts& scan, std::vector<Finding>& findings) {
    const LargestDifference largest = LargestReferenceDifference(scan.References);
    if (!largest.Any || !(std::fabs(largest.Difference) > LargeCorrection)) {
        return;
    }
    Add(findings, Severity::Warning, FindingCode::LargeCorrection, FileRole::RefMicTo, 0,
        {DecibelsArgument("difference", largest.Difference),
         NumberArgument("frequency", largest.Frequency)});
}

void AddSameFiles(const ConversionFacts& scan, const FileFacts& from, const FileFacts& to,
                  const FileFacts& in, std::vector<Finding>& findings) {
    const CalibrationCurve& fromCurve = *scan.References.From;
    const CalibrationCurve& toCurve = *scan.References.To;
    if (fromCurve.Frequencies == toCurve.Frequencies && fromCurve.Responses == toCurve.Responses) {
        Add(findings, Severity::Warning, FindingCode::IdenticalReferences, FileRole::RefMicTo, 0,
            {CountArgument("points", fromCurve.Frequencies.size())});
    }
    const std::uint64_t points = in.Report.DataLines;
    const bool sameAsFrom = scan.SameAsFrom && points == fromCurve.Frequencies.size();
    const bool sameAsTo = scan.SameAsTo && points == toCurve.Frequencies.size();
    if (points > 0 && (sameAsFrom || sameAsTo)) {
        Add(findings, Severity::Warning, FindingCode::InputIsReference, FileRole::MyMicIn, 0,
            {WordArgument("form", "points"),
             WordArgument("reference", WhichReference(sameAsFrom, sameAsTo)),
             CountArgument("points", points)});
        return;
    }
    const bool serialOfFrom = in.SerialLine != 0 && in.Serial == from.Serial;
    const bool serialOfTo = in.SerialLine != 0 && in.Serial == to.Serial;
    if (serialOfFrom || serialOfTo) {
        Add(findings, Severity::Warning, FindingCode::InputIsReference, FileRole::MyMicIn,
            in.SerialLine,
            {WordArgument("form", "serial-number"),
             WordArgument("reference", WhichReference(serialOfFrom, serialOfTo)),
             QuotedArgument("serial", in.Serial), CountArgument("serialLine", in.SerialLine)});
    }
}

std::string_view AngleWord(const FileFacts& scan) {
    if (scan.AngleLine == 0) {
        return "none";
    }
    return scan.Angle.Kind == IncidenceKind::Random ? "random" : "degrees";
}

// A file that names no angle is taken for 0 degrees, as such files are.
bool SameAngle(const Incidence& a, const Incidence& b) {
    const auto degrees = [](const Incidence& angle) {
        return angle.Kind == IncidenceKind::Random ? -1 : angle.Degrees;
    };
    return degrees(a) == degrees(b);
}

void AddIdentityFindings(const FileFacts& from, const FileFacts& to,
                         std::vector<Finding>& findings) {
    if (from.SerialLine != 0 && to.SerialLine != 0 && from.Serial != to.Serial) {
        Add(findings, Severity::Warning, FindingCode::DifferentSerialNumbers, FileRole::RefMicTo,
            to.SerialLine,
            {QuotedArgument("serialFrom", from.Serial),
             CountArgument("serialLineFrom", from.SerialLine),
             QuotedArgument("serialTo", to.Serial), CountArgument("serialLineTo", to.SerialLine)});
    }
    if (!SameAngle(from.Angle, to.Angle)) {
        Add(findings, Severity::Warning, FindingCode::DifferentAngles, FileRole::RefMicTo,
            to.AngleLine != 0 ? to.AngleLine : from.AngleLine,
            {WordArgument("angleFrom", AngleWord(from)),
             NumberArgument("degreesFrom", static_cast<float>(from.Angle.Degrees)),
             CountArgument("angleLineFrom", from.AngleLine), WordArgument("angleTo", AngleWord(to)),
             NumberArgument("degreesTo", static_cast<float>(to.Angle.Degrees)),
             CountArgument("angleLineTo", to.AngleLine)});
    }
}

void AddSensitivityChange(const FileFacts& from, const FileFacts& to, const FileFacts& in,
                          std::vector<Finding>& findings) {
    if (!from.HasSensitivity || !to.HasSensitivity || from.Sensitivity == to.Sensitivity) {
        return;
    }
    const double change = static_cast<double>(to.Sensitivity) - from.Sensitivity;
    const std::string_view form = !in.HasSensitivity       ? "no-sensitivity"
                                  : in.SensitivityInHeader ? "kept"
                                                           : "dropped";
    std::vector<FindingArgument> arguments = {
        WordArgument("form", form), NumberArgument("sensitivityFrom", from.Sensitivity),
        NumberArgument("sensitivityTo", to.Sensitivity), DecibelsArgument("change", change)};
    if (in.HasSensitivity) {
        arguments.push_back(NumberArgument("sensitivityIn", in.Sensitivity));
        arguments.push_back(CountArgument("sensitivityLine", in.SensitivityLine));
    }
    Add(findings, Severity::Note, FindingCode::SensitivityChanged, FileRole::RefMicTo,
        to.SensitivityLine, std::move(arguments));
}

} // namespace

void StartConversionScan(ConversionFacts& scan, const CalibrationCurve& from,
                         const CalibrationCurve& to) {
    scan.References = ReferencesOf(from, to);
    scan.Report.Made = true;
}

PointWatcher WatchPoints(ConversionFacts& scan) {
    return {SeePoint, &scan};
}

void AddConversionFindings(ConversionFacts& scan, const FileFacts& from, const FileFacts& to,
                           const FileFacts& in, std::vector<Finding>& findings) {
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
        // The file's own inf and nan are another finding of this code, with
        // other words.
        Add(findings, Severity::Warning, FindingCode::NonFinite, FileRole::MyMicIn,
            scan.FirstNotFiniteLine,
            {WordArgument("form", "correction"), CountArgument("points", scan.NotFinite),
             CountArgument("firstLine", scan.FirstNotFiniteLine)});
    }
    AddExtrapolated(scan, findings);
    AddSensitivityChange(from, to, in, findings);
}
