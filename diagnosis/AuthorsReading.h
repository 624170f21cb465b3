#pragma once

#include "CalibrationFileScan.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>

// What the author of a file meant its numbers to be, whatever program,
// locale or hand wrote them: which mark is the decimal point, which groups
// thousands, what separates the columns, and the units, quotes and
// typographic characters around them. A line has that reading only where
// the whole file has one: each way of writing numbers is tried on every
// line, and the ways that read the most lines alike are the file's.

// How digits are grouped in thousands, if they are: "1.002,579",
// "1,002.579", "1 002,579", "1 002,579" (a no-break or narrow space),
// "1'002.579".
enum class GroupMark : std::uint8_t { None, FullStop, Comma, Blank, Space, Apostrophe };

struct NumberStyle {
    char Decimal = '.';
    GroupMark Group = GroupMark::None;
    bool CommaSeparates = false; // commas between numbers, as a CSV has them
};

// Every way of writing numbers that is tried; the first is the converter's
// own, which a file it reads whole is taken to be written in.
constexpr int NumberStyleCount = 20;
extern const NumberStyle NumberStyles[NumberStyleCount];

// A line may hold more values than the converter reads; this many are kept.
constexpr int MeantValueLimit = 6;

// What a line's reading in one style took away or changed, each a kind of
// mending the repair names.
struct MeantChanges {
    bool Quotes = false;        // double quotes around numbers or the line
    bool Separators = false;    // commas, semicolons or special spaces between numbers
    bool DecimalCommas = false; // a decimal comma became a full stop
    bool Grouping = false;      // marks that group thousands went
    bool Units = false;         // "Hz", "kHz", "dB" went; a "k" moved the point
    bool Typographic = false;   // a typographic minus, space or a spreadsheet's text mark
};

// One line read in one style.
struct StyledLine {
    int Count = 0; // 0: the line is no line of numbers in this style
    // Each value as plain text the converter reads ("1002.579"), every digit
    // of it as written, and its value.
    std::string Texts[MeantValueLimit];
    // Converted from the texts only when asked for.
    mutable float Values[MeantValueLimit] = {};
    mutable bool HasValues = false;
    MeantChanges Changes;
    bool Shifted = false; // a "k" moved a decimal point
    // The line as meant, when asked for: each number in its plain form, a
    // tab for a separator that is not blanks or tabs, every other byte kept.
    std::string Mended;
};

// Reads text, a line of a file without its line end, in one style. False
// when it is not a line of two or more numbers in that style.
bool ReadInStyle(std::string_view text, const NumberStyle& style, bool mend, StyledLine& line);

// A line that is read otherwise, as a finding shows it.
struct MeantExample {
    std::uint64_t Line = 0;
    std::string Text;
    int ReadCount = 0; // the converter's values, none for a dropped line
    float Read[MyMicInValueCount] = {};
    int MeantCount = 0;
    float Meant[MyMicInValueCount] = {};
};

// How the styles read every line of one shape.
struct ShapeReading {
    bool Cached = false; // false: such lines are read one by one
    // The styles grouped by the marks that matter to the shape: each group
    // reads it alike. Group[s] is the first style of s's group.
    int Group[NumberStyleCount] = {};
    bool Read[NumberStyleCount] = {};
    int Count[NumberStyleCount] = {};
    bool Grouping[NumberStyleCount] = {};
    // Each group's values, digits as 1s, one after another, and where each
    // value ends.
    std::string Values[NumberStyleCount];
    std::size_t Ends[NumberStyleCount][MeantValueLimit] = {};
};

// The reading of a whole file, gathered line by line.
struct StyleTally {
    // Lines read, by how many values (2, 3, 4, 5 and more).
    std::uint64_t ByCount[4] = {};
    // The styles that read some line otherwise than this one, one bit each.
    std::uint32_t Disagrees = 0;
    // Lines that this style reads with other values than the converter, or
    // that the converter drops; of those, the converter's data lines.
    std::uint64_t Otherwise = 0;
    std::uint64_t OtherwiseData = 0;
    // The first such data line and the first line with grouped digits: its
    // number, its text, the converter's values and the meant ones.
    MeantExample FirstData;
    MeantExample FirstOtherwise;
    std::uint64_t Grouped = 0;
    MeantExample FirstGrouped;
};

struct FileReading {
    StyleTally Styles[NumberStyleCount];
    // Lines the converter reads whole, which every style that reads them
    // reads alike: those with a full stop, and those without one, by count.
    std::uint64_t PlainWithPoint[4] = {};
    std::uint64_t PlainWithoutPoint[4] = {};
    std::uint64_t Lines = 0;
    StyledLine Scratch; // room for each line's readings, kept between lines
    // How each style reads lines of one shape: the line with every digit a 1.
    // Lines of one shape are read alike but for their digits, so each shape
    // is read once in each style.
    std::unordered_map<std::string, ShapeReading> Shapes;
    std::string Shape;
    std::string Converter;
};

// Shows one line to the reading: its text as the converter reads it and the
// converter's judgement of it. Header lines are looked at only when they
// could be numbers in quotes.
void SeeLineForReading(FileReading& reading, std::string_view text, const JudgedLine& judged,
                       int valueCount);

// The file's reading, once every line has been seen.
struct ReadingVerdict {
    // The style whose reading is the file's, or -1 when there is none.
    int Style = -1;
    // How many values its lines hold.
    int Count = 0;
    // Two styles read the file's lines differently, and equally well: then
    // no line is read as meant. Style and Other are two of them.
    bool TwoWays = false;
    int Other = -1;
    // Some line is read otherwise than the converter reads it.
    bool Otherwise = false;
};

ReadingVerdict ConcludeReading(const FileReading& reading);

// A line as meant under the file's verdict: true, with the line in its
// style, when that reading holds values other than the converter reads
// (or the converter drops the line).
bool ReadsOtherwise(const ReadingVerdict& verdict, std::string_view text, const JudgedLine& judged,
                    int valueCount, bool mend, StyledLine& line);

// The converter reads the whole of this line, and no style reads it
// otherwise: nothing about it needs looking at.
bool IsPlainLine(std::string_view text, const JudgedLine& judged);

// The same, and whether its numbers hold a full stop: a style with decimal
// commas reads no such line.
enum class PlainLine { No, WithPoint, WithoutPoint };
PlainLine PlainnessOf(std::string_view text, const JudgedLine& judged);

// How a style writes numbers, as a stable name for scripts: "decimal-commas",
// "full-stop-grouping". Styles that read alike to a person share a name.
const char* StyleName(int style);
