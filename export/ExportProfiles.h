#pragma once

#include "TextWriter.h"

#include <cstddef>
#include <string_view>

// The shapes of file that other programs read. Every line end is CR LF, as
// in everything Tarvelin writes.
enum class ExportProfile {
    Tsv,             // tabs; header lines as "; " comments
    Frd,             // blanks, always three columns; header lines as "* " comments
    Csv,             // a row of column names, commas, full stops
    CsvDecimalComma, // the same with semicolons and decimal commas
};

bool ProfileNamed(std::string_view name, ExportProfile& profile);

// The longest number written: a sign, nine significant digits, a point and
// an exponent.
constexpr std::size_t ExportNumberMax = 24;

// value in the shortest text that reads back as exactly this float, with a
// decimal comma where asked; inf, -inf and nan as the converter writes them.
// Needs ExportNumberMax bytes at out; returns the end of what it wrote.
char* FormatExportNumber(float value, bool decimalComma, char* out);

// A header line of the file (its text without the line end) in the
// profile's form: a comment line, or for CSV a row of one quoted field.
bool WriteHeaderLine(TextWriter& writer, ExportProfile profile, std::string_view text);

// What comes between the header lines and the points: CSV's row of column
// names; nothing in the other profiles.
bool WriteColumnNames(TextWriter& writer, ExportProfile profile, bool thirdColumn);

// How many columns the profile writes for a file with or without a third
// value.
int ColumnsOf(ExportProfile profile, bool thirdColumn);

// One point, values[0] to values[columns - 1].
bool WritePoint(TextWriter& writer, ExportProfile profile, const float* values, int columns);
