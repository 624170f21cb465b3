#include "CheckRun.h"

#include "Catalogue.h"
#include "CheckCalibration.h"
#include "CompanionCommandLine.h"
#include "ReportJson.h"
#include "ReportText.h"
#include "ShownText.h"

#include <cstdio>
#include <string>

namespace {

constexpr int WrongCommandLine = 2;

constexpr const char* Forms[] = {"[--json] <RefMicFrom> <RefMicTo> <MyMicIn>",
                                 "[--json] <CalibrationFile>"};
constexpr CommandOption Options[] = {
    {"--json", 0, "", Words("print the report as one JSON object, for scripts")},
};
constexpr CommandLineSyntax Syntax = {"TarvelinCheck", Forms, Options};

// A script that asked for JSON gets JSON even when its command line is
// wrong: the report's members, empty, with the usage.
std::string WrongCommandLineAsJson(const CommandLine& commandLine) {
    std::string out = "{ \"status\": 2,\n  \"error\": ";
    AppendJsonString(out, commandLine.Problem.empty() ? Say("wrong number of files")
                                                      : commandLine.Problem);
    out += ",\n  \"usage\": ";
    AppendJsonString(out, FormsText(Syntax));
    out += ",\n  \"files\": [],\n  \"conversion\": null,\n  \"findings\": [] }\n";
    return out;
}

} // namespace

int RunCheck(int argumentCount, const char* const* arguments) {
    CommandLine commandLine;
    if (!StartCompanionRun(Syntax, argumentCount, arguments, commandLine, "--json")) {
        return 0;
    }
    const bool json = FindOption(commandLine, "--json") != nullptr;
    const std::size_t files = commandLine.Operands.size();
    if (commandLine.Request == CommandRequest::Wrong || (files != 1 && files != 3)) {
        if (json) {
            PrintText(WrongCommandLineAsJson(commandLine));
        } else {
            PrintUsageError(Syntax, commandLine.Problem);
        }
        return WrongCommandLine;
    }
    const std::vector<const char*>& paths = commandLine.Operands;
    const CheckReport report =
        files == 3 ? CheckConversion(paths[0], paths[1], paths[2]) : CheckCalibrationFile(paths[0]);
    PrintText(json ? ReportAsJson(report) : ReportAsText(report));
    return ReportStatus(report);
}
