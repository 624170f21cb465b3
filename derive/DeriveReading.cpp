#include "Derivation.h"

#include "CalibrationFileScan.h"
#include "Catalogue.h"
#include "DataLineScan.h"
#include "HeaderFacts.h"
#include "LineKind.h"
#include "MeantReading.h"
#include "Messages.h"
#include "ReferenceLoader.h"
#include "TextReader.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

// A phase lies within half a turn either way; a level in dB that does so
// never jumps by most of a turn between neighbouring points.
constexpr float HalfTurn = 180.5f;
constexpr float WrapStep = 300.0f;

// Every frequency must be finite and above 0 Hz, and rise: the smoothing
// integrates over the logarithm of the frequency, and a grid interpolates
// between neighbours.
struct RisingCheck {
    std::uint64_t BadLine = 0;
    float Bad = 0.0f;
    bool NotRising = false;
    float Before = 0.0f;
};

// previous is the frequency before, nullptr for the first.
void CheckRising(RisingCheck& check, const float* previous, float frequency, std::uint64_t line) {
    if (check.BadLine != 0) {
        return;
    }
    if (!(frequency > 0.0f && std::isfinite(frequency))) {
        check.BadLine = line;
        check.Bad = frequency;
    } else if (previous != nullptr && !(frequency > *previous)) {
        check.BadLine = line;
        check.Bad = frequency;
        check.NotRising = true;
        check.Before = *previous;
    }
}

bool ReportRising(const RisingCheck& check, const char* path) {
    if (check.BadLine == 0) {
        return true;
    }
    std::string message;
    if (check.NotRising) {
        // TRANSLATORS: {file} is the file's name as given; at line {line} the
        // frequency {frequency} follows {before}.
        message = Say("Error - the frequencies of {file} do not rise at line {line} ({before} Hz, "
                      "then {frequency} Hz), so nothing was written. Sort the file from low to "
                      "high frequency, with no frequency twice.",
                      {{"file", path},
                       {"line", std::to_string(check.BadLine)},
                       {"before", ShownNumber(check.Before)},
                       {"frequency", ShownNumber(check.Bad)}});
    } else {
        // TRANSLATORS: {frequency} may be negative, inf or nan.
        message = Say("Error - line {line} of {file} has the frequency {frequency} Hz, so nothing "
                      "was written. Correct or remove that line: every frequency must be above 0 "
                      "Hz.",
                      {{"line", std::to_string(check.BadLine)},
                       {"file", path},
                       {"frequency", ShownNumber(check.Bad)}});
    }
    PrintMessage("%s\n", message.c_str());
    return false;
}

// Lines of one shape are read alike: how the reading of a line as meant
// treats each comma and semicolon depends only on the marks around the
// numbers, on how many numbers there are and on which are zero, never on the
// other digits. So a measurement's 65,536 lines of a few shapes are worked
// out once per shape. A shape is the line with each run of digits one digit,
// 0 where they are all zeros; lines with an exponent or a long run of digits,
// whose numbers may round to zero, are read one by one.
struct ShapeReading {
    LineReading Reading = LineReading::AsItStands;
    bool DecimalCommas = false;
    std::string Marks; // what each comma or semicolon became, in order
};

constexpr std::size_t LongestShapedLine = 256;
constexpr std::size_t LongestDigitRun = 20;
constexpr std::size_t MostShapes = 64;

bool ShapeOfLine(std::string_view text, std::string& shape) {
    if (text.size() > LongestShapedLine) {
        return false;
    }
    shape.resize(text.size());
    char* out = shape.data();
    bool separated = false;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const char c = *p;
        if (c >= '0' && c <= '9') {
            const char* const start = p;
            bool zeros = true;
            for (; p < end && *p >= '0' && *p <= '9'; ++p) {
                zeros = zeros && *p == '0';
            }
            if (static_cast<std::size_t>(p - start) > LongestDigitRun) {
                return false;
            }
            *out++ = zeros ? '0' : '1';
            continue;
        }
        if (c == 'e' || c == 'E') {
            return false;
        }
        separated = separated || c == ',' || c == ';';
        *out++ = c;
        ++p;
    }
    shape.resize(static_cast<std::size_t>(out - shape.data()));
    return separated;
}

