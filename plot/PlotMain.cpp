#include "PlotRun.h"
#include "ProgramEntry.h"

bool ProgramMain(int argumentCount, const char* const* arguments) {
    return RunPlot(argumentCount, arguments);
}
