#include "DeriveRun.h"
#include "ProgramEntry.h"

int ProgramMain(int argumentCount, const char* const* arguments) {
    return RunDerive(argumentCount, arguments);
}
