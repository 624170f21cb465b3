#pragma once

#include "DataLineScan.h"
#include "LineKind.h"
#include "TextReader.h"

// One line as the converter judges it.
struct JudgedLine {
    LineKind Kind = LineKind::Other;
    int Count = 0; // the values of a data line
    float Values[MyMicInValueCount] = {};
    std::string_view Texts[MyMicInValueCount]; // as the line writes them
};

// A line's text judged with valueCount values, as the converter judges it.
JudgedLine JudgeLine(std::string_view text, int valueCount);

// Sees each line that ScanCalibrationFile reads, with the reader it came
// from. False stops the reading as a failure whose message Seen printed.
// Finished, where given, sees the reader once every line has been read,
// before the file closes.
struct LineWatcher {
    bool (*Seen)(void* context, const TextReader& reader, const TextLine& line,
                 const JudgedLine& judged) = nullptr;
    void* Context = nullptr;
    void (*Finished)(void* context, TextReader& reader) = nullptr;
};

// Reads the file at path line by line and shows each line to watcher, judged
// with valueCount values as the converter judges it. Of a line longer than
// ReadLimit only its start is read. A failure has printed its message:
// "could not open" or "could not read", with the path as passed.
bool ScanCalibrationFile(const char* path, int valueCount, const LineWatcher& watcher);

// The same for text held in memory, read as the file at path would be.
bool ScanCalibrationText(const char* path, std::string_view text, int valueCount,
                         const LineWatcher& watcher);
