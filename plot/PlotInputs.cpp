#include "PlotInputs.h"

#include "EvaluateCurve.h"
#include "LineKind.h"
#include "ReferenceLoader.h"
#include "TextReader.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

void KeepHeaderLine(HeaderLines& headers, std::string_view text) {
    if (headers.Kept.size() < HeaderLinesKept) {
        headers.Kept.emplace_back(text.substr(0, HeaderBytesKept));
    }
    ++headers.Count;
}

// NextLine skips whatever a long line holds beyond its first ReadLimit
// bytes; of a header line the picture shows far less anyway.
bool ReadLines(TextReader& reader, PlotFile& file, bool withPoints) {
    TextLine line;
    ReadResult result;
    while ((result = NextLine(reader, line)) == ReadResult::Line) {
        if (IsHeaderLine(line.Text)) {
            KeepHeaderLine(file.Headers, line.Text);
            continue;
        }
        float values[3];
        if (!withPoints || ScanDataLine(line.Text, values, 3) == 0) {
            continue;
        }
        if (!AppendCurvePoint(file.Curve, values[0], values[1])) {
            std::printf("Error - out of memory reading %s\n", file.Path);
            return false;
        }
    }
    return result == ReadResult::End;
}

bool ReadFile(PlotFile& file, bool withPoints) {
    TextReader reader;
    if (!OpenTextReader(file.Path, reader)) {
        return false;
    }
    if (!ReadLines(reader, file, withPoints)) {
        CloseFile(reader.File);
        return false;
    }
    return CloseTextReader(reader);
}

struct FrequencySpan {
    float Lowest = std::numeric_limits<float>::infinity();
    float Highest = -std::numeric_limits<float>::infinity();
};

// The points need not come in order, so the ends are the extremes.
FrequencySpan SpanOf(const CalibrationCurve& curve) {
    FrequencySpan span;
    for (const float frequency : curve.Frequencies) {
        span.Lowest = std::fmin(span.Lowest, frequency);
        span.Highest = std::fmax(span.Highest, frequency);
    }
    return span;
}

bool IsBeyond(const FrequencySpan& span, float frequency) {
    return frequency < span.Lowest || frequency > span.Highest;
}

// The converter evaluates RefMicFrom, then RefMicTo, line by line, and both
// move the one SegmentHint; the same order gives the same values whatever
// order the reference frequencies come in.
bool EvaluateCorrection(PlotInputs& inputs) {
    const CalibrationCurve& in = inputs.MyMicIn.Curve;
    const FrequencySpan fromSpan = SpanOf(inputs.RefMicFrom.Curve);
    const FrequencySpan toSpan = SpanOf(inputs.RefMicTo.Curve);
    for (std::size_t i = 0; i < in.Frequencies.size(); ++i) {
        const float frequency = in.Frequencies[i];
        const float from = EvaluateCurve(inputs.RefMicFrom.Curve, frequency);
        const float to = EvaluateCurve(inputs.RefMicTo.Curve, frequency);
        const auto change = static_cast<float>(static_cast<double>(to) - from);
        const bool extrapolated = IsBeyond(fromSpan, frequency) || IsBeyond(toSpan, frequency);
        if (!AppendCurvePoint(inputs.Correction, frequency, change) ||
            (extrapolated && !AppendCurvePoint(inputs.Extrapolated, frequency, change))) {
            std::printf("Error - out of memory reading %s\n", inputs.MyMicIn.Path);
            return false;
        }
    }
    return true;
}

} // namespace

bool ReadPlotInputs(PlotInputs& inputs) {
    // The references are read twice: once by the converter's own loader for
    // their points and messages, once more for the header lines it skips.
    return LoadReferenceCurve(inputs.RefMicFrom.Path, inputs.RefMicFrom.Curve) &&
           LoadReferenceCurve(inputs.RefMicTo.Path, inputs.RefMicTo.Curve) &&
           ReadFile(inputs.RefMicFrom, false) && ReadFile(inputs.RefMicTo, false) &&
           ReadFile(inputs.MyMicIn, true) && ReadFile(inputs.MyMicOut, true) &&
           EvaluateCorrection(inputs);
}
