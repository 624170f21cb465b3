#include "TransferCurve.h"

#include "CalibrationCurve.h"
#include "DataLineScan.h"
#include "LineKind.h"
#include "NumberFormatter.h"
#include "PointConversion.h"

namespace {

// A header line of any length is copied whole, its tail piece by piece.
bool CopyHeaderLine(TextReader& input, const TextLine& line, TextWriter& output) {
    if (!WriteText(output, line.Text)) {
        return false;
    }
    bool hasLineEnd = line.HasLineEnd;
    TextLine piece;
    ReadResult result;
    while ((result = NextLinePiece(input, piece)) == ReadResult::Line) {
        if (!WriteText(output, piece.Text)) {
            return false;
        }
        hasLineEnd = piece.HasLineEnd;
    }
    if (result == ReadResult::Failed) {
        return false;
    }
    return !hasLineEnd || WriteLineEnd(output);
}

bool WriteDataLine(TextWriter& output, const float* values, int count) {
    char* p = ReserveText(output, 3 * (FormattedValueMax + 1) + 2);
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            *p++ = ' ';
        }
        p = FormatValue(values[i], p);
    }
    *p++ = '\r';
    *p++ = '\n';
    CommitText(output, p);
    return !output.Failed;
}

} // namespace

bool TransferCurve(TextReader& input, TextWriter& output) {
    if (input.HadByteOrderMark && !WriteText(output, ByteOrderMark)) {
        return false;
    }
    const ConversionReferences references = ReferencesOf(RefMicFromCurve, RefMicToCurve);
    input.BeforeWaiting = FlushTextWriterBeforeWaiting;
    input.BeforeWaitingContext = &output;
    TextLine line;
    ReadResult result;
    while ((result = NextLine(input, line)) == ReadResult::Line) {
        if (IsHeaderLine(line.Text)) {
            if (!CopyHeaderLine(input, line, output)) {
                return false;
            }
            continue;
        }
        float values[MyMicInValueCount];
        const int count = ScanDataLine(line.Text, values, MyMicInValueCount);
        if (count == 0) {
            continue;
        }
        values[1] = ConvertPoint(references, values[0], values[1]).Response;
        if (!WriteDataLine(output, values, count)) {
            return false;
        }
    }
    return result == ReadResult::End;
}
