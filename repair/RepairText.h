#pragma once

#include "CheckReport.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The kinds of repair, each made only where a line has one reading.
enum class RepairKind {
    Utf16,           // UTF-16 text became UTF-8
    QuotedNumbers,   // the quotes around numbers went
    Separators,      // commas or semicolons between numbers became tabs
    DecimalCommas,   // decimal commas became full stops
    SensFactorQuote, // a Sens Factor line got its opening quote
    Sorted,          // the data lines were put in rising order
    Grouping,        // marks that group digits in thousands went
    Units,           // units went; a "k" for a thousand moved the decimal point
    Typographic,     // typographic minus signs and spaces became plain ones
};
constexpr int RepairKindCount = 9;

// Lines of one kind of repair: how many, and the first few (of the file as
// given, counted from 1).
struct RepairTally {
    std::uint64_t Count = 0;
    std::vector<std::uint64_t> FirstLines;
};

struct RepairOutcome {
    std::string Repaired; // the copy's bytes
    RepairTally Changes[RepairKindCount];
    // The data lines needed sorting, but a line that is no data line stands
    // among them.
    std::uint64_t UnsortedBecauseOf = 0;
    // The data lines needed sorting, but the line that would come first holds
    // a lone CR, which would make the whole copy read with classic Mac OS line
    // ends.
    std::uint64_t UnsortedLoneCarriageReturn = 0;
    // A line with two readings: then nothing is repaired.
    std::uint64_t TwoWaysLine = 0;
    std::string TwoWaysText;
    std::string Readings[2];
    const char* ReadingWords[2] = {};
    bool TwoWaysGrouping = false;
    // The data lines needed sorting, but the columns look swapped, or a lone
    // frequency stands out of order: a sort would hide either.
    bool UnsortedColumnsSwapped = false;
    std::uint64_t UnsortedLoneFrequency = 0;
    // Mended lines whose frequency would break the order of the lines around
    // them: the wrong reading, so they were left as they are.
    RepairTally OutOfOrder;
    // The check's report on the copy.
    CheckReport Remaining;
};

// Repairs the calibration file at path, read by the converter's rules, into
// outcome.Repaired: every byte that no repair touches stays as it was, line
// ends included. Refuses a copyPath that names the file. False when the file
// cannot be read, a line can be read two ways (outcome says which) or memory
// is exhausted; a failure has printed its message, naming path.
bool RepairCalibrationFile(const char* path, const char* copyPath, RepairOutcome& outcome);
