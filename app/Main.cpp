#include "ConversionRun.h"
#include "ProgramEntry.h"

// On Windows the entry is wmain, so that paths outside the ANSI code page
// reach the run intact; RunProgram hands them on as UTF-8.
#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
#endif
    return RunProgram(argc, argv, RunConversion);
}
