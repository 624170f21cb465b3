#pragma once

#include "AuthorsReading.h"
#include "CalibrationCurve.h"
#include "CalibrationFileScan.h"
#include "CheckReport.h"
#include "FrequencySpan.h"
#include "HeaderFacts.h"
#include "MeantReading.h"

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

// A data point as the check remembers it.
struct SeenPoint {
    std::uint64_t Line = 0;
    float Frequency = 0.0f;
    float Response = 0.0f;
};

// How the data lines before the last one were written, column by column, as
// long as they all agree.
struct ColumnPattern {
    std::uint64_t Lines = 0;
    bool CountsAgree = true;
    int Count = 0;
    // Each column is judged by itself: a writer of shortest forms varies the
    // decimals of one column and not of the other.
    bool Agree[MyMicInValueCount] = {true, true, true};
    NumberShape Shapes[MyMicInValueCount];
};

// The line read last, kept until the next one comes: the last of the file
// is the one that tells a file cut short.
struct LastLine {
    std::uint64_t Number = 0;
    bool HasLineEnd = true;
    bool Header = false;
    bool Data = false;
    int Count = 0; // numbers read from its start
    NumberShape Shapes[MyMicInValueCount];
    LineTally* DroppedInto = nullptr;
    std::size_t TextSize = 0;
    char Text[64] = {};
};

// One file as the check reads it, line by line, through the converter's own
// reading: the counts and facts of its report, and tallies of the lines that
// findings speak of.
struct FileFacts {
    FileReport Report;
    // Text held in memory, read instead of the file at Report.Path.
    bool FromText = false;
    std::string_view Text;
    int ValueCount = MyMicInValueCount;
    PointWatcher Points;
    bool Finished = false; // every line was read
    std::string Failure;   // what the converter's reading printed, when it failed
    // Of the data lines.
    FrequencySpan Span;
    float PreviousFrequency = 0.0f;
    float PreviousResponse = 0.0f;
    std::uint64_t FirstDecrease = 0;
    float DecreaseFrom = 0.0f;
    float DecreaseTo = 0.0f;
    std::uint64_t FirstRepeat = 0;
    float Repeated = 0.0f;
    std::uint64_t FirstDifferingRepeat = 0;
    float DifferingRepeat = 0.0f;
    float DifferingResponses[2] = {};
    float LowestResponse = 0.0f;
    float HighestResponse = 0.0f;
    bool AllTinyAndPositive = true;
    std::uint64_t PhaseWraps = 0;
    SeenPoint WrapFrom;
    SeenPoint WrapTo;
    // The last two points, for a lone point whose sign flipped.
    SeenPoint Recent[2];
    LineTally SignFlips;
    float SignFlipNeighbours[2] = {};
    // Lone points far from both neighbours, which agree with each other; a
    // response that no microphone or sound level has; a lone frequency out
    // of the order of the frequencies around it.
    LineTally Spikes;
    float SpikeNeighbours[2] = {};
    LineTally Impossible;
    LineTally LoneFrequencies;
    float LoneFrequencyNeighbours[2] = {};
    float EarlierFrequency = 0.0f; // the one before PreviousFrequency
    // The first column does not rise while the second does: the columns are
    // in another order.
    std::uint64_t FirstColumnFalls = 0;
    bool SecondColumnRises = true;
    bool ColumnsSwapped = false;
    // The reading its author meant, from all of its lines.
    FileReading Reading;
    ReadingVerdict Verdict;
    // The first line after a data line that is no data line, and the same
    // once a data line has come after it: then it stands among the data
    // lines, which cannot be sorted as a block.
    std::uint64_t OtherAfterData = 0;
    std::uint64_t Interruption = 0;
    // Of the data line a sort would put first (the first with the lowest
    // frequency): when the file's first line is a data line, a lone CR in it
    // would make a sorted copy read with classic Mac OS line ends.
    bool FirstLineIsData = false;
    float SortedFirstFrequency = 0.0f;
    bool SortedFirstHoldsLoneCr = false;
    // Lines whose commas could mean two things: none of them is mended.
    std::uint64_t TwoWayLines = 0;
    ColumnPattern Pattern;
    LastLine Last;
    // The last line has no line end and ends sooner than the lines before it.
    bool CutOff = false;
    bool CutOffFewerValues = false;
    bool CutOffDropped = false;
    // Line ends seen.
    bool SawCrLf = false;
    bool SawLf = false;
    bool SawCr = false;
    // What the header and comment lines say about the microphone, the
    // first of each.
    bool HasSensitivity = false;
    bool SensitivityInHeader = false;
    float Sensitivity = 0.0f;
    std::uint64_t SensitivityLine = 0;
    std::string Serial;
    std::uint64_t SerialLine = 0;
    Incidence Angle;
    std::uint64_t AngleLine = 0;
    std::uint64_t PhaseNamedLine = 0;
    bool CutAtEndOfText = false;
    LineTally CommaSeparated;
    LineTally SpreadsheetCsv; // semicolons or commas, and decimal commas
    LineTally DecimalCommaData;
    // Of those, lines whose other numbers have full stops ("50\t-0,45\t2.0"):
    // which mark the author meant there is for a person to say.
    std::uint64_t DecimalCommaAmongPoints = 0;
    LineTally DecimalCommaDropped;
    LineTally UnquotedSensFactor;
    LineTally UnquotedHeader;
    LineTally QuotedNumbers;
    LineTally UnreadableNumbers;
    // Dropped lines that begin like data, for no cause told apart above.
    LineTally UnreadPoints;
    LineTally Dropped[4]; // by DropReason
    LineTally Utf16Lines;
    LineTally LongLines;
    LineTally ExtraValues;
    LineTally NotFinite;
};

// Reads the file at scan.Report.Path: a reference through the converter's
// loader into curve, any other file with MyMicIn's rules. The converter's
// messages are kept in scan.Failure instead of being printed.
void ScanReference(FileFacts& scan, CalibrationCurve& curve);
void ScanUserFile(FileFacts& scan);

// For a program that reads a file's lines itself (the repair, as it writes
// its copy): each line with the converter's judgement of it, in order; then
// how the file ended; then the conclusion, after which the findings can be
// added.
void SeeJudgedLine(FileFacts& scan, const TextLine& line, const JudgedLine& judged);
void SeeFileEnd(FileFacts& scan, bool byteOrderMark, bool bytesAfterEndOfText);
void ConcludeScannedFile(FileFacts& scan);

// The file's frequencies all lie below 50 Hz while, read as kHz, they would
// span the audio band.
bool LooksLikeKilohertz(const FileFacts& scan);

// The findings about the file by itself. kilohertzAlone: the file looks
// like kHz while another file of its conversion does not.
void AddFileFindings(const FileFacts& scan, bool kilohertzAlone, std::vector<Finding>& findings);
