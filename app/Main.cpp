#include "ConversionRun.h"

int main(int argc, char** argv) {
    return RunConversion(argc, argv) ? 0 : -1;
}
