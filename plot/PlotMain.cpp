#include "PlotRun.h"

int main(int argc, char** argv) {
    return RunPlot(argc, argv) ? 0 : -1;
}
