#include "ExportRun.h"

#include "CompanionCommandLine.h"
#include "ExportReading.h"
#include "FloatText.h"
#include "Messages.h"
#include "OverwriteGuard.h"
#include "PointConversion.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr int NotWritten = 2;

constexpr const char* Forms[] = {
    "--to <profile> [--points-per-octave N] [--range LOW HIGH] [--max-points N] "
    "<CalibrationFile> <ExportedFile>"};
constexpr CommandOption Options[] = {
    {"--to", 1, "PROFILE", "the shape to write: tsv, frd, csv or csv-decimal-comma"},
    {"--points-per-octave", 1, "N", "resample onto a logarithmic grid of N points per octave"},
    {"--range", 2, "LOW HIGH", "the first and last frequency, in Hz, holding the end values"},
    {"--max-points", 1, "N", "at most N points: the finest grid that fits, if needed"},
};
constexpr CommandLineSyntax Syntax = {"TarvelinExport", Forms, Options};

struct ExportRequest {
    const char* Input = nullptr;
    const char* Output = nullptr;
    ExportProfile Profile = ExportProfile::Tsv;
    GridRequest Grid;
};

// A whole number written in plain digits, from least to most.
bool ReadWholeNumber(std::string_view text, std::uint64_t least, std::uint64_t most,
                     std::uint64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && value >= least &&
           value <= most;
}

