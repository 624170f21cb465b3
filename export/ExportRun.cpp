#include "ExportRun.h"

#include "Catalogue.h"
#include "CompanionCommandLine.h"
#include "ExportReading.h"
#include "FindingText.h"
#include "FloatText.h"
#include "Messages.h"
#include "OverwriteGuard.h"
#include "PointConversion.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int NotWritten = 2;

constexpr const char* Forms[] = {
    "--to <profile> [--points-per-octave N] [--range LOW HIGH] [--max-points N] "
    "<CalibrationFile> <ExportedFile>"};
constexpr CommandOption Options[] = {
    {"--to", 1, "PROFILE", Words("the shape to write: tsv, frd, csv or csv-decimal-comma")},
    {"--points-per-octave", 1, "N",
     Words("resample onto a logarithmic grid of N points per octave")},
    {"--range", 2, "LOW HIGH",
     Words("the first and last frequency, in Hz, holding the end values")},
    {"--max-points", 1, "N", Words("at most N points: the finest grid that fits, if needed")},
};
constexpr CommandLineSyntax Syntax = {"TarvelinExport", Forms, Options};

struct ExportRequest {
    const char* Input = nullptr;
    const char* Output = nullptr;
    ExportProfile Profile = ExportProfile::Tsv;
    GridRequest Grid;
};

// The options' values; what is wrong has been put in problem.
bool ReadRequest(const CommandLine& commandLine, ExportRequest& request, std::string& problem) {
    const GivenOption* to = FindOption(commandLine, "--to");
    if (to == nullptr) {
        problem = Say("--to is missing: give the shape to write, tsv, frd, csv or "
                      "csv-decimal-comma");
        return false;
    }
    if (!ProfileNamed(to->Values[0], request.Profile)) {
        // TRANSLATORS: {profile} is what was given after --to; the profiles'
        // names stay as they are.
        problem = Say("--to {profile} is no profile: choose tsv, frd, csv or csv-decimal-comma",
                      {{"profile", to->Values[0]}});
        return false;
    }
    GridRequest& grid = request.Grid;
    std::uint64_t number = 0;
    if (const GivenOption* given = FindOption(commandLine, "--points-per-octave")) {
        if (!ReadWholeNumber(given->Values[0], 1, MostPointsPerOctave, number)) {
            problem =
                // TRANSLATORS: {given} is what was given after the option.
                Say("--points-per-octave {given}: give a whole number from 1 to {most}",
                    {{"given", given->Values[0]}, {"most", std::to_string(MostPointsPerOctave)}});
            return false;
        }
        grid.PointsPerOctave = static_cast<int>(number);
    }
    if (!ReadRangeOption(commandLine, grid.HasRange, grid.Low, grid.High, problem)) {
        return false;
    }
    if (const GivenOption* given = FindOption(commandLine, "--max-points")) {
        if (!ReadWholeNumber(given->Values[0], 2, UINT64_MAX, grid.MaxPoints)) {
            // TRANSLATORS: {given} is what was given after the option.
            problem = Say("--max-points {given}: give a whole number of 2 or more",
                          {{"given", given->Values[0]}});
            return false;
        }
    }
    return true;
}

