#include "PlotRun.h"

#include "OverwriteGuard.h"
#include "PlotDocument.h"
#include "PlotInputs.h"

#include <cstdio>

bool RunPlot(int argumentCount, const char* const* arguments) {
    std::fputs("\nTarvelinPlot\n\n", stdout);
    if (argumentCount != 6) {
        std::fputs("usage:\n", stdout);
        std::fputs("TarvelinPlot <RefMicFrom> <RefMicTo> <MyMicIn> <MyMicOut> <Plot.svg>\n\n",
                   stdout);
        return false;
    }
    PlotInputs inputs;
    inputs.RefMicFrom.Path = arguments[1];
    inputs.RefMicTo.Path = arguments[2];
    inputs.MyMicIn.Path = arguments[3];
    inputs.MyMicOut.Path = arguments[4];
    const char* const plotPath = arguments[5];

    // Nothing is written before every input has been read, so any failure
    // leaves an existing picture untouched.
    if (!ReadPlotInputs(inputs) ||
        WouldOverwriteInput(plotPath, {inputs.RefMicFrom.Path, inputs.RefMicTo.Path,
                                       inputs.MyMicIn.Path, inputs.MyMicOut.Path})) {
        return false;
    }
    return WritePlotDocument(plotPath, inputs);
}
