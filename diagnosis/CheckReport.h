#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the check finds in calibration files: a plain report that the text
// and JSON forms only show.

enum class Severity {
    Note,    // worth knowing
    Warning, // the result is probably not what the user wants
    Error,   // the converter would refuse these files
};

enum class FileRole { RefMicFrom, RefMicTo, MyMicIn, File };

struct Finding {
    Severity Level = Severity::Note;
    std::string Code; // stable, for scripts: "decimal-comma"
    FileRole Role = FileRole::File;
    std::uint64_t Line = 0; // 0 where no line is meant
    std::string Message;    // what happened and what to do, in a sentence or two
    // How many of the file's dropped lines it names: every dropped line is
    // named by one finding.
    std::uint64_t DroppedLines = 0;
    bool Repairable = false; // tarvelin-repair mends it
};

enum class LineEndKind { None, CrLf, Lf, Cr, Mixed };

struct FileReport {
    FileRole Role = FileRole::File;
    std::string Path;  // as given
    bool Read = false; // false when the file could not be opened or read
    std::uint64_t Lines = 0;
    std::uint64_t HeaderLines = 0;
    std::uint64_t DataLines = 0;
    std::uint64_t DroppedLines = 0;
    LineEndKind LineEnds = LineEndKind::None;
    bool ByteOrderMark = false;
    bool Utf16 = false; // UTF-16 text, which the converter cannot read
    // Of the data lines, in file order.
    bool HasFrequencies = false;
    float FirstFrequency = 0.0f;
    float LastFrequency = 0.0f;
    bool Ascending = true; // no frequency below the one before it
};

struct ConversionReport {
    bool Made = false; // false for one file, or when a file cannot be used
    std::uint64_t Points = 0;
    std::uint64_t Extrapolated = 0;
    bool HasCorrection = false; // false when no correction is a number
    float CorrectionMin = 0.0f;
    float CorrectionMinFrequency = 0.0f;
    float CorrectionMax = 0.0f;
    float CorrectionMaxFrequency = 0.0f;
};

struct CheckReport {
    std::vector<FileReport> Files;
    ConversionReport Conversion;
    std::vector<Finding> Findings; // errors first, then warnings, then notes
};

const char* RoleName(FileRole role);
const char* SeverityName(Severity level);
const char* LineEndsName(LineEndKind ends);

// A finding's few words for a headline ("Decimal commas"), and its one fix
// in a sentence (empty for a note, which needs none), by its code.
const char* FindingTitle(std::string_view code);
const char* FindingFix(std::string_view code);

// 0 when nothing above a note was found, 1 with warnings, 2 with an error.
int ReportStatus(const CheckReport& report);
