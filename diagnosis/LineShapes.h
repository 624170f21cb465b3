#pragma once

#include <string>
#include <string_view>

// Shapes of lines that their writer meant as points or header lines, but that
// the converter drops or reads only in part, and what header lines say about
// their microphone. Each looks at one line's text, and each that asks "would
// it be a data line" asks the converter's own scan.

// Numbers written with a decimal comma: a comma between two digits, in a
// line that has no full stop (where full stops are the decimal points, the
// comma separates).
bool HasDecimalComma(std::string_view text);

// A dropped line whose numbers, whitespace between them, have decimal
// commas: with points for those commas it would be a data line.
bool IsDecimalCommaLine(std::string_view text, int valueCount);

// A dropped line whose numbers are separated by commas or semicolons, as
// spreadsheets write them: with those separators made blanks (and decimal
// commas points) it would be a data line.
bool IsCommaSeparatedLine(std::string_view text, int valueCount);

// How a line with commas or semicolons was meant to be read. Semicolons,
// and blanks or tabs between numbers, separate them, so that a comma between
// two digits is a decimal comma; where commas alone separate, a line without
// full stops may mean either, and is read so only when one reading alone is a
// data line.
enum class LineReading {
    AsItStands, // nothing to mend, or no mending makes it a data line
    Mended,     // Text is the line as meant, a data line
    TwoWays,    // Text with decimal commas, Other with commas between numbers
};

struct MeantLine {
    LineReading Reading = LineReading::AsItStands;
    bool Separators = false;    // commas or semicolons between numbers became tabs
    bool DecimalCommas = false; // decimal commas became full stops
    std::string Text;
    std::string Other;
    // Mended: the values of Text as the converter reads them, and their
    // texts within Text.
    int Count = 0;
    float Values[3] = {};
    std::string_view Texts[3];
};

// A line that the converter drops, or reads as a data line cut short by a
// decimal comma, as it was meant; any other line stands as it is. meant is
// filled anew; a caller that reads many lines keeps one, so that its texts
// keep their room.
void ReadAsMeant(std::string_view text, int valueCount, MeantLine& meant);

// A header line made only of numbers, at least two, each in double quotes
// or not, separated by blanks, tabs, commas or semicolons: a spreadsheet's
// text fields.
bool IsQuotedNumbersLine(std::string_view text);

// The same, and where meant is given, the line as meant in meant->Text: the
// quotes gone, a comma or semicolon between fields a tab, a decimal comma
// within a field a full stop (meant's flags say which were there).
bool ReadQuotedNumbers(std::string_view text, MeantLine* meant);

// A dropped line that starts with a number and goes on with something that
// starts like one but cannot be read: "11.238\t--3.0974".
bool IsUnreadableNumberLine(std::string_view text);

enum class HeaderShape {
    None,
    SensFactor,     // "Sens Factor =-0.8dB, SERNO: ..." without its quote
    MisplacedQuote, // a quote after blanks, or only at the end
};

// A dropped line that reads like a header line whose opening quote is missing
// or not its very first byte.
HeaderShape UnquotedHeaderShape(std::string_view text);

// Why a line that is none of the shapes above is dropped.
enum class DropReason {
    Words,     // words or comments
    OneNumber, // a number alone
    ZeroFrequency,
    Blank,
};

DropReason DropReasonOf(std::string_view text);

// The one shape of a line that the converter drops, told apart in this
// order, so that every program that names dropped lines names them alike.
enum class DroppedShape {
    DecimalComma,   // numbers with decimal commas, blanks or tabs between
    Separators,     // commas or semicolons between numbers
    SpreadsheetCsv, // the same, with decimal commas
    UnquotedSensFactor,
    MisplacedQuote,
    UnreadableNumber,
    Words,
    OneNumber,
    ZeroFrequency,
    Blank,
};

DroppedShape DroppedShapeOf(std::string_view text, int valueCount);

// The sensitivity in dB of a "Sens Factor =-0.8dB" line, quoted or not;
// false when the line holds none.
bool SensitivityOf(std::string_view text, float& decibels);

// The serial number that a line names: "SERNO: 7100500", "serial number
// 14308", "S/N 2298J", "SN 2298J". False when it names none.
bool SerialNumberOf(std::string_view text, std::string& serial);

// The angle of incidence a line says a calibration is for: a number of
// degrees ("90deg", "90 degrees", "90°"), or random incidence. A temperature
// ("23 °C") is no angle.
enum class IncidenceKind { None, Degrees, Random };
struct Incidence {
    IncidenceKind Kind = IncidenceKind::None;
    int Degrees = 0;
};

Incidence IncidenceOf(std::string_view text);

// A line of column names whose second column is a phase: "Freq(Hz)
// Phase(deg) SPL(dB)".
bool NamesPhaseSecond(std::string_view text);

// How a number is written: the digits after its point and the digits of its
// exponent. Machine-written files keep both the same down a column.
struct NumberShape {
    int Decimals = 0;
    int ExponentDigits = 0;
};

NumberShape ShapeOf(std::string_view number);
