#include "ConversionRun.h"
#include "ProgramEntry.h"

int ProgramMain(int argumentCount, const char* const* arguments) {
    return ExitStatus(RunConversion(argumentCount, arguments));
}
