#include "ProgramEntry.h"
#include "RepairRun.h"

int ProgramMain(int argumentCount, const char* const* arguments) {
    return RunRepair(argumentCount, arguments);
}
