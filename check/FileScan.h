#pragma once

#include "CalibrationCurve.h"
#include "CalibrationFileScan.h"
#include "CheckReport.h"

#include <cstdint>
#include <string>
#include <vector>

// Lines of one kind of finding within a file: how many, the first few, and
// what the first one said.
struct LineTally {
    std::uint64_t Count = 0;
    std::vector<std::uint64_t> FirstLines;
    std::string FirstText;
    float FirstValues[MyMicInValueCount] = {};
    int FirstValueCount = 0;
};

// What a point of MyMicIn is shown to, as it is read: the conversion's part
// of the check.
struct PointWatcher {
    void (*Seen)(void* context, std::uint64_t line, const JudgedLine& judged) = nullptr;
    void* Context = nullptr;
};

// One file as the check reads it, line by line, through the converter's own
// reading: the counts and facts of its report, and tallies of the lines that
// findings speak of.
struct FileScan {
    FileReport Report;
    int ValueCount = MyMicInValueCount;
    PointWatcher Points;
    bool Finished = false; // every line was read
    std::string Failure;   // what the converter's reading printed, when it failed
    // Of the data lines.
    float PreviousFrequency = 0.0f;
    std::uint64_t FirstDecrease = 0;
    float DecreaseFrom = 0.0f;
    float DecreaseTo = 0.0f;
    std::uint64_t FirstRepeat = 0;
    float Repeated = 0.0f;
    // Line ends seen.
    bool SawCrLf = false;
    bool SawLf = false;
    bool SawCr = false;
    // Sens Factor header line, first one.
    bool HasSensitivity = false;
    float Sensitivity = 0.0f;
    std::uint64_t SensitivityLine = 0;
    bool CutAtEndOfText = false;
    LineTally CommaSeparated;
    LineTally DecimalCommaData;
    LineTally DecimalCommaDropped;
    LineTally UnquotedSensFactor;
    LineTally UnquotedHeader;
    LineTally OtherDropped;
    LineTally LongLines;
    LineTally ExtraValues;
    LineTally NotFinite;
};

// Reads the file at scan.Report.Path: a reference through the converter's
// loader into curve, any other file with MyMicIn's rules. The converter's
// messages are kept in scan.Failure instead of being printed.
void ScanReference(FileScan& scan, CalibrationCurve& curve);
void ScanUserFile(FileScan& scan);

// The findings about the file by itself.
void AddFileFindings(const FileScan& scan, std::vector<Finding>& findings);
