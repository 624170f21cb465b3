#pragma once

#include <string>
#include <string_view>

// The reading that a line with commas, semicolons or quotes was meant to
// have, where the converter drops it or reads it only in part, and how its
// numbers are written.

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

// How a number is written: the digits after its point and the digits of its
// exponent. Machine-written files keep both the same down a column.
struct NumberShape {
    int Decimals = 0;
    int ExponentDigits = 0;
};

NumberShape ShapeOf(std::string_view number);
