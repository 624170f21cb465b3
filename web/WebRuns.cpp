// The entries the page calls, one whole run of a program each, on files that
// the page has placed in the in-memory file system. The module lives as long
// as the page, so each run first puts back the state that a fresh process
// starts with, and catches standard output in a file of its own so that the
// page gets exactly the bytes a console would show.

#include "Catalogue.h"
#include "CheckCalibration.h"
#include "CompanionCommandLine.h"
#include "ConversionRun.h"
#include "DerivationPlot.h"
#include "DeriveRun.h"
#include "ExportRun.h"
#include "FloatText.h"
#include "Messages.h"
#include "PlotRun.h"
#include "PointConversion.h"
#include "ProgramEntry.h"
#include "RepairRun.h"
#include "ReportJson.h"
#include "ShownText.h"

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Standard output goes to messagesPath, which starts empty.
bool StartRun(const char* messagesPath) {
    ResetConversionState();
    return std::freopen(messagesPath, "w", stdout) != nullptr;
}

// A program's whole run, as its entry would make it.
using ProgramRun = bool (*)(int argumentCount, const char* const* arguments);

int RunWithArguments(const std::vector<std::string>& arguments, ProgramRun run) {
    std::vector<const char*> vector;
    for (const std::string& argument : arguments) {
        vector.push_back(argument.c_str());
    }
    vector.push_back(nullptr);
    const bool succeeded = run(static_cast<int>(arguments.size()), vector.data());
    std::fflush(stdout);
    return ExitStatus(succeeded);
}

void AppendStrings(std::string& out, const std::vector<std::string>& texts) {
    out += "[";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        out += i == 0 ? "" : ", ";
        AppendJsonString(out, texts[i]);
    }
    out += "]";
}

void AppendField(std::string& out, const char* name, const std::string& text) {
    out += ", \"";
    out += name;
    out += "\": ";
    if (text.empty()) {
        out += "null";
    } else {
        AppendJsonString(out, text);
    }
}

// The refusal, as its one message said it, without the line end.
std::string RefusalOf(std::string said) {
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r')) {
        said.pop_back();
    }
    return said;
}

// Values as the shortest text that reads back as the same float.
void AppendNumbers(std::string& out, const std::vector<float>& values) {
    out += "[";
    char text[32];
    for (std::size_t i = 0; i < values.size(); ++i) {
        out += i == 0 ? "" : ", ";
        const auto [end, error] = FormatShortest(text, text + sizeof text, values[i]);
        out.append(text, error == std::errc{} ? end : text);
    }
    out += "]";
}

const char* WarningCode(DerivationWarningCode code) {
    switch (code) {
    case DerivationWarningCode::StraysFromZero:
        return "strays-from-zero";
    case DerivationWarningCode::LooksLikeCalibration:
        return "looks-like-calibration";
    case DerivationWarningCode::LevelsDiffer:
        return "levels-differ";
    case DerivationWarningCode::PhaseSecond:
        break;
    }
    return "phase-second";
}

const char* FileRole(DerivationFile file) {
    switch (file) {
    case DerivationFile::RefMicCal:
        return "RefMicCal";
    case DerivationFile::RefMicMeasured:
        return "RefMicMeasured";
    case DerivationFile::MyMicMeasured:
        return "MyMicMeasured";
    case DerivationFile::MyMicCal:
        break;
    }
    return "MyMicCal";
}

void AppendDerivationJson(std::string& out, const DeriveSaid& said) {
    const Derivation& made = said.Made;
    AppendField(out, "written", said.Written);
    AppendField(out, "narrowed", said.Narrowed);
    AppendField(out, "headerLine", made.HeaderLine);
    out += ", \"warnings\": [";
    for (std::size_t i = 0; i < made.Warnings.size(); ++i) {
        const DerivationWarning& warning = made.Warnings[i];
        out += i == 0 ? "{ \"code\": " : ", { \"code\": ";
        AppendJsonString(out, WarningCode(warning.Code));
        out += ", \"role\": ";
        AppendJsonString(out, FileRole(warning.File));
        out += ", \"line\": " + std::to_string(warning.Line);
        AppendField(out, "sentence", i < said.Warnings.size() ? said.Warnings[i] : std::string());
        out += " }";
    }
    out += "], \"curves\": { \"frequencies\": ";
    AppendNumbers(out, made.Frequencies);
    out += ", \"rawDifference\": ";
    AppendNumbers(out, made.RawDifference);
    out += ", \"smoothedDifference\": ";
    AppendNumbers(out, made.SmoothedDifference);
    out += ", \"reference\": ";
    AppendNumbers(out, made.Reference);
    out += ", \"result\": ";
    AppendNumbers(out, made.Result);
    out += " }";
}

