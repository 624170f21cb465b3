#include "CheckReport.h"

#include <algorithm>
#include <iterator>

namespace {

struct FindingWords {
    std::string_view Code;
    const char* Title;
    const char* Fix;
};

constexpr FindingWords Words[] = {
    {"file-unreadable", "File cannot be read", "Check the path, and that the file is there."},
    {"too-few-points", "Too few points",
     "Give the reference's calibration file, with at least two data lines."},
    {"no-data-lines", "No data lines",
     "A data line is a frequency and a response, separated by blanks or tabs."},
    {"utf-16", "UTF-16 text", "Save it as UTF-8 or ANSI text."},
    {"quoted-numbers", "Quoted numbers", "Save it without quotes around the numbers."},
    {"comma-separated", "Spreadsheet CSV",
     "Save it as tab-separated text with full stops as decimal points."},
    {"decimal-comma", "Decimal commas", "Save it with full stops as decimal points."},
    {"unquoted-header", "Header line without its quote",
     "Put a double quote at the very start of the line."},
    {"unreadable-number", "Unreadable number", "Correct the numbers on that line."},
    {"cut-off", "File cut off", "Get the whole file again from where it came."},
    {"cut-at-eof-mark", "End-of-file mark", "Remove the 0x1A byte if points follow it."},
    {"frequency-in-khz", "Looks like kHz", "If they are kHz, multiply the frequencies by 1000."},
    {"linear-response", "Linear values, not dB", "Export the calibration in dB."},
    {"phase-as-response", "Phase as the response", "Put the level in the second column."},
    {"outlier", "Lone point", "Check the numbers on that line."},
    {"impossible-response", "Impossible level", "Check the numbers on that line."},
    {"dropped-point", "Point dropped",
     "Write the line as a frequency and a response, separated by blanks or tabs."},
    {"partly-read", "Numbers read in part",
     "Write the numbers with full stops as decimal points and blanks or tabs between them."},
    {"digit-grouping", "Grouped digits", "Write the numbers without marks between their digits."},
    {"two-readings", "Two readings",
     "Write the numbers with full stops as decimal points and no marks between their digits."},
    {"columns-swapped", "Columns swapped", "Put the frequency first and the response second."},
    {"not-ascending", "Frequencies not rising", "Sort the file from low to high frequency."},
    {"wrong-segment", "Wrong reference segment", "Sort the reference from low to high frequency."},
    {"identical-references", "Same reference twice",
     "Give the reference's old calibration, then its new one."},
    {"input-is-reference", "A reference as MyMicIn",
     "Give your own microphone's calibration as MyMicIn."},
    {"different-serial-numbers", "Two microphones",
     "Give two calibrations of the same reference microphone."},
    {"different-angles", "Two angles", "Give two calibrations of the same angle."},
    {"large-correction", "Large correction",
     "Check that both references are calibrations of the same microphone."},
    {"far-extrapolation", "Far beyond the references",
     "Use references that cover those frequencies."},
    {"non-finite", "Infinite value", "Check the numbers."},
    {"extrapolated", "Beyond the references", ""},
    {"repeated-frequency", "Repeated frequency", ""},
    {"dropped-lines", "Lines dropped", ""},
    {"long-line", "Long line", ""},
    {"extra-values", "Extra numbers", ""},
    {"sensitivity-changed", "Sensitivity changed", ""},
};

const FindingWords* WordsOf(std::string_view code) {
    const auto found =
        std::find_if(std::begin(Words), std::end(Words),
                     [code](const FindingWords& words) { return words.Code == code; });
    return found == std::end(Words) ? nullptr : found;
}

} // namespace

const char* FindingTitle(std::string_view code) {
    const FindingWords* words = WordsOf(code);
    return words != nullptr ? words->Title : "Finding";
}

const char* FindingFix(std::string_view code) {
    const FindingWords* words = WordsOf(code);
    return words != nullptr ? words->Fix : "";
}

const char* RoleName(FileRole role) {
    switch (role) {
    case FileRole::RefMicFrom:
        return "RefMicFrom";
    case FileRole::RefMicTo:
        return "RefMicTo";
    case FileRole::MyMicIn:
        return "MyMicIn";
    case FileRole::File:
        break;
    }
    return "File";
}

const char* SeverityName(Severity level) {
    switch (level) {
    case Severity::Note:
        return "note";
    case Severity::Warning:
        return "warning";
    case Severity::Error:
        break;
    }
    return "error";
}

const char* LineEndsName(LineEndKind ends) {
    switch (ends) {
    case LineEndKind::None:
        return "none";
    case LineEndKind::CrLf:
        return "CRLF";
    case LineEndKind::Lf:
        return "LF";
    case LineEndKind::Cr:
        return "CR";
    case LineEndKind::Mixed:
        break;
    }
    return "mixed";
}

int ReportStatus(const CheckReport& report) {
    int status = 0;
    for (const Finding& finding : report.Findings) {
        if (finding.Level == Severity::Error) {
            return 2;
        }
        if (finding.Level == Severity::Warning) {
            status = 1;
        }
    }
    return status;
}
