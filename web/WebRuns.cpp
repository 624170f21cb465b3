// The entries the page calls, one whole run of a program each, on files that
// the page has placed in the in-memory file system. The module lives as long
// as the page, so each run first puts back the state that a fresh process
// starts with, and catches standard output in a file of its own so that the
// page gets exactly the bytes a console would show.

#include "Catalogue.h"
#include "CheckCalibration.h"
#include "ConversionRun.h"
#include "ExportRun.h"
#include "PlotRun.h"
#include "PointConversion.h"
#include "ProgramEntry.h"
#include "RepairRun.h"
#include "ReportJson.h"

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

// The repair of one calibration file into a copy; its exit status.
int RepairFiles(const char* calibrationFile, const char* repairedFile, const char* messagesPath) {
    if (!StartRun(messagesPath)) {
        return 2;
    }
    // After "--", so that a file named like an option ("-mic.csv") is a file.
    const char* const arguments[] = {"TarvelinRepair", "--", calibrationFile, repairedFile,
                                     nullptr};
    const int status = RunRepair(4, arguments);
    std::fflush(stdout);
    return status;
}

// The export of one calibration file, with the options as TarvelinExport takes
// them; an empty value is an option not given. Its exit status.
int ExportFiles(const char* file, const char* exported, const char* profile,
                const char* pointsPerOctave, const char* low, const char* high,
                const char* maxPoints, const char* messagesPath) {
    constexpr int NotWritten = 2;
    if (!StartRun(messagesPath)) {
        return NotWritten;
    }
    std::vector<const char*> arguments = {"TarvelinExport"};
    const auto option = [&arguments](const char* name, const char* value) {
        if (*value != '\0') {
            arguments.insert(arguments.end(), {name, value});
        }
    };
    option("--to", profile);
    option("--points-per-octave", pointsPerOctave);
    if (*low != '\0' || *high != '\0') {
        arguments.insert(arguments.end(), {"--range", low, high});
    }
    option("--max-points", maxPoints);
    // Whatever the names, they are the files'.
    arguments.insert(arguments.end(), {"--", file, exported});
    const int status = RunExport(static_cast<int>(arguments.size()), arguments.data());
    std::fflush(stdout);
    return status;
}

} // extern "C"
