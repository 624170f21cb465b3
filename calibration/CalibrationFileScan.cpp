#include "CalibrationFileScan.h"

namespace {

bool ScanLines(TextReader& reader, int valueCount, const LineWatcher& watcher) {
    TextLine line;
    ReadResult result;
    while ((result = NextLine(reader, line)) == ReadResult::Line) {
        JudgedLine judged;
        if (IsHeaderLine(line.Text)) {
            judged.Kind = LineKind::Header;
        } else if ((judged.Count =
                        ScanDataLine(line.Text, judged.Values, valueCount, judged.Texts)) > 0) {
            judged.Kind = LineKind::Data;
        }
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
