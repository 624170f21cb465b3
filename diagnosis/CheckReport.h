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

// Every kind of finding; its name ("decimal-comma") is stable, for scripts.
enum class FindingCode {
    FileUnreadable,
    TooFewPoints,
    NoDataLines,
    Utf16,
    QuotedNumbers,
    CommaSeparated,
    DecimalComma,
    UnquotedHeader,
    UnreadableNumber,
    CutOff,
    CutAtEofMark,
    FrequencyInKhz,
    LinearResponse,
    PhaseAsResponse,
    Outlier,
    ImpossibleResponse,
    DroppedPoint,
    PartlyRead,
    DigitGrouping,
    TwoReadings,
    ColumnsSwapped,
    NotAscending,
    WrongSegment,
    IdenticalReferences,
    InputIsReference,
    DifferentSerialNumbers,
    DifferentAngles,
    LargeCorrection,
    FarExtrapolation,
    NonFinite,
    Extrapolated,
    RepeatedFrequency,
    DroppedLines,
    LongLine,
    ExtraValues,
    SensitivityChanged,
};

enum class ArgumentKind {
    Number,   // a float, shown in its shortest form: a frequency, a response
    Decibels, // a level or a change, shown with at most three decimals
    Count,    // a whole number
    Lines,    // line numbers, the first few of Count
    Quoted,   // text from a file, shown as written
    Word,     // one of a few fixed words that tell the forms of a finding apart
};

// One value that a finding names. Names are stable, for scripts, and each
// code always names the same ones.
struct FindingArgument {
    const char* Name = "";
    ArgumentKind Kind = ArgumentKind::Number;
    double Value = 0.0;      // Number, Decibels
    std::uint64_t Count = 0; // Count; with Lines, how many there were in all
    std::vector<std::uint64_t> Lines;
    std::string Text; // Quoted, Word
};

struct Finding {
    Severity Level = Severity::Note;
    FindingCode Code = FindingCode::FileUnreadable;
    FileRole Role = FileRole::File;
    std::uint64_t Line = 0; // 0 where no line is meant
    // How many of the file's dropped lines it names: every dropped line is
    // named by one finding.
    std::uint64_t DroppedLines = 0;
    bool Repairable = false; // tarvelin-repair mends it
    std::vector<FindingArgument> Arguments;
};

// The argument of that name, or nullptr.
const FindingArgument* ArgumentNamed(const Finding& finding, std::string_view name);
// Its value, or 0 (empty text) where the finding does not name it.
double NumberNamed(const Finding& finding, std::string_view name);
std::uint64_t CountNamed(const Finding& finding, std::string_view name);
std::string_view TextNamed(const Finding& finding, std::string_view name);

// Builders of a finding's arguments.
FindingArgument NumberArgument(const char* name, float value);
FindingArgument DecibelsArgument(const char* name, double value);
FindingArgument CountArgument(const char* name, std::uint64_t count);
FindingArgument LinesArgument(const char* name, const std::vector<std::uint64_t>& lines,
                              std::uint64_t total);
FindingArgument QuotedArgument(const char* name, std::string_view text);
FindingArgument WordArgument(const char* name, std::string_view word);

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

// "decimal-comma".
const char* FindingCodeName(FindingCode code);

// 0 when nothing above a note was found, 1 with warnings, 2 with an error.
int ReportStatus(const CheckReport& report);
