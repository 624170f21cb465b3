#include "ConversionRun.h"
#include "ProgramEntry.h"

bool ProgramMain(int argumentCount, const char* const* arguments) {
    return RunConversion(argumentCount, arguments);
}