bool WriteWhole(const char* path, const std::string& text) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

// An option with its value, for a run's arguments; an empty value is an
// option not given.
void AddOption(std::vector<const char*>& arguments, const char* name, const char* value) {
    if (*value != '\0') {
        arguments.insert(arguments.end(), {name, value});
    }
}

void AddRange(std::vector<const char*>& arguments, const char* low, const char* high) {
    if (*low != '\0' || *high != '\0') {
        arguments.insert(arguments.end(), {"--range", low, high});
    }
}

// A program's run, with each failure message it prints copied into refusal.
template <typename Run> int RunCopyingRefusal(std::string& refusal, Run run) {
    CopiedMessages = &refusal;
    const int status = run();
    CopiedMessages = nullptr;
    std::fflush(stdout);
    return status;
}

} // namespace

extern "C" {

// The language the page's user chose, for every run after it.
void UseLanguage(const char* name) {
    AskForLanguage(name);
    SetLanguage(UsersLanguage());
}

// The converter with arguments RefMicFrom RefMicTo MyMicIn MyMicOut; its exit
// status.
int ConvertFiles(const char* refMicFrom, const char* refMicTo, const char* myMicIn,
                 const char* myMicOut, const char* messagesPath) {
    if (!StartRun(messagesPath)) {
        return -1;
    }
    return RunWithArguments({"Tarvelin", refMicFrom, refMicTo, myMicIn, myMicOut}, RunConversion);
}

// The plotting program with the four calibration files, the picture's path
// and its width, as the option's text. The files are named after "--", so
// that one named like an option ("-mic.txt") is still a file.
int PlotFiles(const char* refMicFrom, const char* refMicTo, const char* myMicIn,
              const char* myMicOut, const char* plotPath, const char* width,
              const char* messagesPath) {
    if (!StartRun(messagesPath)) {
        return -1;
    }
    return RunWithArguments(
        {"TarvelinPlot", "--width", width, "--", refMicFrom, refMicTo, myMicIn, myMicOut, plotPath},
        [](int count, const char* const* arguments) { return RunPlot(count, arguments) == 0; });
}

// The check of the three files, its report as JSON, as TarvelinCheck --json
// prints it. It writes no MyMicOut; its name comes as for every entry.
int CheckFiles(const char* refMicFrom, const char* refMicTo, const char* myMicIn, const char*,
               const char* reportPath) {
    if (!StartRun(reportPath)) {
        return -1;
    }
    const CheckReport report = CheckConversion(refMicFrom, refMicTo, myMicIn);
    const std::string json = ReportAsJson(report);
    std::fwrite(json.data(), 1, json.size(), stdout);
    std::fflush(stdout);
    return ReportStatus(report);
}

// The repair of one calibration file into a copy; its exit status. What it
// said goes to reportPath as one JSON object, in parts: the heading, the
// changes, the notes, the closing, the findings still to look at, and the
// refusal where it wrote nothing.
int RepairFiles(const char* calibrationFile, const char* repairedFile, const char* messagesPath,
                const char* reportPath) {
    if (!StartRun(messagesPath)) {
        return 2;
    }
    // After "--", so that a file named like an option ("-mic.csv") is a file.
    const char* const arguments[] = {"TarvelinRepair", "--", calibrationFile, repairedFile,
                                     nullptr};
    RepairSaid said;
    std::string refusal;
    const int status = RunCopyingRefusal(refusal, [&] { return RunRepair(4, arguments, &said); });
    std::string json = "{ \"status\": " + std::to_string(status);
    AppendField(json, "heading", said.Heading);
    json += ", \"changes\": ";
    AppendStrings(json, said.Changes);
    json += ", \"notes\": ";
    AppendStrings(json, said.Notes);
    AppendField(json, "closing", said.Closing);
    AppendField(json, "remainingHeading", said.RemainingHeading);
    json += ", \"remaining\": [";
    for (std::size_t i = 0; i < said.Remaining.size(); ++i) {
        json += i == 0 ? "" : ", ";
        AppendFindingJson(json, said.Remaining[i]);
    }
    json += "]";
    AppendField(json, "refusal", status == 2 ? RefusalOf(refusal) : std::string());
    json += " }\n";
    return WriteWhole(reportPath, json) ? status : 2;
}

// The export of one calibration file, with the options as TarvelinExport takes
// them; an empty value is an option not given. Its exit status. What it said
// goes to reportPath as one JSON object: its notes on the file exported, or
// the refusal where it wrote none.
int ExportFiles(const char* file, const char* exported, const char* profile,
                const char* pointsPerOctave, const char* low, const char* high,
                const char* maxPoints, const char* messagesPath, const char* reportPath) {
    constexpr int NotWritten = 2;
    if (!StartRun(messagesPath)) {
        return NotWritten;
    }
    std::vector<const char*> arguments = {"TarvelinExport"};
    AddOption(arguments, "--to", profile);
    AddOption(arguments, "--points-per-octave", pointsPerOctave);
    AddRange(arguments, low, high);
    AddOption(arguments, "--max-points", maxPoints);
    // Whatever the names, they are the files'.
    arguments.insert(arguments.end(), {"--", file, exported});
    std::vector<std::string> notes;
    std::string refusal;
    const int status = RunCopyingRefusal(refusal, [&] {
        return RunExport(static_cast<int>(arguments.size()), arguments.data(), &notes);
    });
    std::string json = "{ \"status\": " + std::to_string(status) + ", \"notes\": ";
    AppendStrings(json, notes);
    AppendField(json, "refusal", status == NotWritten ? RefusalOf(refusal) : std::string());
    json += " }\n";
    return WriteWhole(reportPath, json) ? status : NotWritten;
}

// The derivation of a calibration by comparison, with the options as
// TarvelinDerive takes them (an empty value is an option not given), and
// its picture, width pixels wide, at plotPath when it writes MyMicCal. Its
// exit status. What it said goes to reportPath as one JSON object: what it
// wrote, each warning with its file, line and sentence, the curves drawn,
// or the refusal where it wrote nothing.
int DeriveFiles(const char* refMicCal, const char* refMicMeasured, const char* myMicMeasured,
                const char* myMicCal, const char* smoothing, const char* levelAt,
                const char* pointsPerOctave, const char* low, const char* high,
                const char* plotPath, const char* width, const char* messagesPath,
                const char* reportPath) {
    constexpr int NotWritten = 2;
    if (!StartRun(messagesPath)) {
        return NotWritten;
    }
    std::vector<const char*> arguments = {"TarvelinDerive"};
    AddOption(arguments, "--smoothing", smoothing);
    AddOption(arguments, "--level-at", levelAt);
    AddOption(arguments, "--points-per-octave", pointsPerOctave);
    AddRange(arguments, low, high);
    // Whatever the names, they are the files'.
    arguments.insert(arguments.end(), {"--", refMicCal, refMicMeasured, myMicMeasured, myMicCal});
    DeriveSaid said;
    std::string refusal;
    const int status = RunCopyingRefusal(refusal, [&] {
        return RunDerive(static_cast<int>(arguments.size()), arguments.data(), &said);
    });
    const bool written = status == 0 || status == 1;
    std::string json = "{ \"status\": " + std::to_string(status);
    AppendDerivationJson(json, said);
    AppendField(json, "refusal", written ? std::string() : RefusalOf(refusal));
    json += " }\n";
    // A picture that cannot be drawn leaves the file written and says why
    // in the messages, as the plotting program would.
    std::uint64_t pixels = 0;
    if (written && *plotPath != '\0' &&
        ReadWholeNumber(width, LeastPlotWidth, MostPlotWidth, pixels)) {
        const DerivationPlotNames names = {refMicCal, refMicMeasured, myMicMeasured, myMicCal};
        WriteDerivationPlot(plotPath, said.Made, names, ChoosePlotLayout(static_cast<int>(pixels)));
        std::fflush(stdout);
    }
    return WriteWhole(reportPath, json) ? status : NotWritten;
}

} // extern "C"
