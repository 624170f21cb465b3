#include "ConversionRun.h"

#include "CalibrationCurve.h"
#include "OverwriteGuard.h"
#include "PlatformFile.h"
#include "ReferenceLoader.h"
#include "TextReader.h"
#include "TextWriter.h"
#include "TransferCurve.h"

#include <cstdio>

bool RunConversion(int argumentCount, const char* const* arguments) {
    std::fputs("\nTarvelin\n\n", stdout);
    if (argumentCount != 5) {
        std::fputs("usage:\n", stdout);
        std::fputs("Tarvelin.exe <RefMicFrom> <RefMicTo> <MyMicIn> <MyMicOut>\n\n", stdout);
        return false;
    }
    const char* const refMicFrom = arguments[1];
    const char* const refMicTo = arguments[2];
    const char* const myMicIn = arguments[3];
    const char* const myMicOut = arguments[4];

    // Nothing is written before both references have loaded and MyMicIn has
    // opened, so any of these failures leaves an existing MyMicOut untouched.
    if (!LoadReferenceCurve(refMicFrom, RefMicFromCurve) ||
        !LoadReferenceCurve(refMicTo, RefMicToCurve)) {
        return false;
    }
    TextReader input;
    if (!OpenTextReader(myMicIn, input)) {
        return false;
    }
    if (WouldOverwriteInput(myMicOut, {refMicFrom, refMicTo}, &input.File)) {
        CloseFile(input.File);
        return false;
    }
    TextWriter output;
    if (!OpenTextWriter(myMicOut, output)) {
        CloseFile(input.File);
        return false;
    }
    if (!TransferCurve(input, output)) {
        // The failure has been reported; the files are released quietly.
        CloseFile(input.File);
        DiscardTextWriter(output);
        return false;
    }
    // A read error that shows only as MyMicIn closes may have cut it short:
    // MyMicOut is then not replaced either.
    if (!CloseTextReader(input)) {
        DiscardTextWriter(output);
        return false;
    }
    return CloseTextWriter(output);
}
