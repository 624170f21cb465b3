#include "RepairRun.h"

#include "Catalogue.h"
#include "CompanionCommandLine.h"
#include "FindingText.h"
#include "RepairText.h"
#include "ReportText.h"
#include "ShownText.h"
#include "TextWriter.h"

#include <cstdio>
#include <string>
#include <utility>

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

// What one kind of change did to how many lines, which lines says.
std::string ChangeWords(RepairKind kind, std::uint64_t count, const std::string& lines) {
    const std::initializer_list<Named> named = {{"lines", lines}};
    switch (kind) {
    case RepairKind::Utf16:
        return SayCount("{count} line: UTF-16 text became UTF-8",
                        "{count} lines: UTF-16 text became UTF-8", count);
    case RepairKind::QuotedNumbers:
        // TRANSLATORS: {lines} lists the first lines mended, such as
        // "lines 3, 7, 12".
        return SayCount("{count} line: the double quotes around numbers went ({lines})",
                        "{count} lines: the double quotes around numbers went ({lines})", count,
                        named);
    case RepairKind::Separators:
        return SayCount("{count} line: commas or semicolons between numbers became tabs ({lines})",
                        "{count} lines: commas or semicolons between numbers became tabs "
                        "({lines})",
                        count, named);
    case RepairKind::DecimalCommas:
        return SayCount("{count} line: decimal commas became full stops ({lines})",
                        "{count} lines: decimal commas became full stops ({lines})", count, named);
    case RepairKind::SensFactorQuote:
        return SayCount("{count} line: the Sens Factor line got its opening double quote "
                        "({lines})",
                        "{count} lines: the Sens Factor line got its opening double quote "
                        "({lines})",
                        count, named);
    case RepairKind::Sorted:
        return SayCount("{count} line: the data lines were put in rising order of frequency "
                        "({lines})",
                        "{count} lines: the data lines were put in rising order of frequency "
                        "({lines})",
                        count, named);
    case RepairKind::Grouping:
        return SayCount("{count} line: marks that grouped digits in thousands went ({lines})",
                        "{count} lines: marks that grouped digits in thousands went ({lines})",
                        count, named);
    case RepairKind::Units:
        return SayCount("{count} line: units went, and a \"k\" for a thousand moved the decimal "
                        "point ({lines})",
                        "{count} lines: units went, and a \"k\" for a thousand moved the "
                        "decimal point ({lines})",
                        count, named);
    case RepairKind::Typographic:
        break;
    }
    return SayCount("{count} line: typographic minus signs, spaces and text marks became plain "
                    "ones ({lines})",
                    "{count} lines: typographic minus signs, spaces and text marks became plain "
                    "ones ({lines})",
                    count, named);
}

// Why the data lines, out of order, were not sorted; empty when they were
// or needed no sorting.
std::string UnsortedWords(const RepairOutcome& outcome) {
    if (outcome.UnsortedBecauseOf != 0) {
        return Say("The data lines are not in rising order of frequency, but line {line} stands "
                   "among them and is no data line, so they were not sorted.",
                   {{"line", std::to_string(outcome.UnsortedBecauseOf)}});
    }
    if (outcome.UnsortedColumnsSwapped) {
        return Say("The data lines are not in rising order of frequency, but the second column "
                   "rises where the first does not: the columns look swapped, so they were not "
                   "sorted. Put the frequency first, then repair again.");
    }
    if (outcome.UnsortedLoneFrequency != 0) {
        return Say("The data lines are not in rising order of frequency, but only line {line} "
                   "stands out of order, as a typing error in its frequency would, so they were "
                   "not sorted. Correct that frequency, then repair again.",
                   {{"line", std::to_string(outcome.UnsortedLoneFrequency)}});
    }
    if (outcome.UnsortedLoneCarriageReturn != 0) {
        return Say("The data lines are not in rising order of frequency, but line {line}, which "
                   "would come first, holds a lone carriage return (CR) that would make the "
                   "whole file read as if its lines ended in CR, so they were not sorted. "
                   "Remove that CR, then repair again.",
                   {{"line", std::to_string(outcome.UnsortedLoneCarriageReturn)}});
    }
    return {};
}

// What the repair says of the copy, as parts.
RepairSaid SaidOf(const RepairOutcome& outcome, const char* input, const char* output) {
    RepairSaid said;
    for (int kind = 0; kind < RepairKindCount; ++kind) {
        const RepairTally& tally = outcome.Changes[kind];
        if (tally.Count == 0) {
            continue;
        }
        const std::string lines = kind != static_cast<int>(RepairKind::Utf16)
                                      ? LineList(tally.FirstLines, tally.Count)
                                      : std::string();
        said.Changes.push_back(ChangeWords(static_cast<RepairKind>(kind), tally.Count, lines));
    }
    if (std::string unsorted = UnsortedWords(outcome); !unsorted.empty()) {
        said.Notes.push_back(std::move(unsorted));
    }
    if (const RepairTally& t = outcome.OutOfOrder; t.Count > 0) {
        said.Notes.push_back(SayCount("{count} line was left as it was: read as meant, its "
                                      "frequency would break the order of the lines around it "
                                      "({lines}).",
                                      "{count} lines were left as they were: read as meant, their "
                                      "frequencies would break the order of the lines around them "
                                      "({lines}).",
                                      t.Count, {{"lines", LineList(t.FirstLines, t.Count)}}));
    }
    const std::initializer_list<Named> files = {{"file", Shown(input)}, {"copy", Shown(output)}};
    if (said.Changes.empty()) {
        // TRANSLATORS: {copy} is the name of the copy written, {file} the
        // name of the file given.
        said.Heading =
            Say("Nothing needed repair: {copy} is a copy of {file}, byte for byte.", files);
    } else {
        said.Heading = Say("Repaired {file} into {copy}:", files);
        said.Closing = Say("Everything else is as it was, byte for byte.");
    }
    // The copy as the check reads it: what is left needs a person.
    for (const Finding& finding : outcome.Remaining.Findings) {
        if (finding.Level != Severity::Note) {
            said.Remaining.push_back(finding);
        }
    }
    if (!said.Remaining.empty()) {
        said.RemainingHeading = Say("Still to look at in {copy}, which needs a person "
                                    "(tarvelin-check says more):",
                                    {{"copy", Shown(output)}});
    }
    return said;
}

std::string SaidText(const RepairSaid& said) {
    std::string text = said.Heading + "\n";
    for (const std::string& change : said.Changes) {
        text += "  " + change + "\n";
    }
    for (const std::string& note : said.Notes) {
        text += "  " + note + "\n";
    }
    if (!said.Closing.empty()) {
        text += said.Closing + "\n";
    }
    if (!said.Remaining.empty()) {
        text += "\n" + said.RemainingHeading + "\n";
        for (const Finding& finding : said.Remaining) {
            AppendFindingLine(text, finding);
        }
    }
    return text;
}

} // namespace

int RunRepair(int argumentCount, const char* const* arguments, RepairSaid* said) {
    CommandLine commandLine;
    if (!StartCompanionRun(Syntax, argumentCount, arguments, commandLine)) {
        return 0;
    }
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
    RepairSaid parts = SaidOf(outcome, input, output);
    PrintText(SaidText(parts));
    const int status = parts.Remaining.empty() ? 0 : 1;
    if (said != nullptr) {
        *said = std::move(parts);
    }
    return status;
}