struct MeasurementScan {
    const char* Path = nullptr;
    MeasuredCurve* Measured = nullptr;
    std::uint64_t Line = 0;
    RisingCheck Rising;
    // Where a line could be read with decimal commas or with commas between
    // the numbers, the reading that the file's other lines had decides.
    bool DecimalCommasSeen = false;
    MeantLine Meant; // kept between lines, so that its texts keep their room
    // The shapes seen, the last one read first: a file has few of them.
    std::vector<std::pair<std::string, ShapeReading>> Shapes;
    std::string Shape;
    std::string Mended;
    bool AllWithinHalfTurn = true;
    std::uint64_t WrapLine = 0;
    float WrapStep = 0.0f;
};

// Beside the curve's points, where their lines are; the one other place
// where an exhausted memory is caught, with the same message. A run of points
// on consecutive lines is one entry.
bool AppendLine(MeasuredCurve& measured, std::uint64_t line, const char* path) {
    const std::size_t point = measured.Curve.Frequencies.size() - 1;
    if (!measured.Runs.empty() &&
        measured.Runs.back().Line + (point - measured.Runs.back().First) == line) {
        return true;
    }
    try {
        measured.Runs.push_back({point, line});
    } catch (const std::bad_alloc&) {
        return ReportOutOfMemory(path);
    }
    return true;
}

bool KeepMeasuredPoint(MeasurementScan& scan, float frequency, float level) {
    MeasuredCurve& measured = *scan.Measured;
    const std::vector<float>& f = measured.Curve.Frequencies;
    CheckRising(scan.Rising, f.empty() ? nullptr : &f.back(), frequency, scan.Line);
    if (!measured.Curve.Responses.empty()) {
        const float step = level - measured.Curve.Responses.back();
        if (scan.WrapLine == 0 && std::fabs(step) > WrapStep) {
            scan.WrapLine = scan.Line;
            scan.WrapStep = step;
        }
    }
    scan.AllWithinHalfTurn = scan.AllWithinHalfTurn && std::fabs(level) <= HalfTurn;
    return AppendCurvePoint(measured.Curve, frequency, level, scan.Path) &&
           AppendLine(measured, scan.Line, scan.Path);
}

// The line as its reading as meant left it; kept says whether it gave a point.
bool ReadMeant(MeasurementScan& scan, const JudgedLine& judged, bool& kept) {
    const MeantLine& meant = scan.Meant;
    kept = true;
    switch (meant.Reading) {
    case LineReading::Mended:
        scan.DecimalCommasSeen = scan.DecimalCommasSeen || meant.DecimalCommas;
        return KeepMeasuredPoint(scan, meant.Values[0], meant.Values[1]);
    case LineReading::TwoWays: {
        float values[MyMicInValueCount];
        ScanDataLine(scan.DecimalCommasSeen ? meant.Text : meant.Other, values, MyMicInValueCount);
        return KeepMeasuredPoint(scan, values[0], values[1]);
    }
    case LineReading::AsItStands:
        break;
    }
    kept = judged.Kind == LineKind::Data;
    return !kept || KeepMeasuredPoint(scan, judged.Values[0], judged.Values[1]);
}

// After a line has been read as meant, how its shape reads, where lines of
// its shape are read alike and the reading did not depend on the file's
// other lines.
void RememberShape(MeasurementScan& scan, std::string_view text, const MeantLine& meant) {
    if (meant.Reading == LineReading::TwoWays || scan.Shapes.size() >= MostShapes ||
        !ShapeOfLine(text, scan.Shape)) {
        return;
    }
    ShapeReading reading;
    reading.Reading = meant.Reading;
    reading.DecimalCommas = meant.DecimalCommas;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ',' || text[i] == ';') {
            reading.Marks.push_back(meant.Reading == LineReading::Mended ? meant.Text[i] : text[i]);
        }
    }
    scan.Shapes.emplace_back(scan.Shape, std::move(reading));
}

enum class ShapeResult { New, Read, Failed };

