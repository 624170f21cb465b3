#include "ExportReading.h"

#include "CalibrationFileScan.h"
#include "DroppedLines.h"

#include <cmath>

namespace {

void Count(LineNumbers& lines, std::uint64_t line) {
    if (lines.Count < sizeof lines.First / sizeof lines.First[0]) {
        lines.First[lines.Count] = line;
    }
    ++lines.Count;
}

// Named as the check names them.
bool KindOfDropped(std::string_view text, DroppedKind& kind) {
    switch (DroppedShapeOf(text, MyMicInValueCount)) {
    case DroppedShape::DecimalComma:
    case DroppedShape::Separators:
    case DroppedShape::SpreadsheetCsv:
        kind = DroppedKind::Commas;
        return true;
    case DroppedShape::UnquotedSensFactor:
    case DroppedShape::MisplacedQuote:
        kind = DroppedKind::UnquotedHeader;
        return true;
    case DroppedShape::UnreadableNumber:
        kind = DroppedKind::Unreadable;
        return true;
    case DroppedShape::OneNumber:
        kind = DroppedKind::OneNumber;
        return true;
    case DroppedShape::ZeroFrequency:
        kind = DroppedKind::ZeroFrequency;
        return true;
    case DroppedShape::Words:
        kind = DroppedKind::Words;
        return true;
    case DroppedShape::Blank:
        break;
    }
    return false;
}

bool KeepPoint(ExportReading& reading, const char* path, const JudgedLine& judged) {
    ExportCurve& curve = reading.Curve;
    const float frequency = judged.Values[0];
    const float third = judged.Count > 2 ? judged.Values[2] : 0.0f;
    if (reading.UnusableLine == 0 && !(frequency > 0.0f && std::isfinite(frequency))) {
        reading.UnusableLine = reading.Lines;
        reading.Unusable = frequency;
    }
    const std::vector<float>& f = curve.Response.Frequencies;
    if (reading.NotRisingLine == 0 && !f.empty() && !(frequency > f.back())) {
        reading.NotRisingLine = reading.Lines;
        reading.BeforeNotRising = f.back();
        reading.NotRising = frequency;
    }
    for (int i = 0; i < judged.Count; ++i) {
        if (!std::isfinite(judged.Values[i])) {
            Count(reading.NotFinite, reading.Lines);
            break;
        }
    }
    curve.HasThird = curve.HasThird || judged.Count > 2;
    return AppendCurvePoint(curve.Response, frequency, judged.Values[1], path) &&
           AppendCurvePoint(curve.Third, frequency, third, path);
}

// What the watcher of each line needs: the reading it adds to, and the path
// for the messages.
struct ReadingAndPath {
    ExportReading* Reading;
    const char* Path;
};

bool SeeLine(void* context, const TextReader&, const TextLine& line, const JudgedLine& judged) {
    const ReadingAndPath& file = *static_cast<const ReadingAndPath*>(context);
    ExportReading& reading = *file.Reading;
    ++reading.Lines;
    switch (judged.Kind) {
    case LineKind::Header:
        if (!line.Whole) {
            Count(reading.CutHeaders, reading.Lines);
        }
        return WriteHeaderLine(*reading.Writer, reading.Profile, line.Text);
    case LineKind::Data:
        return KeepPoint(reading, file.Path, judged);
    case LineKind::Other:
        break;
    }
    DroppedKind kind = DroppedKind::Words;
    if (KindOfDropped(line.Text, kind)) {
        Count(reading.Dropped[static_cast<int>(kind)], reading.Lines);
    }
    return true;
}

} // namespace

bool ReadForExport(const char* path, ExportReading& reading) {
    ReadingAndPath file = {&reading, path};
    return ScanCalibrationFile(path, MyMicInValueCount, {SeeLine, &file});
}
