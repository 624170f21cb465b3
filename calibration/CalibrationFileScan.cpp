#include "CalibrationFileScan.h"

JudgedLine JudgeLine(std::string_view text, int valueCount) {
    JudgedLine judged;
    if (IsHeaderLine(text)) {
        judged.Kind = LineKind::Header;
    } else if ((judged.Count = ScanDataLine(text, judged.Values, valueCount, judged.Texts)) > 0) {
        judged.Kind = LineKind::Data;
    }
    return judged;
}

namespace {

bool ScanLines(TextReader& reader, int valueCount, const LineWatcher& watcher) {
    TextLine line;
    ReadResult result;
    while ((result = NextLine(reader, line)) == ReadResult::Line) {
        const JudgedLine judged = JudgeLine(line.Text, valueCount);
        if (!watcher.Seen(watcher.Context, reader, line, judged)) {
            return false;
        }
    }
    return result == ReadResult::End;
}

} // namespace

bool ScanCalibrationFile(const char* path, int valueCount, const LineWatcher& watcher) {
    TextReader reader;
    if (!OpenTextReader(path, reader)) {
        return false;
    }
    if (!ScanLines(reader, valueCount, watcher)) {
        CloseFile(reader.File);
        return false;
    }
    if (watcher.Finished != nullptr) {
        watcher.Finished(watcher.Context, reader);
    }
    return CloseTextReader(reader);
}

bool ScanCalibrationText(const char* path, std::string_view text, int valueCount,
                         const LineWatcher& watcher) {
    TextReader reader;
    OpenTextReaderOnText(path, text, reader);
    if (!ScanLines(reader, valueCount, watcher)) {
        return false;
    }
    if (watcher.Finished != nullptr) {
        watcher.Finished(watcher.Context, reader);
    }
    return true;
}
