#include "Derivation.h"

#include "CalibrationFileScan.h"
#include "Catalogue.h"
#include "DataLineScan.h"
#include "LineKind.h"
#include "LineShapes.h"
#include "Messages.h"
#include "ReferenceLoader.h"

#include <cmath>
#include <new>
#include <string>

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

struct MeasurementScan {
    const char* Path = nullptr;
    MeasuredCurve* Measured = nullptr;
    std::uint64_t Line = 0;
    RisingCheck Rising;
    // Where a line could be read with decimal commas or with commas between
    // the numbers, the reading that the file's other lines had decides.
    bool DecimalCommasSeen = false;
    MeantLine Meant; // kept between lines, so that its texts keep their room
    bool AllWithinHalfTurn = true;
    std::uint64_t WrapLine = 0;
    float WrapStep = 0.0f;
};

// Beside the curve's points, the line of each; the one other place where an
// exhausted memory is caught, with the same message.
bool AppendLine(MeasuredCurve& measured, std::uint64_t line, const char* path) {
    try {
        measured.Lines.push_back(line);
    } catch (const std::bad_alloc&) {
        PrintMessage("Error - out of memory reading %s\n", path);
        return false;
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

// A measurement program's export, read as it was meant: its comment lines
// dropped, commas, semicolons and decimal commas read as their writer meant
// them, a third column ignored.
bool SeeMeasurementLine(void* context, const TextReader&, const TextLine& line,
                        const JudgedLine& judged) {
    MeasurementScan& scan = *static_cast<MeasurementScan*>(context);
    MeasuredCurve& measured = *scan.Measured;
    ++scan.Line;
    const std::string_view text = line.Text;
    if (measured.PhaseLine == 0 && NamesPhaseSecond(text)) {
        measured.PhaseLine = scan.Line;
        measured.PhaseNamed = true;
    }
    MeantLine& meant = scan.Meant;
    if (judged.Kind == LineKind::Header) {
        float sensitivity = 0.0f;
        std::string serial;
        if (measured.CalibrationLikeLine == 0 &&
            (SensitivityOf(text, sensitivity) || SerialNumberOf(text, serial))) {
            measured.CalibrationLikeLine = scan.Line;
        }
        if (!ReadQuotedNumbers(text, &meant)) {
            return true;
        }
        float values[MyMicInValueCount];
        return ScanDataLine(meant.Text, values, MyMicInValueCount) == 0 ||
               KeepMeasuredPoint(scan, values[0], values[1]);
    }
    ReadAsMeant(text, MyMicInValueCount, meant);
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
    return judged.Kind != LineKind::Data ||
           KeepMeasuredPoint(scan, judged.Values[0], judged.Values[1]);
}

bool ReadMeasurement(const char* path, MeasuredCurve& measured) {
    MeasurementScan scan;
    scan.Path = path;
    scan.Measured = &measured;
    if (!ScanCalibrationFile(path, MyMicInValueCount, {SeeMeasurementLine, &scan})) {
        return false;
    }
    if (!ReportRising(scan.Rising, path)) {
        return false;
    }
    const std::size_t count = measured.Curve.Frequencies.size();
    if (count < 2) {
        const std::string message =
            // TRANSLATORS: {file} is the measurement's name as given; {count}
            // is 0 or 1.
            Say("Error - {file} holds {count} points, and a measurement needs at least two, "
                "so nothing was written. Export the measurement as text, a frequency and a "
                "level on each line.",
                {{"file", path}, {"count", std::to_string(count)}});
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