// Whether text has shape, and where it has, the line as its shape reads it
// in mended: one pass, since most lines have the shape of the line before.
bool MendLike(std::string_view text, std::string_view shape, const ShapeReading& reading,
              std::string& mended) {
    if (text.size() > LongestShapedLine) {
        return false;
    }
    mended.assign(text);
    const char* const begin = text.data();
    const char* p = begin;
    const char* const end = p + text.size();
    std::size_t at = 0;
    std::size_t mark = 0;
    while (p < end) {
        if (at == shape.size()) {
            return false;
        }
        const char c = *p;
        if (static_cast<unsigned char>(c - '0') <= 9) {
            const char* const start = p;
            char nonZero = 0;
            for (; p < end && static_cast<unsigned char>(*p - '0') <= 9; ++p) {
                nonZero |= static_cast<char>(*p ^ '0');
            }
            if (static_cast<std::size_t>(p - start) > LongestDigitRun ||
                shape[at++] != (nonZero != 0 ? '1' : '0')) {
                return false;
            }
            continue;
        }
        if (c != shape[at++] || c == 'e' || c == 'E') {
            return false;
        }
        if (c == ',' || c == ';') {
            mended[static_cast<std::size_t>(p - begin)] = reading.Marks[mark++];
        }
        ++p;
    }
    return at == shape.size();
}

// A line whose shape has been read before, read the same way.
ShapeResult ReadLikeItsShape(MeasurementScan& scan, std::string_view text, bool& kept) {
    auto found = scan.Shapes.begin();
    while (found != scan.Shapes.end() &&
           !MendLike(text, found->first, found->second, scan.Mended)) {
        ++found;
    }
    if (found == scan.Shapes.end()) {
        return ShapeResult::New;
    }
    if (found != scan.Shapes.begin()) {
        std::iter_swap(found, scan.Shapes.begin());
    }
    const ShapeReading& reading = scan.Shapes.front().second;
    float values[MyMicInValueCount];
    kept = true;
    if (reading.Reading == LineReading::AsItStands) {
        const JudgedLine judged = JudgeLine(text, MyMicInValueCount);
        kept = judged.Kind == LineKind::Data;
        std::copy(judged.Values, judged.Values + MyMicInValueCount, values);
    } else {
        // A frequency of 0, or a number that rounds to 0, is read one by one.
        if (ScanDataLine(scan.Mended, values, ReferenceValueCount) == 0) {
            return ShapeResult::New;
        }
        scan.DecimalCommasSeen = scan.DecimalCommasSeen || reading.DecimalCommas;
    }
    return !kept || KeepMeasuredPoint(scan, values[0], values[1]) ? ShapeResult::Read
                                                                  : ShapeResult::Failed;
}

void SeePhaseNamed(MeasurementScan& scan, std::string_view text) {
    MeasuredCurve& measured = *scan.Measured;
    if (measured.PhaseLine == 0 && NamesPhaseSecond(text)) {
        measured.PhaseLine = scan.Line;
        measured.PhaseNamed = true;
    }
}

// A header line of a measurement: a calibration file's, or a spreadsheet's
// numbers in quotes.
bool SeeHeaderLine(MeasurementScan& scan, std::string_view text) {
    SeePhaseNamed(scan, text);
    float sensitivity = 0.0f;
    std::string serial;
    MeasuredCurve& measured = *scan.Measured;
    if (measured.CalibrationLikeLine == 0 &&
        (SensitivityOf(text, sensitivity) || SerialNumberOf(text, serial))) {
        measured.CalibrationLikeLine = scan.Line;
    }
    if (!ReadQuotedNumbers(text, &scan.Meant)) {
        return true;
    }
    float values[MyMicInValueCount];
    return ScanDataLine(scan.Meant.Text, values, MyMicInValueCount) == 0 ||
           KeepMeasuredPoint(scan, values[0], values[1]);
}

// A measurement program's export, read as it was meant: its comment lines
// dropped, commas, semicolons and decimal commas read as their writer meant
// them, a third column ignored.
bool SeeMeasurementLine(MeasurementScan& scan, std::string_view text) {
    ++scan.Line;
    if (IsHeaderLine(text)) {
        return SeeHeaderLine(scan, text);
    }
    // Most lines have the shape of the line before; without commas and
    // semicolons a line stands as the converter reads it.
    bool kept = false;
    const ShapeResult shaped = ReadLikeItsShape(scan, text, kept);
    if (shaped == ShapeResult::Failed) {
        return false;
    }
    if (shaped == ShapeResult::Read) {
        if (!kept) {
            SeePhaseNamed(scan, text);
        }
        return true;
    }
    if (std::none_of(text.begin(), text.end(), [](char c) { return c == ',' || c == ';'; })) {
        const JudgedLine judged = JudgeLine(text, MyMicInValueCount);
        if (judged.Kind == LineKind::Data) {
            return KeepMeasuredPoint(scan, judged.Values[0], judged.Values[1]);
        }
        SeePhaseNamed(scan, text);
        return true;
    }
    ReadAsMeant(text, MyMicInValueCount, scan.Meant);
    RememberShape(scan, text, scan.Meant);
    if (!ReadMeant(scan, JudgeLine(text, MyMicInValueCount), kept)) {
        return false;
    }
    // Only a line that is no point can name the columns.
    if (!kept) {
        SeePhaseNamed(scan, text);
    }
    return true;
}

