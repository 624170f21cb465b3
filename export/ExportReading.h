#pragma once

#include "ExportGrid.h"
#include "ExportProfiles.h"
#include "TextWriter.h"

#include <cstdint>

// Lines of one kind: how many, and the first few.
struct LineNumbers {
    std::uint64_t Count = 0;
    std::uint64_t First[3] = {};
};

// Why the converter drops a line that is neither header nor data line, as
// far as a person can tell from the line. Blank lines lose nothing and are
// not counted.
enum class DroppedKind {
    Commas,         // numbers separated by commas or semicolons, or decimal commas
    UnquotedHeader, // a header line without its opening double quote
    Unreadable,     // a number that cannot be read
    Words,          // words or comments
    OneNumber,      // a number alone
    ZeroFrequency,  // a point at 0 Hz
};
constexpr int DroppedKinds = 6;

// The file read by the converter's rules: its header lines written to the
// export as they come, its points kept in Curve, the lines the converter
// drops counted by kind.
struct ExportReading {
    TextWriter* Writer = nullptr;
    ExportProfile Profile = ExportProfile::Tsv;
    ExportCurve Curve;
    std::uint64_t Lines = 0;
    LineNumbers Dropped[DroppedKinds];
    // Points with a value too large for a float, which is written inf.
    LineNumbers NotFinite;
    // Header lines longer than the reader reads, of which only the start is
    // written.
    LineNumbers CutHeaders;
    // The first point whose frequency is not above 0 Hz or not finite, and
    // the first whose frequency does not rise above the one before it; only
    // a grid or a range needs them to.
    std::uint64_t UnusableLine = 0;
    float Unusable = 0.0f;
    std::uint64_t NotRisingLine = 0;
    float BeforeNotRising = 0.0f;
    float NotRising = 0.0f;
};

// Reads the file at path into reading, whose Writer and Profile are set. A
// failure (the file, the memory or the writer) has printed its message.
bool ReadForExport(const char* path, ExportReading& reading);
