#include "RepairRun.h"

#include "CompanionCommandLine.h"
#include "FindingText.h"
#include "RepairText.h"
#include "ReportText.h"
#include "ShownText.h"
#include "TextWriter.h"

#include <cstdio>
#include <string>

namespace {

constexpr int NothingWritten = 2;

constexpr const char* Forms[] = {"<CalibrationFile> <RepairedFile>"};
constexpr CommandLineSyntax Syntax = {"TarvelinRepair", Forms, {}};

bool WriteCopy(const char* output, const std::string& bytes) {
    TextWriter writer;
    if (!OpenTextWriter(output, writer)) {
        return false;
    }
    if (!WriteText(writer, bytes)) {
        DiscardTextWriter(writer);
        return false;
    }
    return CloseTextWriter(writer);
}

std::string Shown(std::string_view text) {
    std::string shown;
    AppendShownText(shown, text);
    return shown;
}

// What each kind of change did, in the words a person reads.
constexpr const char* ChangeWords[RepairKindCount] = {
    "UTF-16 text became UTF-8",
    "the double quotes around numbers went",
    "commas or semicolons between numbers became tabs",
    "decimal commas became full stops",
    "the Sens Factor line got its opening double quote",
    "the data lines were put in rising order of frequency",
    "marks that grouped digits in thousands went",
    "units went, and a \"k\" for a thousand moved the decimal point",
    "typographic minus signs, spaces and text marks became plain ones",
};

std::string ChangesText(const RepairOutcome& outcome, const char* input, const char* output) {
    std::string text;
    for (int kind = 0; kind < RepairKindCount; ++kind) {
        const RepairTally& tally = outcome.Changes[kind];
        if (tally.Count == 0) {
            continue;
        }
        text += "  " + Count(tally.Count, "line", "lines") + ": " + ChangeWords[kind];
        if (kind != static_cast<int>(RepairKind::Utf16)) {
            text += " (" + LineList(tally.FirstLines, tally.Count) + ")";
        }
        text += "\n";
    }
    std::string unsorted;
    if (outcome.UnsortedBecauseOf != 0) {
        unsorted = "  The data lines are not in rising order of frequency, but line " +
                   std::to_string(outcome.UnsortedBecauseOf) +
                   " stands among them and is no data line, so they were not sorted.\n";
    } else if (outcome.UnsortedColumnsSwapped) {
        unsorted = "  The data lines are not in rising order of frequency, but the second column "
                   "rises where the first does not: the columns look swapped, so they were not "
                   "sorted. Put the frequency first, then repair again.\n";
    } else if (outcome.UnsortedLoneFrequency != 0) {
        unsorted = "  The data lines are not in rising order of frequency, but only line " +
                   std::to_string(outcome.UnsortedLoneFrequency) +
                   " stands out of order, as a typing error in its frequency would, so they were "
                   "not sorted. Correct that frequency, then repair again.\n";
    } else if (outcome.UnsortedLoneCarriageReturn != 0) {
        unsorted = "  The data lines are not in rising order of frequency, but line " +
                   std::to_string(outcome.UnsortedLoneCarriageReturn) +
                   ", which would come first, holds a lone carriage return (CR) that would "
                   "make the whole file read as if its lines ended in CR, so they were not "
                   "sorted. Remove that CR, then repair again.\n";
    }
    if (const RepairTally& t = outcome.OutOfOrder; t.Count > 0) {
        unsorted += "  " + Count(t.Count, "line was", "lines were") + " left as " +
                    (t.Count == 1 ? "it was" : "they were") + ": read as meant, " +
                    (t.Count == 1 ? "its frequency" : "their frequencies") +
                    " would break the order "
                    "of the lines around " +
                    (t.Count == 1 ? "it" : "them") + " (" + LineList(t.FirstLines, t.Count) +
                    ").\n";
    }
    if (text.empty()) {
        return "Nothing needed repair: " + Shown(output) + " is a copy of " + Shown(input) +
               ", byte for byte.\n" + unsorted;
    }
    const std::string said =
        "Repaired " + Shown(input) + " into " + Shown(output) + ":\n" + text + unsorted;
    return said + "Everything else is as it was, byte for byte.\n";
}

// The copy as the check reads it: what is left needs a person.
int RemainingText(const CheckReport& report, const char* output, std::string& text) {
    std::string warnings;
    for (const Finding& finding : report.Findings) {
        if (finding.Level != Severity::Note) {
            AppendFindingLine(warnings, finding);
        }
    }
    if (warnings.empty()) {
        return 0;
    }
    text += "\nStill to look at in " + Shown(output) +
            ", which needs a person (tarvelin-check says more):\n" + warnings;
    return 1;
}

} // namespace

int RunRepair(int argumentCount, const char* const* arguments) {
    const CommandLine commandLine = ParseCommandLine(Syntax, argumentCount, arguments);
    if (AnswerHelpOrVersion(Syntax, commandLine)) {
        return 0;
    }
    PrintBanner(Syntax);
    if (commandLine.Request == CommandRequest::Wrong || commandLine.Operands.size() != 2) {
        PrintUsageError(Syntax, commandLine.Problem);
        return NothingWritten;
    }
    const char* const input = commandLine.Operands[0];
    const char* const output = commandLine.Operands[1];
    RepairOutcome outcome;
    if (!RepairCalibrationFile(input, output, outcome) || !WriteCopy(output, outcome.Repaired)) {
        return NothingWritten;
    }
    std::string said = ChangesText(outcome, input, output);
    const int status = RemainingText(outcome.Remaining, output, said);
    PrintText(said);
    return status;
}
