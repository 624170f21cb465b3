#include "PlotInputs.h"

#include "CalibrationFileScan.h"
#include "PointConversion.h"
#include "ReferenceLoader.h"

namespace {

void KeepHeaderLine(HeaderLines& headers, std::string_view text) {
    if (headers.Kept.size() < HeaderLinesKept) {
        headers.Kept.emplace_back(text.substr(0, HeaderBytesKept));
    }
    ++headers.Count;
}

// Of a long header line only its start is read; the picture shows far less
// anyway.
bool KeepHeaders(void* context, const TextReader&, const TextLine& line, const JudgedLine& judged) {
    if (judged.Kind == LineKind::Header) {
        KeepHeaderLine(*static_cast<HeaderLines*>(context), line.Text);
    }
    return true;
}

bool KeepHeadersAndPoints(void* context, const TextReader& reader, const TextLine& line,
                          const JudgedLine& judged) {
    auto& file = *static_cast<PlotFile*>(context);
    KeepHeaders(&file.Headers, reader, line, judged);
    return judged.Kind != LineKind::Data ||
           AppendCurvePoint(file.Curve, judged.Values[0], judged.Values[1], file.Path);
}

bool LoadReference(PlotFile& file) {
    const LineWatcher watcher = {KeepHeaders, &file.Headers};
    return LoadReferenceCurve(file.Path, file.Curve, &watcher);
}

// MyMicIn and MyMicOut are read by MyMicIn's rules, as the converter reads
// MyMicIn.
bool ReadCurveFile(PlotFile& file) {
    return ScanCalibrationFile(file.Path, MyMicInValueCount, {KeepHeadersAndPoints, &file});
}

// In the converter's order of evaluations, so that the values are the
// converter's whatever order the reference frequencies come in.
bool EvaluateCorrection(PlotInputs& inputs) {
    const CalibrationCurve& in = inputs.MyMicIn.Curve;
    const ConversionReferences references =
        ReferencesOf(inputs.RefMicFrom.Curve, inputs.RefMicTo.Curve);
    for (std::size_t i = 0; i < in.Frequencies.size(); ++i) {
        const float frequency = in.Frequencies[i];
        const ConvertedPoint point = ConvertPoint(references, frequency, in.Responses[i]);
        if (!AppendCurvePoint(inputs.Correction, frequency, point.Correction,
                              inputs.MyMicIn.Path) ||
            (point.Extrapolated && !AppendCurvePoint(inputs.Extrapolated, frequency,
                                                     point.Correction, inputs.MyMicIn.Path))) {
            return false;
        }
    }
    return true;
}

} // namespace

bool ReadPlotInputs(PlotInputs& inputs) {
    return LoadReference(inputs.RefMicFrom) && LoadReference(inputs.RefMicTo) &&
           ReadCurveFile(inputs.MyMicIn) && ReadCurveFile(inputs.MyMicOut) &&
           EvaluateCorrection(inputs);
}