// A frequency in Hz as a calibration file writes it, with a full stop.
bool ReadFrequency(std::string_view text, float& value) {
    const auto [end, error] = ParseFloat(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && std::isfinite(value);
}

// The options' values; what is wrong has been put in problem.
bool ReadRequest(const CommandLine& commandLine, ExportRequest& request, std::string& problem) {
    const GivenOption* to = FindOption(commandLine, "--to");
    if (to == nullptr) {
        problem = std::string("--to is missing: give the shape to write, ") + ProfileNames;
        return false;
    }
    if (!ProfileNamed(to->Values[0], request.Profile)) {
        problem = std::string("--to ") + to->Values[0] + " is no profile: choose " + ProfileNames;
        return false;
    }
    GridRequest& grid = request.Grid;
    std::uint64_t number = 0;
    if (const GivenOption* given = FindOption(commandLine, "--points-per-octave")) {
        if (!ReadWholeNumber(given->Values[0], 1, MostPointsPerOctave, number)) {
            problem = std::string("--points-per-octave ") + given->Values[0] +
                      ": give a whole number from 1 to " + std::to_string(MostPointsPerOctave);
            return false;
        }
        grid.PointsPerOctave = static_cast<int>(number);
    }
    if (const GivenOption* given = FindOption(commandLine, "--range")) {
        grid.HasRange = true;
        if (!ReadFrequency(given->Values[0], grid.Low) ||
            !ReadFrequency(given->Values[1], grid.High) || !(grid.Low >= 0.0f) ||
            !(grid.High > grid.Low)) {
            problem = std::string("--range ") + given->Values[0] + " " + given->Values[1] +
                      ": give two frequencies in Hz, the lower first, 0 or more, with a full "
                      "stop as the decimal point (--range 0 24000)";
            return false;
        }
    }
    // -0 is 0, so that no frequency is written -0.
    grid.Low = grid.Low == 0.0f ? 0.0f : grid.Low;
    if (const GivenOption* given = FindOption(commandLine, "--max-points")) {
        if (!ReadWholeNumber(given->Values[0], 2, UINT64_MAX, grid.MaxPoints)) {
            problem = std::string("--max-points ") + given->Values[0] +
                      ": give a whole number of 2 or more";
            return false;
        }
    }
    return true;
}

std::string Hertz(float frequency) {
    char text[ExportNumberMax];
    return std::string(text, FormatExportNumber(frequency, false, text)) + " Hz";
}

// A grid and a range need frequencies that can be interpolated between.
bool CanChangePoints(const ExportReading& reading, const char* path) {
    if (reading.UnusableLine != 0) {
        PrintMessage("Error - line %llu of %s has the frequency %s, and a grid or a range needs "
                     "finite frequencies above 0 Hz, so nothing was exported. Correct or remove "
                     "that line, or export without --points-per-octave, --range and "
                     "--max-points.\n",
                     static_cast<unsigned long long>(reading.UnusableLine), path,
                     Hertz(reading.Unusable).c_str());
        return false;
    }
    if (reading.NotRisingLine != 0) {
        PrintMessage("Error - the frequencies of %s do not rise at line %llu (%s, then %s), and a "
                     "grid or a range is interpolated between rising frequencies, so nothing was "
                     "exported. Sort the file from low to high frequency, with no frequency "
                     "twice, or export without --points-per-octave, --range and --max-points.\n",
                     path, static_cast<unsigned long long>(reading.NotRisingLine),
                     Hertz(reading.BeforeNotRising).c_str(), Hertz(reading.NotRising).c_str());
        return false;
    }
    return true;
}

struct Output {
    TextWriter* Writer;
    ExportProfile Profile;
    int Columns;
};

bool TakePoint(void* context, const float* values) {
    const Output& output = *static_cast<const Output*>(context);
    return WritePoint(*output.Writer, output.Profile, values, output.Columns);
}

std::string Lines(const LineNumbers& lines) {
    std::string text = lines.Count == 1 ? "line " : "lines ";
    const std::uint64_t shown = std::min<std::uint64_t>(lines.Count, 3);
    for (std::uint64_t i = 0; i < shown; ++i) {
        text += (i > 0 ? ", " : "") + std::to_string(lines.First[i]);
    }
    return text + (lines.Count > shown ? ", ..." : "");
}

void ReportDroppedLines(const ExportReading& reading) {
    static const char* const Kinds[DroppedKinds] = {
        "with decimal commas or with numbers separated by commas or semicolons",
        "shaped like a header line without its opening double quote",
        "with a number that cannot be read",
        "with words or comments",
        "with a number alone",
        "with a frequency of 0",
    };
    for (int kind = 0; kind < DroppedKinds; ++kind) {
        const LineNumbers& lines = reading.Dropped[kind];
        if (lines.Count == 0) {
            continue;
        }
        const bool one = lines.Count == 1;
        PrintText(std::to_string(lines.Count) + (one ? " line " : " lines ") + Kinds[kind] +
                  (one ? " was" : " were") + " not exported (" + Lines(lines) +
                  "): the converter drops " + (one ? "it" : "them") +
                  " too; tarvelin-check says why.\n");
    }
    if (reading.NotFinite.Count > 0) {
        const bool one = reading.NotFinite.Count == 1;
        PrintText(std::to_string(reading.NotFinite.Count) + (one ? " line holds" : " lines hold") +
                  " a number too large for a float (" + Lines(reading.NotFinite) +
                  "), exported as inf, which few programs read: tarvelin-check says more.\n");
    }
    if (reading.CutHeaders.Count > 0) {
        const bool one = reading.CutHeaders.Count == 1;
        PrintText(std::to_string(reading.CutHeaders.Count) +
                  (one ? " header line is" : " header lines are") + " longer than 65536 bytes (" +
                  Lines(reading.CutHeaders) + "): only " + (one ? "its" : "their") +
                  " first 65536 bytes were exported.\n");
    }
}

void ReportGrid(const ExportRequest& request, const ExportPlan& plan, const ExportCurve& curve,
                const HeldPoints& held) {
    if (plan.Grid && request.Grid.PointsPerOctave > plan.PointsPerOctave) {
        const std::string most = std::to_string(plan.PointsPerOctave);
        PrintText("--max-points " + std::to_string(request.Grid.MaxPoints) + " allows at most " +
                  most + (plan.PointsPerOctave == 1 ? " point" : " points") +
                  " per octave, so the grid has " + most + " instead of " +
                  std::to_string(request.Grid.PointsPerOctave) + ".\n");
    }
    const std::uint64_t count = held.Below + held.Above;
    if (count == 0) {
        return;
    }
    const std::vector<float>& f = curve.Response.Frequencies;
    std::string values = held.Above == 0 ? "its first value"
                         : held.Below == 0
                             ? "its last value"
                             : "its first value (" + std::to_string(held.Below) +
                                   " below) or its last (" + std::to_string(held.Above) + " above)";
    PrintText(std::to_string(count) + (count == 1 ? " point lies" : " points lie") +
              " beyond the file's frequencies (" + Hertz(f.front()) + " to " + Hertz(f.back()) +
              ") and " + (count == 1 ? "holds " : "hold ") + values +
              ": the file has no measurement there.\n");
}

bool Export(const ExportRequest& request) {
    if (WouldOverwriteInput(request.Output, {request.Input})) {
        return false;
    }
    TextWriter writer;
    if (!OpenTextWriter(request.Output, writer)) {
        return false;
    }
    ExportReading reading;
    reading.Writer = &writer;
    reading.Profile = request.Profile;
    if (!ReadForExport(request.Input, reading)) {
        DiscardTextWriter(writer);
        return false;
    }
    const ExportCurve& curve = reading.Curve;
    if (curve.Response.Frequencies.empty()) {
        PrintMessage("Error - %s has no data lines, so nothing was exported. A data line is a "
                     "frequency and a response, separated by blanks or tabs: tarvelin-check %s "
                     "tells what the file holds.\n",
                     request.Input, request.Input);
        DiscardTextWriter(writer);
        return false;
    }
    ExportPlan plan;
    if ((ChangesPoints(request.Grid) && !CanChangePoints(reading, request.Input)) ||
        !PlanExport(curve, request.Grid, request.Input, plan)) {
        DiscardTextWriter(writer);
        return false;
    }
    reading.Curve.Response.FrequenciesNeverDecrease = reading.NotRisingLine == 0;
    reading.Curve.Third.FrequenciesNeverDecrease = reading.NotRisingLine == 0;
    Output output = {&writer, request.Profile, ColumnsOf(request.Profile, curve.HasThird)};
    HeldPoints held;
    if (!WriteColumnNames(writer, request.Profile, curve.HasThird) ||
        !ProducePoints(curve, plan, {TakePoint, &output}, held)) {
        DiscardTextWriter(writer);
        return false;
    }
    if (!CloseTextWriter(writer)) {
        return false;
    }
    ReportDroppedLines(reading);
    ReportGrid(request, plan, curve, held);
    return true;
}

} // namespace

int RunExport(int argumentCount, const char* const* arguments) {
    CommandLine commandLine;
    if (!StartCompanionRun(Syntax, argumentCount, arguments, commandLine)) {
        return 0;
    }
    ExportRequest request;
    std::string problem = commandLine.Problem;
    if (commandLine.Request == CommandRequest::Wrong || commandLine.Operands.size() != 2 ||
        !ReadRequest(commandLine, request, problem)) {
        PrintUsageError(Syntax, problem);
        return NotWritten;
    }
    request.Input = commandLine.Operands[0];
    request.Output = commandLine.Operands[1];
    // A module that runs many exports starts each from a fresh state.
    ResetConversionState();
    return Export(request) ? 0 : NotWritten;
}
