#include "PlotRun.h"

#include "Catalogue.h"
#include "CompanionCommandLine.h"
#include "OverwriteGuard.h"
#include "PlotDocument.h"
#include "PlotInputs.h"
#include "ProgramEntry.h"

#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr const char* Forms[] = {
    "[--width N] <RefMicFrom> <RefMicTo> <MyMicIn> <MyMicOut> <Plot.svg>"};
constexpr CommandOption Options[] = {
    {"--width", 1, "N", Words("the picture's width in pixels, from 240 to 4000 (960)")},
};
constexpr CommandLineSyntax Syntax = {"TarvelinPlot", Forms, Options};

// The width asked for, or 0 when it is no whole number in the range.
int WidthOf(const CommandLine& commandLine) {
    const GivenOption* const option = FindOption(commandLine, "--width");
    if (option == nullptr) {
        return UsualPlotWidth;
    }
    const std::string_view text = option->Values[0];
    int width = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), width);
    const bool whole = error == std::errc() && end == text.data() + text.size();
    return whole && width >= LeastPlotWidth && width <= MostPlotWidth ? width : 0;
}

bool Plot(const std::vector<const char*>& paths, int width) {
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
    return WritePlotDocument(plotPath, inputs, ChoosePlotLayout(width));
}

} // namespace

int RunPlot(int argumentCount, const char* const* arguments) {
    CommandLine commandLine;
    if (!StartCompanionRun(Syntax, argumentCount, arguments, commandLine)) {
        return 0;
    }
    std::string problem = commandLine.Problem;
    const int width = WidthOf(commandLine);
    if (commandLine.Request == CommandRequest::Run && width == 0) {
        problem = Say(
            // TRANSLATORS: after --width; {least} and {most} are widths in pixels.
            "the width must be a whole number from {least} to {most}",
            {{"least", std::to_string(LeastPlotWidth)}, {"most", std::to_string(MostPlotWidth)}});
    }
    if (!problem.empty() || commandLine.Operands.size() != 5) {
        PrintUsageError(Syntax, problem);
        return ExitStatus(false);
    }
    return ExitStatus(Plot(commandLine.Operands, width));
}
