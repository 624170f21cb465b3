#include "ExportRun.h"
#include "ProgramEntry.h"

int ProgramMain(int argumentCount, const char* const* arguments) {
    return RunExport(argumentCount, arguments);
}
