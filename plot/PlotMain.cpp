#include "PlotRun.h"
#include "ProgramEntry.h"

int ProgramMain(int argumentCount, const char* const* arguments) {
    return RunPlot(argumentCount, arguments);
}
