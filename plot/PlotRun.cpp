#include "PlotRun.h"

#include "PlatformFile.h"
#include "PlotDocument.h"
#include "PlotInputs.h"

#include <cstdio>

namespace {

// Opening the picture truncates it, so it must not be one of the calibration
// files under another name, a hard link or a symbolic link.
bool OverwritesInput(const char* plotPath, const PlotInputs& inputs) {
    for (const PlotFile* file :
         {&inputs.RefMicFrom, &inputs.RefMicTo, &inputs.MyMicIn, &inputs.MyMicOut}) {
        if (NameSameFile(plotPath, file->Path)) {
            std::printf("Error - will not overwrite input file %s\n", plotPath);
            return true;
        }
    }
    return false;
}

} // namespace

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
    if (!ReadPlotInputs(inputs) || OverwritesInput(plotPath, inputs)) {
        return false;
    }
    return WritePlotDocument(plotPath, inputs);
}
