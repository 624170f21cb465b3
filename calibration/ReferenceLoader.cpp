#include "ReferenceLoader.h"

#include "LineKind.h"
#include "TextReader.h"

#include <algorithm>
#include <cstdio>

namespace {

bool ReadPoints(TextReader& reader, CalibrationCurve& curve) {
    TextLine line;
    ReadResult result;
    while ((result = NextLine(reader, line)) == ReadResult::Line) {
        float values[2];
        if (IsHeaderLine(line.Text) || ScanDataLine(line.Text, values, 2) == 0) {
            continue;
        }
        if (!AppendCurvePoint(curve, values[0], values[1])) {
            std::printf("Error - out of memory reading %s\n", reader.Path);
            return false;
        }
    }
    return result == ReadResult::End;
}

} // namespace

bool LoadReferenceCurve(const char* path, CalibrationCurve& curve) {
    TextReader reader;
    if (!OpenTextReader(path, reader)) {
        return false;
    }
    if (!ReadPoints(reader, curve)) {
        CloseFile(reader.File);
        return false;
    }
    if (!CloseTextReader(reader)) {
        return false;
    }
    if (curve.Frequencies.size() < 2) {
        std::printf("Error - invalid file %s\n", path);
        return false;
    }
    // Written so that a not-a-number counts as a decrease.
    curve.FrequenciesNeverDecrease =
        std::adjacent_find(curve.Frequencies.begin(), curve.Frequencies.end(),
                           [](float a, float b) { return !(a <= b); }) == curve.Frequencies.end();
    return true;
}