bool ScanMeasurement(const char* path, MeasurementScan& scan) {
    TextReader reader;
    if (!OpenTextReader(path, reader)) {
        return false;
    }
    TextLine line;
    ReadResult result;
    while ((result = NextLine(reader, line)) == ReadResult::Line) {
        if (!SeeMeasurementLine(scan, line.Text)) {
            CloseFile(reader.File);
            return false;
        }
    }
    if (result != ReadResult::End) {
        CloseFile(reader.File);
        return false;
    }
    return CloseTextReader(reader);
}

bool ReadMeasurement(const char* path, MeasuredCurve& measured) {
    MeasurementScan scan;
    scan.Path = path;
    scan.Measured = &measured;
    if (!ScanMeasurement(path, scan)) {
        return false;
    }
    if (!ReportRising(scan.Rising, path)) {
        return false;
    }
    const std::size_t count = measured.Curve.Frequencies.size();
    if (count < LeastCurvePoints) {
        const std::string message =
            // TRANSLATORS: {file} is the measurement's name as given; {count}
            // is 0 or 1.
            SayCount("Error - {file} holds {count} point, and a measurement needs at least two, "
                     "so nothing was written. Export the measurement as text, a frequency and a "
                     "level on each line.",
                     "Error - {file} holds {count} points, and a measurement needs at least two, "
                     "so nothing was written. Export the measurement as text, a frequency and a "
                     "level on each line.",
                     count, {{"file", path}});
        PrintMessage("%s\n", message.c_str());
        return false;
    }
    if (measured.PhaseLine == 0 && scan.AllWithinHalfTurn && scan.WrapLine != 0) {
        measured.PhaseLine = scan.WrapLine;
        measured.PhaseStep = scan.WrapStep;
    }
    measured.Curve.FrequenciesNeverDecrease = true;
    return true;
}

struct CalibrationScan {
    DerivationInputs* Inputs = nullptr;
    std::uint64_t Line = 0;
    RisingCheck Rising;
};

bool SeeCalibrationLine(void* context, const TextReader&, const TextLine& line,
                        const JudgedLine& judged) {
    CalibrationScan& scan = *static_cast<CalibrationScan*>(context);
    ++scan.Line;
    DerivationInputs& inputs = *scan.Inputs;
    if (judged.Kind == LineKind::Header) {
        if (inputs.Serial.empty()) {
            SerialNumberOf(line.Text, inputs.Serial);
        }
        return true;
    }
    if (judged.Kind == LineKind::Data) {
        // The loader has appended the point already: the one before it is
        // the last but one.
        const std::vector<float>& f = inputs.RefMicCal.Frequencies;
        CheckRising(scan.Rising, f.size() > 1 ? &f[f.size() - 2] : nullptr, judged.Values[0],
                    scan.Line);
    }
    return true;
}

} // namespace

std::uint64_t LineOfPoint(const MeasuredCurve& measured, std::size_t i) {
    const auto run =
        std::upper_bound(measured.Runs.begin(), measured.Runs.end(), i,
                         [](std::size_t point, const LineRun& r) { return point < r.First; }) -
        1;
    return run->Line + (i - run->First);
}

bool ReadDerivationInputs(const char* refMicCal, const char* refMicMeasured,
                          const char* myMicMeasured, DerivationInputs& inputs) {
    inputs.RefMicCalPath = refMicCal;
    inputs.RefMicMeasuredPath = refMicMeasured;
    inputs.MyMicMeasuredPath = myMicMeasured;
    CalibrationScan scan;
    scan.Inputs = &inputs;
    const LineWatcher watcher = {SeeCalibrationLine, &scan};
    if (!LoadReferenceCurve(refMicCal, inputs.RefMicCal, &watcher) ||
        !ReportRising(scan.Rising, refMicCal)) {
        return false;
    }
    return ReadMeasurement(refMicMeasured, inputs.RefMicMeasured) &&
           ReadMeasurement(myMicMeasured, inputs.MyMicMeasured);
}
