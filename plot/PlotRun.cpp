#include "PlotRun.h"

#include "CompanionCommandLine.h"
#include "OverwriteGuard.h"
#include "PlotDocument.h"
#include "PlotInputs.h"
#include "ProgramEntry.h"

#include <cstdio>
#include <string>

namespace {

constexpr const char* Forms[] = {"<RefMicFrom> <RefMicTo> <MyMicIn> <MyMicOut> <Plot.svg>"};
constexpr CommandLineSyntax Syntax = {"TarvelinPlot", Forms, {}};

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

bool Plot(const std::vector<const char*>& paths) {
    PlotInputs inputs;
    inputs.RefMicFrom.Path = paths[0];
    inputs.RefMicTo.Path = paths[1];
    inputs.MyMicIn.Path = paths[2];
    inputs.MyMicOut.Path = paths[3];
    const char* const plotPath = paths[4];

    // Nothing is written before every input has been read, so any failure
    // leaves an existing picture untouched.
    if (!ReadPlotInputs(inputs) ||
        WouldOverwriteInput(plotPath, {inputs.RefMicFrom.Path, inputs.RefMicTo.Path,
                                       inputs.MyMicIn.Path, inputs.MyMicOut.Path})) {
        return false;
    }
    return WritePlotDocument(plotPath, inputs);
}

} // namespace

int RunPlot(int argumentCount, const char* const* arguments) {
    const CommandLine commandLine = ParseCommandLine(Syntax, argumentCount, arguments);
    if (commandLine.Request == CommandRequest::Help) {
        Print(HelpText(Syntax));
        return 0;
    }
    if (commandLine.Request == CommandRequest::Version) {
        Print(VersionText(Syntax));
        return 0;
    }
    std::fputs("\nTarvelinPlot\n\n", stdout);
    if (commandLine.Request == CommandRequest::Wrong || commandLine.Operands.size() != 5) {
        if (!commandLine.Problem.empty()) {
            Print("Error - " + commandLine.Problem + "\n");
        }
        Print(UsageText(Syntax));
        return ExitStatus(false);
    }
    return ExitStatus(Plot(commandLine.Operands));
}
