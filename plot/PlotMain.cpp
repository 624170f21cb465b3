#include "PlotRun.h"
#include "ProgramEntry.h"

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
#endif
    return RunProgram(argc, argv, RunPlot);
}
