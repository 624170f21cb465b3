#pragma once

#include <string_view>

// Shapes of lines that their writer meant as points or header lines, but that
// the converter drops. Each looks at one line's text, and each that asks
// "would it be a data line" asks the converter's own scan.

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