// A grid and a range need frequencies that can be interpolated between.
bool CanChangePoints(const ExportReading& reading, const char* path) {
    if (reading.UnusableLine != 0) {
        const std::string message =
            // TRANSLATORS: {file} is the calibration file's name as given;
            // {frequency} may be 0, negative, inf or nan.
            Say("Error - line {line} of {file} has the frequency {frequency} Hz, and a "
                "grid or a range needs finite frequencies above 0 Hz, so nothing was "
                "exported. Correct or remove that line, or export without "
                "--points-per-octave, --range and --max-points.",
                {{"line", std::to_string(reading.UnusableLine)},
                 {"file", path},
                 {"frequency", ShownNumber(reading.Unusable)}});
        PrintMessage("%s\n", message.c_str());
        return false;
    }
    if (reading.NotRisingLine != 0) {
        const std::string message =
            // TRANSLATORS: {file} is the calibration file's name as given; at
            // line {line} the frequency {frequency} follows {before}.
            Say("Error - the frequencies of {file} do not rise at line {line} ({before} "
                "Hz, then {frequency} Hz), and a grid or a range is interpolated "
                "between rising frequencies, so nothing was exported. Sort the file "
                "from low to high frequency, with no frequency twice, or export without "
                "--points-per-octave, --range and --max-points.",
                {{"file", path},
                 {"line", std::to_string(reading.NotRisingLine)},
                 {"before", ShownNumber(reading.BeforeNotRising)},
                 {"frequency", ShownNumber(reading.NotRising)}});
        PrintMessage("%s\n", message.c_str());
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

// "line 3" or "lines 3, 7, 12, ...".
std::string Lines(const LineNumbers& lines) {
    const std::uint64_t shown = std::min<std::uint64_t>(lines.Count, std::size(lines.First));
    return LineList(std::vector<std::uint64_t>(lines.First, lines.First + shown), lines.Count);
}

// The converter drops such lines as well: the export shows the file as the
// converter reads it, not mended.
std::string DroppedSentence(DroppedKind kind, const LineNumbers& lines) {
    const std::initializer_list<Named> values = {{"lines", Lines(lines)}};
    switch (kind) {
    case DroppedKind::Commas:
        // TRANSLATORS: {lines} is "line 3" or "lines 3, 7, 12, ...", as
        // said elsewhere; the same in the sentences after this one.
        return SayCount("{count} line with decimal commas or with numbers separated by commas or "
                        "semicolons was not exported ({lines}): the converter drops it too; "
                        "tarvelin-check says why.",
                        "{count} lines with decimal commas or with numbers separated by commas or "
                        "semicolons were not exported ({lines}): the converter drops them too; "
                        "tarvelin-check says why.",
                        lines.Count, values);
    case DroppedKind::UnquotedHeader:
        return SayCount("{count} line shaped like a header line without its opening double quote "
                        "was not exported ({lines}): the converter drops it too; tarvelin-check "
                        "says why.",
                        "{count} lines shaped like a header line without its opening double quote "
                        "were not exported ({lines}): the converter drops them too; "
                        "tarvelin-check says why.",
                        lines.Count, values);
    case DroppedKind::Unreadable:
        return SayCount("{count} line with a number that cannot be read was not exported "
                        "({lines}): the converter drops it too; tarvelin-check says why.",
                        "{count} lines with a number that cannot be read were not exported "
                        "({lines}): the converter drops them too; tarvelin-check says why.",
                        lines.Count, values);
    case DroppedKind::Words:
        return SayCount("{count} line with words or comments was not exported ({lines}): the "
                        "converter drops it too; tarvelin-check says why.",
                        "{count} lines with words or comments were not exported ({lines}): the "
                        "converter drops them too; tarvelin-check says why.",
                        lines.Count, values);
    case DroppedKind::OneNumber:
        return SayCount("{count} line with a number alone was not exported ({lines}): the "
                        "converter drops it too; tarvelin-check says why.",
                        "{count} lines with a number alone were not exported ({lines}): the "
                        "converter drops them too; tarvelin-check says why.",
                        lines.Count, values);
    case DroppedKind::ZeroFrequency:
        break;
    }
    return SayCount("{count} line with a frequency of 0 was not exported ({lines}): the "
                    "converter drops it too; tarvelin-check says why.",
                    "{count} lines with a frequency of 0 were not exported ({lines}): the "
                    "converter drops them too; tarvelin-check says why.",
                    lines.Count, values);
}

void NoteDroppedLines(const ExportReading& reading, std::vector<std::string>& notes) {
    for (int kind = 0; kind < DroppedKinds; ++kind) {
        const LineNumbers& lines = reading.Dropped[kind];
        if (lines.Count > 0) {
            notes.push_back(DroppedSentence(static_cast<DroppedKind>(kind), lines));
        }
    }
    if (reading.NotFinite.Count > 0) {
        // TRANSLATORS: {lines} is "line 3" or "lines 3, 7, 12, ..."; inf is
        // what the exported file holds, as it is written there.
        notes.push_back(
            SayCount("{count} line holds a number too large for a float ({lines}), exported "
                     "as inf, which few programs read: tarvelin-check says more.",
                     "{count} lines hold a number too large for a float ({lines}), "
                     "exported as inf, which few programs read: tarvelin-check says more.",
                     reading.NotFinite.Count, {{"lines", Lines(reading.NotFinite)}}));
    }
    if (reading.CutHeaders.Count > 0) {
        // TRANSLATORS: {lines} is "line 3" or "lines 3, 7, 12, ...".
        notes.push_back(
            SayCount("{count} header line is longer than 65536 bytes ({lines}): only its "
                     "first 65536 bytes were exported.",
                     "{count} header lines are longer than 65536 bytes ({lines}): only "
                     "their first 65536 bytes were exported.",
                     reading.CutHeaders.Count, {{"lines", Lines(reading.CutHeaders)}}));
    }
}

// Where the grid runs beyond the file, in the frequencies of the file.
std::string HeldSentence(const HeldPoints& held, const ExportCurve& curve) {
    const std::vector<float>& f = curve.Response.Frequencies;
    const std::uint64_t count = held.Below + held.Above;
    const std::string low = ShownNumber(f.front());
    const std::string high = ShownNumber(f.back());
    if (held.Above == 0) {
        // TRANSLATORS: {low} to {high} are the file's lowest and highest
        // frequencies; the points beyond them take the file's first value.
        return SayCount("{count} point lies beyond the file's frequencies ({low} Hz to {high} "
                        "Hz) and holds its first value: the file has no measurement there.",
                        "{count} points lie beyond the file's frequencies ({low} Hz to {high} "
                        "Hz) and hold its first value: the file has no measurement there.",
                        count, {{"low", low}, {"high", high}});
    }
    if (held.Below == 0) {
        // TRANSLATORS: as before, with the file's last value.
        return SayCount("{count} point lies beyond the file's frequencies ({low} Hz to {high} "
                        "Hz) and holds its last value: the file has no measurement there.",
                        "{count} points lie beyond the file's frequencies ({low} Hz to {high} "
                        "Hz) and hold its last value: the file has no measurement there.",
                        count, {{"low", low}, {"high", high}});
    }
    // TRANSLATORS: {below} points lie below the file's lowest frequency and
    // hold its first value, {above} above its highest and hold its last.
    return SayCount("{count} point lies beyond the file's frequencies ({low} Hz to {high} Hz) "
                    "and holds its first value ({below} below) or its last ({above} above): the "
                    "file has no measurement there.",
                    "{count} points lie beyond the file's frequencies ({low} Hz to {high} Hz) "
                    "and hold its first value ({below} below) or its last ({above} above): the "
                    "file has no measurement there.",
                    count,
                    {{"low", low},
                     {"high", high},
                     {"below", std::to_string(held.Below)},
                     {"above", std::to_string(held.Above)}});
}

void NoteGrid(const ExportRequest& request, const ExportPlan& plan, const ExportCurve& curve,
              const HeldPoints& held, std::vector<std::string>& notes) {
    if (plan.Grid && request.Grid.PointsPerOctave > plan.PointsPerOctave) {
        // TRANSLATORS: the grid has {count} points per octave, not the
        // {asked} that --points-per-octave asked for.
        notes.push_back(
            SayCount("--max-points {maxPoints} allows at most {count} point per octave, so "
                     "the grid has {count} instead of {asked}.",
                     "--max-points {maxPoints} allows at most {count} points per octave, "
                     "so the grid has {count} instead of {asked}.",
                     static_cast<std::uint64_t>(plan.PointsPerOctave),
                     {{"maxPoints", std::to_string(request.Grid.MaxPoints)},
                      {"asked", std::to_string(request.Grid.PointsPerOctave)}}));
    }
    if (held.Below + held.Above > 0) {
        notes.push_back(HeldSentence(held, curve));
    }
}

bool Export(const ExportRequest& request, std::vector<std::string>& notes) {
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
        const std::string message =
            // TRANSLATORS: {file} is the calibration file's name as given.
            Say("Error - {file} has no data lines, so nothing was exported. A "
                "data line is a frequency and a response, separated by blanks "
                "or tabs: tarvelin-check {file} tells what the file holds.",
                {{"file", request.Input}});
        PrintMessage("%s\n", message.c_str());
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
    NoteDroppedLines(reading, notes);
    NoteGrid(request, plan, curve, held, notes);
    for (const std::string& note : notes) {
        PrintText(note + "\n");
    }
    return true;
}

} // namespace

int RunExport(int argumentCount, const char* const* arguments, std::vector<std::string>* notes) {
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
    std::vector<std::string> said;
    const bool exported = Export(request, said);
    if (notes != nullptr) {
        *notes = std::move(said);
    }
    return exported ? 0 : NotWritten;
}
