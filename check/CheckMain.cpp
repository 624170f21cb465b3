#include "CheckRun.h"
#include "ProgramEntry.h"

int ProgramMain(int argumentCount, const char* const* arguments) {
    return RunCheck(argumentCount, arguments);
}
