#include "FileFindingWords.h"

#include "Catalogue.h"
#include "FindingText.h"
#include "ReadingWords.h"

// Each finding's words are whole sentences, one for each form, role and
// plural that changes them, so that a translation never has to follow the
// English order of pieces.

namespace {

enum class Who { Reference, MyMicIn, File };

Who WhoOf(const Finding& finding) {
    switch (finding.Role) {
    case FileRole::RefMicFrom:
    case FileRole::RefMicTo:
        return Who::Reference;
    case FileRole::MyMicIn:
        return Who::MyMicIn;
    case FileRole::File:
        break;
    }
    return Who::File;
}

std::string FileName(const Finding& finding) {
    return RoleName(finding.Role);
}

std::string LineNumber(const Finding& finding) {
    return std::to_string(finding.Line);
}

std::string NumberOf(const Finding& finding, std::string_view name) {
    return ShownNumber(static_cast<float>(NumberNamed(finding, name)));
}

std::string QuotedOf(const Finding& finding, std::string_view name) {
    return Quoted(TextNamed(finding, name));
}

std::string CountOf(const Finding& finding, std::string_view name) {
    return std::to_string(CountNamed(finding, name));
}

bool Is(const Finding& finding, std::string_view name, std::string_view word) {
    return TextNamed(finding, name) == word;
}

// "line 3", "lines 3, 7, 12, ...".
std::string LinesSaid(const FindingArgument* argument) {
    return argument == nullptr ? std::string() : LineList(argument->Lines, argument->Count);
}

std::string LinesOf(const Finding& finding, std::string_view name = "lines") {
    return LinesSaid(ArgumentNamed(finding, name));
}

std::uint64_t LineCount(const Finding& finding, std::string_view name = "lines") {
    return CountNamed(finding, name);
}

// How many of the values read a finding names: a frequency, a response and a
// third value.
int ValuesNamed(const Finding& finding, const char* const names[3]) {
    int count = 0;
    while (count < 3 && ArgumentNamed(finding, names[count]) != nullptr) {
        ++count;
    }
    return count;
}

// The values a line is read as, with their units: "200 Hz, -0 dB and 45".
std::string ValuesRead(const Finding& finding) {
    static const char* const Names[3] = {"frequency", "response", "third"};
    const std::string frequency = NumberOf(finding, Names[0]);
    const std::string response = NumberOf(finding, Names[1]);
    const std::string third = NumberOf(finding, Names[2]);
    switch (ValuesNamed(finding, Names)) {
    case 1:
        return SayIn("values read from a line", "{frequency} Hz", {{"frequency", frequency}});
    case 2:
        return SayIn("values read from a line", "{frequency} Hz and {response} dB",
                     {{"frequency", frequency}, {"response", response}});
    case 3:
        // TRANSLATORS: {third} is a third number on the line, without a unit.
        return SayIn("values read from a line", "{frequency} Hz, {response} dB and {third}",
                     {{"frequency", frequency}, {"response", response}, {"third", third}});
    default:
        break;
    }
    return std::string();
}

// The numbers a line's author meant, without units: "1000 and 1.5".
std::string ValuesMeant(const Finding& finding) {
    static const char* const Names[3] = {"meantFrequency", "meantResponse", "meantThird"};
    const std::string first = NumberOf(finding, Names[0]);
    const std::string second = NumberOf(finding, Names[1]);
    const std::string third = NumberOf(finding, Names[2]);
    switch (ValuesNamed(finding, Names)) {
    case 1:
        return SayIn("numbers meant on a line", "{first}", {{"first", first}});
    case 2:
        return SayIn("numbers meant on a line", "{first} and {second}",
                     {{"first", first}, {"second", second}});
    case 3:
        return SayIn("numbers meant on a line", "{first}, {second} and {third}",
                     {{"first", first}, {"second", second}, {"third", third}});
    default:
        break;
    }
    return std::string();
}

std::string Unreadable(const Finding& finding) {
    const std::string failure = std::string(TextNamed(finding, "failure"));
    // TRANSLATORS: {failure} is the converter's own message, in English.
    if (WhoOf(finding) == Who::File) {
        return Say("The file cannot be read: the converter would stop with \"{failure}\". Check "
                   "the path, and that the file is there and readable.",
                   {{"failure", failure}});
    }
    return Say("{file} cannot be read: the converter would stop with \"{failure}\". Check the "
               "path, and that the file is there and readable.",
               {{"file", FileName(finding)}, {"failure", failure}});
}

std::string TooFewPoints(const Finding& finding) {
    // TRANSLATORS: {file} is RefMicFrom or RefMicTo; {failure} is the
    // converter's own message, in English.
    return SayCount("{file} has {count} data line; a reference needs at least 2, so the "
                    "converter would stop with \"{failure}\".",
                    "{file} has {count} data lines; a reference needs at least 2, so the "
                    "converter would stop with \"{failure}\".",
                    CountNamed(finding, "dataLines"),
                    {{"file", FileName(finding)},
                     {"failure", std::string(TextNamed(finding, "failure"))}}) +
           " " +
           Say("Check that this is the reference's calibration file and that its numbers are "
               "separated by blanks or tabs.");
}

std::string NoDataLines(const Finding& finding) {
    const std::uint64_t headers = CountNamed(finding, "headerLines");
    std::string said;
    if (WhoOf(finding) == Who::File) {
        said = headers == 0 ? Say("The file has no data line: nothing would be converted, and "
                                  "MyMicOut would be empty.")
                            : SayCount("The file has no data line: nothing would be converted, "
                                       "and MyMicOut would hold only its {count} header line.",
                                       "The file has no data line: nothing would be converted, "
                                       "and MyMicOut would hold only its {count} header lines.",
                                       headers);
    } else {
        said = headers == 0 ? Say("MyMicIn has no data line: nothing would be converted, and "
                                  "MyMicOut would be empty.")
                            : SayCount("MyMicIn has no data line: nothing would be converted, "
                                       "and MyMicOut would hold only its {count} header line.",
                                       "MyMicIn has no data line: nothing would be converted, "
                                       "and MyMicOut would hold only its {count} header lines.",
                                       headers);
    }
    return said + " " +
           Say("A data line is a frequency and a response, separated by blanks or tabs.");
}

std::string CutAtEofMark(const Finding& finding) {
    const std::string said =
        WhoOf(finding) == Who::File
            ? Say("The file ends at a byte 0x1A, an old end-of-file mark, after line {line}, and "
                  "the bytes that follow it are not read.",
                  {{"line", LineNumber(finding)}})
            : Say("{file} ends at a byte 0x1A, an old end-of-file mark, after line {line}, and "
                  "the bytes that follow it are not read.",
                  {{"file", FileName(finding)}, {"line", LineNumber(finding)}});
    return said + " " + Say("If they hold points, remove the 0x1A byte.");
}

std::string Utf16(const Finding& finding) {
    const std::uint64_t lines = LineCount(finding, "lineCount");
    std::string said;
    switch (WhoOf(finding)) {
    case Who::Reference:
        said = SayCount(
            "{file} is UTF-16 text (what Windows Notepad saves as \"Unicode\"): every character "
            "takes two bytes, one of them zero, and the converter reads single bytes, so its one "
            "line is dropped and the reference has no point.",
            "{file} is UTF-16 text (what Windows Notepad saves as \"Unicode\"): every character "
            "takes two bytes, one of them zero, and the converter reads single bytes, so all "
            "{count} lines are dropped and the reference has no point.",
            lines, {{"file", FileName(finding)}});
        break;
    case Who::MyMicIn:
        said = SayCount(
            "MyMicIn is UTF-16 text (what Windows Notepad saves as \"Unicode\"): every character "
            "takes two bytes, one of them zero, and the converter reads single bytes, so its one "
            "line is dropped and nothing would be converted.",
            "MyMicIn is UTF-16 text (what Windows Notepad saves as \"Unicode\"): every character "
            "takes two bytes, one of them zero, and the converter reads single bytes, so all "
            "{count} lines are dropped and nothing would be converted.",
            lines);
        break;
    case Who::File:
        said = SayCount(
            "The file is UTF-16 text (what Windows Notepad saves as \"Unicode\"): every "
            "character takes two bytes, one of them zero, and the converter reads single bytes, "
            "so its one line is dropped and no point is read.",
            "The file is UTF-16 text (what Windows Notepad saves as \"Unicode\"): every "
            "character takes two bytes, one of them zero, and the converter reads single bytes, "
            "so all {count} lines are dropped and no point is read.",
            lines);
        break;
    }
    return said + " " +
           Say("Save it as UTF-8 or ANSI text (in Notepad: File, Save As, Encoding), then check "
               "it again.");
}

std::string QuotedNumbers(const Finding& finding) {
    const std::uint64_t lines = LineCount(finding);
    // TRANSLATORS: {lines} is "line 3" or "lines 3, 7, 12"; {text} is the
    // first of them as the file writes it, in quotes.
    std::string said =
        SayCount("{count} line holds only numbers in double quotes, as a "
                 "spreadsheet writes text fields ({lines}: {text}).",
                 "{count} lines hold only numbers in double quotes, as a "
                 "spreadsheet writes text fields ({lines}: {text}).",
                 lines, {{"lines", LinesOf(finding)}, {"text", QuotedOf(finding, "text")}});
    said += " ";
    switch (WhoOf(finding)) {
    case Who::Reference:
        said += SayCount("A line that starts with a double quote is a header line, so the "
                         "reference skips it.",
                         "A line that starts with a double quote is a header line, so the "
                         "reference skips them.",
                         lines);
        break;
    case Who::MyMicIn:
        said += SayCount("A line that starts with a double quote is a header line, so it is "
                         "copied to MyMicOut unchanged and not converted.",
                         "A line that starts with a double quote is a header line, so they are "
                         "copied to MyMicOut unchanged and not converted.",
                         lines);
        break;
    case Who::File:
        said += SayCount("A line that starts with a double quote is a header line, so it is read "
                         "as a header line, not as a point.",
                         "A line that starts with a double quote is a header line, so they are "
                         "read as header lines, not as points.",
                         lines);
        break;
    }
    return said + " " +
           Say("Save the file without quotes around the numbers, or remove the quotes.");
}

std::string CommaSeparated(const Finding& finding) {
    const std::uint64_t lines = LineCount(finding);
    const std::string shownLines = LinesOf(finding);
    const std::string text = QuotedOf(finding, "text");
    const Who who = WhoOf(finding);
    if (!Is(finding, "form", "spreadsheet")) {
        std::string said;
        switch (who) {
        case Who::Reference:
            said = SayCount("{count} line is dropped because the numbers are separated by commas "
                            "or semicolons, and the reference lacks its point ({lines}: {text}).",
                            "{count} lines are dropped because the numbers are separated by "
                            "commas or semicolons, and the reference lacks their points ({lines}: "
                            "{text}).",
                            lines, {{"lines", shownLines}, {"text", text}});
            break;
        case Who::MyMicIn:
            said = SayCount("{count} line is dropped because the numbers are separated by commas "
                            "or semicolons, and it is missing from MyMicOut ({lines}: {text}).",
                            "{count} lines are dropped because the numbers are separated by "
                            "commas or semicolons, and they are missing from MyMicOut ({lines}: "
                            "{text}).",
                            lines, {{"lines", shownLines}, {"text", text}});
            break;
        case Who::File:
            said = SayCount("{count} line is dropped because the numbers are separated by commas "
                            "or semicolons, and its point is not read ({lines}: {text}).",
                            "{count} lines are dropped because the numbers are separated by "
                            "commas or semicolons, and their points are not read ({lines}: "
                            "{text}).",
                            lines, {{"lines", shownLines}, {"text", text}});
            break;
        }
        return said + " " +
               Say("Numbers must be separated by blanks or tabs: save the file as tab-separated "
                   "text, or replace the separators with tabs.");
    }
    const bool semicolons = Is(finding, "separator", "semicolons");
    std::string said;
    switch (who) {
    case Who::Reference:
        said = semicolons
                   ? SayCount("{count} line is dropped because it is written as a spreadsheet's "
                              "CSV under a European language setting: numbers separated by "
                              "semicolons, with decimal commas ({lines}: {text}), and the "
                              "reference lacks its point.",
                              "{count} lines are dropped because they are written as a "
                              "spreadsheet's CSV under a European language setting: numbers "
                              "separated by semicolons, with decimal commas ({lines}: {text}), "
                              "and the reference lacks their points.",
                              lines, {{"lines", shownLines}, {"text", text}})
                   : SayCount("{count} line is dropped because it is written as a spreadsheet's "
                              "CSV under a European language setting: numbers separated by "
                              "commas, with decimal commas ({lines}: {text}), and the reference "
                              "lacks its point.",
                              "{count} lines are dropped because they are written as a "
                              "spreadsheet's CSV under a European language setting: numbers "
                              "separated by commas, with decimal commas ({lines}: {text}), and "
                              "the reference lacks their points.",
                              lines, {{"lines", shownLines}, {"text", text}});
        break;
    case Who::MyMicIn:
        said = semicolons
                   ? SayCount("{count} line is dropped because it is written as a spreadsheet's "
                              "CSV under a European language setting: numbers separated by "
                              "semicolons, with decimal commas ({lines}: {text}), and it is "
                              "missing from MyMicOut.",
                              "{count} lines are dropped because they are written as a "
                              "spreadsheet's CSV under a European language setting: numbers "
                              "separated by semicolons, with decimal commas ({lines}: {text}), "
                              "and they are missing from MyMicOut.",
                              lines, {{"lines", shownLines}, {"text", text}})
                   : SayCount("{count} line is dropped because it is written as a spreadsheet's "
                              "CSV under a European language setting: numbers separated by "
                              "commas, with decimal commas ({lines}: {text}), and it is missing "
                              "from MyMicOut.",
                              "{count} lines are dropped because they are written as a "
                              "spreadsheet's CSV under a European language setting: numbers "
                              "separated by commas, with decimal commas ({lines}: {text}), and "
                              "they are missing from MyMicOut.",
                              lines, {{"lines", shownLines}, {"text", text}});
        break;
    case Who::File:
        said = semicolons
                   ? SayCount("{count} line is dropped because it is written as a spreadsheet's "
                              "CSV under a European language setting: numbers separated by "
                              "semicolons, with decimal commas ({lines}: {text}), and its point "
                              "is not read.",
                              "{count} lines are dropped because they are written as a "
                              "spreadsheet's CSV under a European language setting: numbers "
                              "separated by semicolons, with decimal commas ({lines}: {text}), "
                              "and their points are not read.",
                              lines, {{"lines", shownLines}, {"text", text}})
                   : SayCount("{count} line is dropped because it is written as a spreadsheet's "
                              "CSV under a European language setting: numbers separated by "
                              "commas, with decimal commas ({lines}: {text}), and its point is "
                              "not read.",
                              "{count} lines are dropped because they are written as a "
                              "spreadsheet's CSV under a European language setting: numbers "
                              "separated by commas, with decimal commas ({lines}: {text}), and "
                              "their points are not read.",
                              lines, {{"lines", shownLines}, {"text", text}});
        break;
    }
    return said + " " +
           (semicolons ? Say("New separators alone would leave the decimal commas, which end a "
                             "number: replace each comma with a full stop and each semicolon "
                             "with a tab, then check it again.")
                       : Say("New separators alone would leave the decimal commas, which end a "
                             "number: save the file again with full stops as decimal points and "
                             "tabs between the numbers, then check it again."));
}

std::string DecimalComma(const Finding& finding) {
    const std::uint64_t lines = LineCount(finding);
    const std::string text = QuotedOf(finding, "text");
    if (Is(finding, "form", "data")) {
        // TRANSLATORS: {values} are the numbers the line is read as, such as
        // "200 Hz, -0 dB and 45".
        return SayCount("{count} data line has numbers with a decimal comma, which ends a "
                        "number: line {line}, {text}, is read as {values}: the digits after "
                        "each comma are lost, and a column after the first such comma is not "
                        "read.",
                        "{count} data lines have numbers with a decimal comma, which ends a "
                        "number: line {line}, {text}, is read as {values}: the digits after "
                        "each comma are lost, and a column after the first such comma is not "
                        "read.",
                        lines,
                        {{"line", LineNumber(finding)},
                         {"text", text},
                         {"values", ValuesRead(finding)}}) +
               " " + Say("Save the file with full stops as decimal points, then check it again.");
    }
    const std::string shownLines = LinesOf(finding);
    std::string said;
    switch (WhoOf(finding)) {
    case Who::Reference:
        said = SayCount("{count} line is dropped because a decimal comma cuts the numbers short "
                        "({lines}: {text}), and the reference lacks its point.",
                        "{count} lines are dropped because a decimal comma cuts the numbers "
                        "short ({lines}: {text}), and the reference lacks their points.",
                        lines, {{"lines", shownLines}, {"text", text}});
        break;
    case Who::MyMicIn:
        said = SayCount("{count} line is dropped because a decimal comma cuts the numbers short "
                        "({lines}: {text}), and it is missing from MyMicOut.",
                        "{count} lines are dropped because a decimal comma cuts the numbers "
                        "short ({lines}: {text}), and they are missing from MyMicOut.",
                        lines, {{"lines", shownLines}, {"text", text}});
        break;
    case Who::File:
        said = SayCount("{count} line is dropped because a decimal comma cuts the numbers short "
                        "({lines}: {text}), and its point is not read.",
                        "{count} lines are dropped because a decimal comma cuts the numbers "
                        "short ({lines}: {text}), and their points are not read.",
                        lines, {{"lines", shownLines}, {"text", text}});
        break;
    }
    return said + " " +
           Say("Save the file with full stops as decimal points, then check it again.");
}

std::string SensFactor(const Finding& finding) {
    const std::uint64_t lines = LineCount(finding);
    const std::uint64_t more = lines > 0 ? lines - 1 : 0;
    const bool hasValue = ArgumentNamed(finding, "sensitivity") != nullptr;
    const std::string line = LineNumber(finding);
    const std::string text = QuotedOf(finding, "text");
    const std::string value = NumberOf(finding, "sensitivity");
    // TRANSLATORS: {text} is the line as the file writes it, in quotes;
    // {count} is how many more lines are like it.
    switch (WhoOf(finding)) {
    case Who::Reference:
        return (more == 0 ? Say("Line {line}, {text}, is a Sens Factor line without its opening "
                                "double quote.",
                                {{"line", line}, {"text", text}})
                          : SayCount("Line {line}, {text} ({count} more such line), is a Sens "
                                     "Factor line without its opening double quote.",
                                     "Line {line}, {text} ({count} more such lines), is a Sens "
                                     "Factor line without its opening double quote.",
                                     more, {{"line", line}, {"text", text}})) +
               " " +
               Say("In a reference that changes nothing: Tarvelin sets a reference's header "
                   "lines aside all the same, so MyMicOut is the same with or without the "
                   "quote.");
    case Who::MyMicIn: {
        std::string said;
        if (more == 0) {
            said = hasValue ? Say("Line {line}, {text}, is a Sens Factor line without its "
                                  "opening double quote: it is dropped, and MyMicOut loses the "
                                  "microphone's sensitivity ({sensitivity} dB), which measurement "
                                  "software reads from that line.",
                                  {{"line", line}, {"text", text}, {"sensitivity", value}})
                            : Say("Line {line}, {text}, is a Sens Factor line without its "
                                  "opening double quote: it is dropped, and MyMicOut loses the "
                                  "microphone's sensitivity, which measurement software reads "
                                  "from that line.",
                                  {{"line", line}, {"text", text}});
        } else {
            said = hasValue
                       ? SayCount("Line {line}, {text} ({count} more such line), is a Sens Factor "
                                  "line without its opening double quote: it is dropped, and "
                                  "MyMicOut loses the microphone's sensitivity ({sensitivity} "
                                  "dB), which measurement software reads from that line.",
                                  "Line {line}, {text} ({count} more such lines), is a Sens "
                                  "Factor line without its opening double quote: it is dropped, "
                                  "and MyMicOut loses the microphone's sensitivity ({sensitivity} "
                                  "dB), which measurement software reads from that line.",
                                  more, {{"line", line}, {"text", text}, {"sensitivity", value}})
                       : SayCount("Line {line}, {text} ({count} more such line), is a Sens Factor "
                                  "line without its opening double quote: it is dropped, and "
                                  "MyMicOut loses the microphone's sensitivity, which "
                                  "measurement software reads from that line.",
                                  "Line {line}, {text} ({count} more such lines), is a Sens "
                                  "Factor line without its opening double quote: it is dropped, "
                                  "and MyMicOut loses the microphone's sensitivity, which "
                                  "measurement software reads from that line.",
                                  more, {{"line", line}, {"text", text}});
        }
        return said + " " + Say("Put a \" in front of it to keep it as a header line.");
    }
    case Who::File:
        break;
    }
    std::string said;
    if (more == 0) {
        said = hasValue ? Say("Line {line}, {text}, is a Sens Factor line without its opening "
                              "double quote: it is dropped, and the microphone's sensitivity "
                              "({sensitivity} dB), which measurement software reads from that "
                              "line, is lost.",
                              {{"line", line}, {"text", text}, {"sensitivity", value}})
                        : Say("Line {line}, {text}, is a Sens Factor line without its opening "
                              "double quote: it is dropped, and the microphone's sensitivity, "
                              "which measurement software reads from that line, is lost.",
                              {{"line", line}, {"text", text}});
    } else {
        said = hasValue
                   ? SayCount("Line {line}, {text} ({count} more such line), is a Sens Factor "
                              "line without its opening double quote: it is dropped, and the "
                              "microphone's sensitivity ({sensitivity} dB), which measurement "
                              "software reads from that line, is lost.",
                              "Line {line}, {text} ({count} more such lines), is a Sens Factor "
                              "line without its opening double quote: it is dropped, and the "
                              "microphone's sensitivity ({sensitivity} dB), which measurement "
                              "software reads from that line, is lost.",
                              more, {{"line", line}, {"text", text}, {"sensitivity", value}})
                   : SayCount("Line {line}, {text} ({count} more such line), is a Sens Factor "
                              "line without its opening double quote: it is dropped, and the "
                              "microphone's sensitivity, which measurement software reads from "
                              "that line, is lost.",
                              "Line {line}, {text} ({count} more such lines), is a Sens Factor "
                              "line without its opening double quote: it is dropped, and the "
                              "microphone's sensitivity, which measurement software reads from "
                              "that line, is lost.",
                              more, {{"line", line}, {"text", text}});
    }
    return said + " " + Say("Put a \" in front of it to keep it as a header line.");
}

std::string UnquotedHeader(const Finding& finding) {
    if (Is(finding, "form", "sens-factor")) {
        return SensFactor(finding);
    }
    const std::uint64_t lines = LineCount(finding);
    const std::string shownLines = LinesOf(finding);
    const std::string text = QuotedOf(finding, "text");
    if (WhoOf(finding) == Who::Reference) {
        return SayCount("{count} line reads like a header line whose double quote is not its "
                        "very first character ({lines}: {text}).",
                        "{count} lines read like a header line whose double quote is not its "
                        "very first character ({lines}: {text}).",
                        lines, {{"lines", shownLines}, {"text", text}}) +
               " " +
               Say("In a reference that changes nothing: its header lines and its lines of "
                   "words are set aside alike.");
    }
    return SayCount("{count} line reads like a header line whose double quote is not its very "
                    "first character ({lines}: {text}), so it is dropped.",
                    "{count} lines read like a header line whose double quote is not its very "
                    "first character ({lines}: {text}), so they are dropped.",
                    lines, {{"lines", shownLines}, {"text", text}}) +
           " " + Say("Put the \" at the very start of the line to keep it.");
}

std::string UnreadableNumber(const Finding& finding) {
    const std::uint64_t lines = LineCount(finding);
    const std::string shownLines = LinesOf(finding);
    const std::string text = QuotedOf(finding, "text");
    switch (WhoOf(finding)) {
    case Who::Reference:
        return SayCount("{count} line starts with a number and goes on with one that cannot be "
                        "read ({lines}: {text}), so it is dropped, and the reference lacks its "
                        "point; the correction there comes from the points around it.",
                        "{count} lines start with a number and go on with one that cannot be "
                        "read ({lines}: {text}), so they are dropped, and the reference lacks "
                        "their points; the correction there comes from the points around it.",
                        lines, {{"lines", shownLines}, {"text", text}}) +
               " " + Say("Correct the numbers if the point matters.");
    case Who::MyMicIn:
        return SayCount("{count} line starts with a number and goes on with one that cannot be "
                        "read ({lines}: {text}), so it is dropped, and it is missing from "
                        "MyMicOut.",
                        "{count} lines start with a number and go on with one that cannot be "
                        "read ({lines}: {text}), so they are dropped, and they are missing from "
                        "MyMicOut.",
                        lines, {{"lines", shownLines}, {"text", text}}) +
               " " +
               SayCount("Correct the numbers on that line, then check again.",
                        "Correct the numbers on those lines, then check again.", lines);
    case Who::File:
        break;
    }
    return SayCount("{count} line starts with a number and goes on with one that cannot be read "
                    "({lines}: {text}), so it is dropped, and its point is not read.",
                    "{count} lines start with a number and go on with one that cannot be read "
                    "({lines}: {text}), so they are dropped, and their points are not read.",
                    lines, {{"lines", shownLines}, {"text", text}}) +
           " " +
           SayCount("Correct the numbers on that line, then check again.",
                    "Correct the numbers on those lines, then check again.", lines);
}

std::string CutOff(const Finding& finding) {
    const bool file = WhoOf(finding) == Who::File;
    const std::string name = FileName(finding);
    const std::string line = LineNumber(finding);
    const std::string text = QuotedOf(finding, "text");
    const std::string expected = CountOf(finding, "expected");
    std::string said;
    // TRANSLATORS: {text} is the last line as the file writes it, in quotes;
    // {expected} is how many the lines before it have.
    if (Is(finding, "form", "fewer-numbers")) {
        const std::uint64_t count = CountNamed(finding, "numbers");
        said = file ? SayCount("The last line of the file, line {line}, {text}, has no line end "
                               "and ends sooner than the lines before it: it holds {count} "
                               "number where they hold {expected}.",
                               "The last line of the file, line {line}, {text}, has no line end "
                               "and ends sooner than the lines before it: it holds {count} "
                               "numbers where they hold {expected}.",
                               count, {{"line", line}, {"text", text}, {"expected", expected}})
                    : SayCount(
                          "The last line of {file}, line {line}, {text}, has no line end "
                          "and ends sooner than the lines before it: it holds {count} "
                          "number where they hold {expected}.",
                          "The last line of {file}, line {line}, {text}, has no line end "
                          "and ends sooner than the lines before it: it holds {count} "
                          "numbers where they hold {expected}.",
                          count,
                          {{"file", name}, {"line", line}, {"text", text}, {"expected", expected}});
    } else if (Is(finding, "form", "fewer-decimals")) {
        const std::uint64_t count = CountNamed(finding, "decimals");
        said = file ? SayCount("The last line of the file, line {line}, {text}, has no line end "
                               "and ends sooner than the lines before it: its last number has "
                               "{count} decimal where that column has {expected}.",
                               "The last line of the file, line {line}, {text}, has no line end "
                               "and ends sooner than the lines before it: its last number has "
                               "{count} decimals where that column has {expected}.",
                               count, {{"line", line}, {"text", text}, {"expected", expected}})
                    : SayCount(
                          "The last line of {file}, line {line}, {text}, has no line end "
                          "and ends sooner than the lines before it: its last number has "
                          "{count} decimal where that column has {expected}.",
                          "The last line of {file}, line {line}, {text}, has no line end "
                          "and ends sooner than the lines before it: its last number has "
                          "{count} decimals where that column has {expected}.",
                          count,
                          {{"file", name}, {"line", line}, {"text", text}, {"expected", expected}});
    } else {
        const std::uint64_t count = CountNamed(finding, "digits");
        said = file ? SayCount("The last line of the file, line {line}, {text}, has no line end "
                               "and ends sooner than the lines before it: its last number's "
                               "exponent has {count} digit where that column has {expected}.",
                               "The last line of the file, line {line}, {text}, has no line end "
                               "and ends sooner than the lines before it: its last number's "
                               "exponent has {count} digits where that column has {expected}.",
                               count, {{"line", line}, {"text", text}, {"expected", expected}})
                    : SayCount(
                          "The last line of {file}, line {line}, {text}, has no line end "
                          "and ends sooner than the lines before it: its last number's "
                          "exponent has {count} digit where that column has {expected}.",
                          "The last line of {file}, line {line}, {text}, has no line end "
                          "and ends sooner than the lines before it: its last number's "
                          "exponent has {count} digits where that column has {expected}.",
                          count,
                          {{"file", name}, {"line", line}, {"text", text}, {"expected", expected}});
    }
    const bool read = Is(finding, "outcome", "read");
    if (WhoOf(finding) == Who::MyMicIn) {
        said += ' ';
        said += (read ? Say("The file looks cut off: whatever followed is missing, from "
                            "MyMicOut too, and this line is read as it stands.")
                      : Say("The file looks cut off: whatever followed is missing, from "
                            "MyMicOut too, and this line is dropped."));
    } else {
        said += ' ';
        said += (read ? Say("The file looks cut off: whatever followed is missing, and "
                            "this line is read as it stands.")
                      : Say("The file looks cut off: whatever followed is missing, and "
                            "this line is dropped."));
    }
    return said + " " + Say("Get the whole file again from where it came, then check again.");
}

std::string FrequencyInKhz(const Finding& finding) {
    const std::string lowest = NumberOf(finding, "lowest");
    const std::string highest = NumberOf(finding, "highest");
    std::string said;
    switch (WhoOf(finding)) {
    case Who::Reference:
        said = Say("The frequencies of {file} run from {lowest} to {highest}: below 50 Hz, though "
                   "as kHz they would be the audio band.",
                   {{"file", FileName(finding)}, {"lowest", lowest}, {"highest", highest}}) +
               " " +
               Say("Tarvelin reads frequencies in Hz, so the correction would be taken from this "
                   "reference at frequencies a thousand times too low.");
        break;
    case Who::MyMicIn:
        said = Say("The frequencies of {file} run from {lowest} to {highest}: below 50 Hz, though "
                   "as kHz they would be the audio band.",
                   {{"file", FileName(finding)}, {"lowest", lowest}, {"highest", highest}}) +
               " " +
               Say("Tarvelin reads frequencies in Hz, so MyMicIn's points would lie far below the "
                   "references' frequencies, where the correction is a straight line guessed far "
                   "beyond their ends.");
        break;
    case Who::File:
        said = Say("The frequencies of the file run from {lowest} to {highest}: below 50 Hz, "
                   "though as kHz they would be the audio band.",
                   {{"lowest", lowest}, {"highest", highest}}) +
               " " +
               Say("Tarvelin reads frequencies in Hz, so a program that reads this file takes "
                   "them as Hz, far below the audio band.");
        break;
    }
    return said + " " +
           Say("If they are kHz, multiply the frequencies by 1000 (a spreadsheet does that in one "
               "column), then check again.");
}

std::string LinearResponse(const Finding& finding) {
    const std::string lowest = NumberOf(finding, "lowest");
    const std::string highest = NumberOf(finding, "highest");
    const bool file = WhoOf(finding) == Who::File;
    return (file ? Say("Every response of the file is positive and tiny ({lowest} to {highest}): "
                       "they look like linear values (pascals, volts per pascal or a ratio), not "
                       "decibels.",
                       {{"lowest", lowest}, {"highest", highest}})
                 : Say("Every response of {file} is positive and tiny ({lowest} to {highest}): "
                       "they look like linear values (pascals, volts per pascal or a ratio), not "
                       "decibels.",
                       {{"file", FileName(finding)}, {"lowest", lowest}, {"highest", highest}})) +
           " " +
           (file ? Say("Tarvelin adds and subtracts responses as decibels, so the values cannot "
                       "be used as they are.")
                 : Say("Tarvelin adds and subtracts responses as decibels, so MyMicOut would "
                       "mean nothing in either unit.")) +
           " " +
           Say("Export the calibration in dB (20 times the log10 of each value over its reference "
               "value), then check again.");
}

std::string PhaseAsResponse(const Finding& finding) {
    const bool file = WhoOf(finding) == Who::File;
    const std::string name = FileName(finding);
    const std::string line = LineNumber(finding);
    std::string said;
    if (Is(finding, "form", "phase-named")) {
        said = file ? Say("The second column of the file looks like a phase in degrees, not a "
                          "response in dB: line {line} names the second column a phase.",
                          {{"line", line}})
                    : Say("The second column of {file} looks like a phase in degrees, not a "
                          "response in dB: line {line} names the second column a phase.",
                          {{"file", name}, {"line", line}});
    } else {
        const std::string from = NumberOf(finding, "from");
        const std::string to = NumberOf(finding, "to");
        // TRANSLATORS: {from} and {to} are the values on either side of the
        // jump, in degrees.
        said = file ? Say("The second column of the file looks like a phase in degrees, not a "
                          "response in dB: it stays within ±180 and jumps from {from} to {to} at "
                          "line {line}, as a phase does where it wraps around.",
                          {{"from", from}, {"to", to}, {"line", line}})
                    : Say("The second column of {file} looks like a phase in degrees, not a "
                          "response in dB: it stays within ±180 and jumps from {from} to {to} at "
                          "line {line}, as a phase does where it wraps around.",
                          {{"file", name}, {"from", from}, {"to", to}, {"line", line}});
    }
    said += " ";
    switch (WhoOf(finding)) {
    case Who::Reference:
        said += Say("Tarvelin takes the second column as the response, so the correction would be "
                    "made of phases.");
        break;
    case Who::MyMicIn:
        said += Say("Tarvelin takes the second column as the response, so the correction would be "
                    "added to the phase, and MyMicOut would hold no response.");
        break;
    case Who::File:
        said += Say("Tarvelin takes the second column as the response, so the phase would be read "
                    "as the response.");
        break;
    }
    return said + " " +
           Say("If the file holds the level in another column, put it second (frequency, level, "
               "phase), then check again.");
}

// What a lone point costs, as a sentence of its own.
std::string IfSo(const Finding& finding, bool signFlip) {
    switch (WhoOf(finding)) {
    case Who::Reference:
        return signFlip ? Say("If so, the correction would carry a spike there.")
                        : Say("If so, the correction would carry it.");
    case Who::MyMicIn:
        return Say("If so, MyMicOut would keep it.");
    case Who::File:
        break;
    }
    return Say("If so, it is read as it stands.");
}

std::string ImpossibleResponse(const Finding& finding) {
    const std::uint64_t lines = LineCount(finding);
    const std::string line = LineNumber(finding);
    const std::string frequency = NumberOf(finding, "frequency");
    const std::string response = NumberOf(finding, "response");
    const std::string shownLines = LinesOf(finding);
    // The plural names the other points of the kind; with one, none is
    // named.
    // TRANSLATORS: {lines} is "lines 3, 7, 12", {count} how many points are
    // like it.
    switch (WhoOf(finding)) {
    case Who::Reference:
        return SayCount("At line {line} ({frequency} Hz) the response of {file} is {response} dB, "
                        "more than any microphone's response or any sound level: a decimal point "
                        "or a minus sign is probably lost, and the correction would carry it.",
                        "At line {line} ({frequency} Hz) the response of {file} is {response} dB, "
                        "more than any microphone's response or any sound level ({count} such "
                        "points: {lines}): a decimal point or a minus sign is probably lost, and "
                        "the correction would carry it.",
                        lines,
                        {{"line", line},
                         {"frequency", frequency},
                         {"file", FileName(finding)},
                         {"response", response},
                         {"lines", shownLines}}) +
               " " + Say("Check the numbers on that line.");
    case Who::MyMicIn:
        return SayCount("At line {line} ({frequency} Hz) the response of MyMicIn is {response} "
                        "dB, more than any microphone's response or any sound level: a decimal "
                        "point or a minus sign is probably lost, and MyMicOut would keep it.",
                        "At line {line} ({frequency} Hz) the response of MyMicIn is {response} "
                        "dB, more than any microphone's response or any sound level ({count} "
                        "such points: {lines}): a decimal point or a minus sign is probably "
                        "lost, and MyMicOut would keep it.",
                        lines,
                        {{"line", line},
                         {"frequency", frequency},
                         {"response", response},
                         {"lines", shownLines}}) +
               " " + Say("Check the numbers on that line.");
    case Who::File:
        break;
    }
    return SayCount("At line {line} ({frequency} Hz) the response of the file is {response} dB, "
                    "more than any microphone's response or any sound level: a decimal point or "
                    "a minus sign is probably lost, and it is read as it stands.",
                    "At line {line} ({frequency} Hz) the response of the file is {response} dB, "
                    "more than any microphone's response or any sound level ({count} such "
                    "points: {lines}): a decimal point or a minus sign is probably lost, and it "
                    "is read as it stands.",
                    lines,
                    {{"line", line},
                     {"frequency", frequency},
                     {"response", response},
                     {"lines", shownLines}}) +
           " " + Say("Check the numbers on that line.");
}

std::string Outlier(const Finding& finding) {
    const std::uint64_t lines = LineCount(finding);
    const bool file = WhoOf(finding) == Who::File;
    const std::string name = FileName(finding);
    const std::string line = LineNumber(finding);
    const std::string frequency = NumberOf(finding, "frequency");
    const std::string response = NumberOf(finding, "response");
    const std::string before = NumberOf(finding, "neighbourBefore");
    const std::string after = NumberOf(finding, "neighbourAfter");
    const std::string shownLines = LinesOf(finding);
    // TRANSLATORS: {before} and {after} are the values of the points on
    // either side; {lines} is "lines 3, 7, 12", {count} how many points
    // are like it.
    if (Is(finding, "form", "lone-frequency")) {
        return (file ? SayCount("At line {line} the frequency of the file is {frequency} Hz, "
                                "between points at {before} and {after} Hz: a lone frequency out "
                                "of order, as when a digit is doubled or lost.",
                                "At line {line} the frequency of the file is {frequency} Hz, "
                                "between points at {before} and {after} Hz: a lone frequency out "
                                "of order, as when a digit is doubled or lost ({count} such "
                                "points: {lines}).",
                                lines,
                                {{"line", line},
                                 {"frequency", frequency},
                                 {"before", before},
                                 {"after", after},
                                 {"lines", shownLines}})
                     : SayCount("At line {line} the frequency of {file} is {frequency} Hz, "
                                "between points at {before} and {after} Hz: a lone frequency out "
                                "of order, as when a digit is doubled or lost.",
                                "At line {line} the frequency of {file} is {frequency} Hz, "
                                "between points at {before} and {after} Hz: a lone frequency out "
                                "of order, as when a digit is doubled or lost ({count} such "
                                "points: {lines}).",
                                lines,
                                {{"line", line},
                                 {"file", name},
                                 {"frequency", frequency},
                                 {"before", before},
                                 {"after", after},
                                 {"lines", shownLines}})) +
               " " + IfSo(finding, false) + " " + Say("Check the frequency on that line.");
    }
    if (Is(finding, "form", "sign-flip")) {
        return (file ? SayCount("At line {line} ({frequency} Hz) the response of the file is "
                                "{response} dB, while the points around it have {before} and "
                                "{after} dB: about the same size with the other sign, as when a "
                                "minus sign is lost or added.",
                                "At line {line} ({frequency} Hz) the response of the file is "
                                "{response} dB, while the points around it have {before} and "
                                "{after} dB: about the same size with the other sign, as when a "
                                "minus sign is lost or added ({count} such points: {lines}).",
                                lines,
                                {{"line", line},
                                 {"frequency", frequency},
                                 {"response", response},
                                 {"before", before},
                                 {"after", after},
                                 {"lines", shownLines}})
                     : SayCount("At line {line} ({frequency} Hz) the response of {file} is "
                                "{response} dB, while the points around it have {before} and "
                                "{after} dB: about the same size with the other sign, as when a "
                                "minus sign is lost or added.",
                                "At line {line} ({frequency} Hz) the response of {file} is "
                                "{response} dB, while the points around it have {before} and "
                                "{after} dB: about the same size with the other sign, as when a "
                                "minus sign is lost or added ({count} such points: {lines}).",
                                lines,
                                {{"line", line},
                                 {"file", name},
                                 {"frequency", frequency},
                                 {"response", response},
                                 {"before", before},
                                 {"after", after},
                                 {"lines", shownLines}})) +
               " " + IfSo(finding, true) + " " + Say("Check the sign on that line.");
    }
    return (file ? SayCount("At line {line} ({frequency} Hz) the response of the file is "
                            "{response} dB, while the points around it have {before} and {after} "
                            "dB: a lone point this far from its neighbours is more likely a "
                            "typing error, such as a lost decimal point or a doubled digit, than "
                            "a measurement.",
                            "At line {line} ({frequency} Hz) the response of the file is "
                            "{response} dB, while the points around it have {before} and {after} "
                            "dB: a lone point this far from its neighbours is more likely a "
                            "typing error, such as a lost decimal point or a doubled digit, than "
                            "a measurement ({count} such points: {lines}).",
                            lines,
                            {{"line", line},
                             {"frequency", frequency},
                             {"response", response},
                             {"before", before},
                             {"after", after},
                             {"lines", shownLines}})
                 : SayCount("At line {line} ({frequency} Hz) the response of {file} is "
                            "{response} dB, while the points around it have {before} and {after} "
                            "dB: a lone point this far from its neighbours is more likely a "
                            "typing error, such as a lost decimal point or a doubled digit, than "
                            "a measurement.",
                            "At line {line} ({frequency} Hz) the response of {file} is "
                            "{response} dB, while the points around it have {before} and {after} "
                            "dB: a lone point this far from its neighbours is more likely a "
                            "typing error, such as a lost decimal point or a doubled digit, than "
                            "a measurement ({count} such points: {lines}).",
                            lines,
                            {{"line", line},
                             {"file", name},
                             {"frequency", frequency},
                             {"response", response},
                             {"before", before},
                             {"after", after},
                             {"lines", shownLines}})) +
           " " + IfSo(finding, false) + " " + Say("Check the numbers on that line.");
}

std::string DroppedPoint(const Finding& finding) {
    const std::uint64_t lines = LineCount(finding);
    const std::string shownLines = LinesOf(finding);
    const std::string text = QuotedOf(finding, "text");
    const std::string line = std::to_string(finding.Line);
    const bool atEnd = Is(finding, "stop", "line-end");
    const std::string character = QuotedOf(finding, "character");
    const std::string column = CountOf(finding, "column");
    std::string said;
    // TRANSLATORS: {character} is the character where the reading stops, in
    // quotes, and {column} its place on the line, counted in characters.
    switch (WhoOf(finding)) {
    case Who::Reference:
        said = atEnd ? SayCount("{count} line begins like a point but is dropped, and the "
                                "reference lacks its point ({lines}: {text}): the converter's "
                                "reading of line {line} stops at the line's end, where a number "
                                "or the line's end should stand.",
                                "{count} lines begin like a point but are dropped, and the "
                                "reference lacks their points ({lines}: {text}): the converter's "
                                "reading of line {line} stops at the line's end, where a number "
                                "or the line's end should stand.",
                                lines, {{"lines", shownLines}, {"text", text}, {"line", line}})
                     : SayCount("{count} line begins like a point but is dropped, and the "
                                "reference lacks its point ({lines}: {text}): the converter's "
                                "reading of line {line} stops at {character} in column {column}, "
                                "where a number or the line's end should stand.",
                                "{count} lines begin like a point but are dropped, and the "
                                "reference lacks their points ({lines}: {text}): the converter's "
                                "reading of line {line} stops at {character} in column {column}, "
                                "where a number or the line's end should stand.",
                                lines,
                                {{"lines", shownLines},
                                 {"text", text},
                                 {"line", line},
                                 {"character", character},
                                 {"column", column}});
        break;
    case Who::MyMicIn:
        said = atEnd ? SayCount("{count} line begins like a point but is dropped, and it is "
                                "missing from MyMicOut ({lines}: {text}): the converter's reading "
                                "of line {line} stops at the line's end, where a number or the "
                                "line's end should stand.",
                                "{count} lines begin like a point but are dropped, and they are "
                                "missing from MyMicOut ({lines}: {text}): the converter's reading "
                                "of line {line} stops at the line's end, where a number or the "
                                "line's end should stand.",
                                lines, {{"lines", shownLines}, {"text", text}, {"line", line}})
                     : SayCount("{count} line begins like a point but is dropped, and it is "
                                "missing from MyMicOut ({lines}: {text}): the converter's reading "
                                "of line {line} stops at {character} in column {column}, where a "
                                "number or the line's end should stand.",
                                "{count} lines begin like a point but are dropped, and they are "
                                "missing from MyMicOut ({lines}: {text}): the converter's reading "
                                "of line {line} stops at {character} in column {column}, where a "
                                "number or the line's end should stand.",
                                lines,
                                {{"lines", shownLines},
                                 {"text", text},
                                 {"line", line},
                                 {"character", character},
                                 {"column", column}});
        break;
    case Who::File:
        said = atEnd ? SayCount("{count} line begins like a point but is dropped, and its point "
                                "is not read ({lines}: {text}): the converter's reading of line "
                                "{line} stops at the line's end, where a number or the line's "
                                "end should stand.",
                                "{count} lines begin like a point but are dropped, and their "
                                "points are not read ({lines}: {text}): the converter's reading "
                                "of line {line} stops at the line's end, where a number or the "
                                "line's end should stand.",
                                lines, {{"lines", shownLines}, {"text", text}, {"line", line}})
                     : SayCount("{count} line begins like a point but is dropped, and its point "
                                "is not read ({lines}: {text}): the converter's reading of line "
                                "{line} stops at {character} in column {column}, where a number "
                                "or the line's end should stand.",
                                "{count} lines begin like a point but are dropped, and their "
                                "points are not read ({lines}: {text}): the converter's reading "
                                "of line {line} stops at {character} in column {column}, where a "
                                "number or the line's end should stand.",
                                lines,
                                {{"lines", shownLines},
                                 {"text", text},
                                 {"line", line},
                                 {"character", character},
                                 {"column", column}});
        break;
    }
    return said + " " +
           SayCount("Write that line as a frequency and a response, separated by blanks or tabs, "
                    "then check again.",
                    "Write those lines as a frequency and a response, separated by blanks or "
                    "tabs, then check again.",
                    lines);
}

std::string TwoReadings(const Finding& finding) {
    const bool file = WhoOf(finding) == Who::File;
    const std::string line = LineNumber(finding);
    const std::string text = QuotedOf(finding, "text");
    const std::string first = QuotedOf(finding, "firstReading");
    const std::string firstStyle = StyleWordsNamed(TextNamed(finding, "firstStyle"));
    const std::string second = QuotedOf(finding, "secondReading");
    const std::string secondStyle = StyleWordsNamed(TextNamed(finding, "secondStyle"));
    const std::string name = FileName(finding);
    std::string said;
    // TRANSLATORS: {first} and {second} are the line as each reading would
    // mend it, in quotes; {firstStyle} and {secondStyle} say how each reads
    // the numbers, such as "with decimal commas".
    if (ArgumentNamed(finding, "secondReading") == nullptr) {
        said = file ? Say("Line {line}, {text}, can be read as {first} {firstStyle}, and the rest "
                          "of the file does not tell which was meant: a mark between digits may "
                          "be a decimal point, a mark grouping thousands or a separator.",
                          {{"line", line},
                           {"text", text},
                           {"first", first},
                           {"firstStyle", firstStyle}})
                    : Say("Line {line}, {text}, can be read as {first} {firstStyle}, and the rest "
                          "of {file} does not tell which was meant: a mark between digits may be "
                          "a decimal point, a mark grouping thousands or a separator.",
                          {{"line", line},
                           {"text", text},
                           {"first", first},
                           {"firstStyle", firstStyle},
                           {"file", name}});
    } else {
        said = file ? Say("Line {line}, {text}, can be read as {first} {firstStyle} or as "
                          "{second} {secondStyle}, and the rest of the file does not tell which "
                          "was meant: a mark between digits may be a decimal point, a mark "
                          "grouping thousands or a separator.",
                          {{"line", line},
                           {"text", text},
                           {"first", first},
                           {"firstStyle", firstStyle},
                           {"second", second},
                           {"secondStyle", secondStyle}})
                    : Say("Line {line}, {text}, can be read as {first} {firstStyle} or as "
                          "{second} {secondStyle}, and the rest of {file} does not tell which "
                          "was meant: a mark between digits may be a decimal point, a mark "
                          "grouping thousands or a separator.",
                          {{"line", line},
                           {"text", text},
                           {"first", first},
                           {"firstStyle", firstStyle},
                           {"second", second},
                           {"secondStyle", secondStyle},
                           {"file", name}});
    }
    said += " ";
    said += ArgumentNamed(finding, "frequency") != nullptr
                ? Say("Tarvelin reads it as {values}.", {{"values", ValuesRead(finding)}})
                : Say("Tarvelin reads it as no point.");
    return said + " " +
           Say("Write the numbers with full stops as decimal points, no marks between their "
               "digits, and blanks or tabs between them, then check again.");
}

std::string DigitGrouping(const Finding& finding) {
    // TRANSLATORS: {text} is the line as the file writes it, in quotes;
    // {meant} the numbers its author meant, such as "1000 and 1.5".
    return SayCount("{count} line groups the digits of its numbers in thousands, as a "
                    "spreadsheet does under some language settings (line {line}: {text}, meant "
                    "as {meant}).",
                    "{count} lines group the digits of their numbers in thousands, as a "
                    "spreadsheet does under some language settings (line {line}: {text}, meant "
                    "as {meant}).",
                    LineCount(finding, "lineCount"),
                    {{"line", LineNumber(finding)},
                     {"text", QuotedOf(finding, "text")},
                     {"meant", ValuesMeant(finding)}}) +
           " " +
           (WhoOf(finding) == Who::Reference
                ? Say("The converter reads no such mark: it ends a number there, so such lines "
                      "are dropped or read as other values, and the correction there comes from "
                      "other points.")
                : Say("The converter reads no such mark: it ends a number there, so such lines "
                      "are dropped or read as other values, and MyMicOut would lack their points "
                      "or hold others.")) +
           " " + Say("Write the numbers without marks between their digits, then check again.");
}

std::string PartlyRead(const Finding& finding) {
    const std::uint64_t lines = LineCount(finding, "lineCount");
    const std::string line = LineNumber(finding);
    const std::string text = QuotedOf(finding, "text");
    const std::string values = ValuesRead(finding);
    const std::string meant = ValuesMeant(finding);
    // TRANSLATORS: {values} are the numbers read, with units, such as "200
    // Hz and 2 dB"; {meant} those the line holds, such as "200 and 2.5".
    return (WhoOf(finding) == Who::Reference
                ? SayCount("{count} data line holds more than the converter reads: line {line}, "
                           "{text}, is read as {values}, but it holds {meant}, and the correction "
                           "there would come from the values read.",
                           "{count} data lines hold more than the converter reads: line {line}, "
                           "{text}, is read as {values}, but it holds {meant}, and the correction "
                           "there would come from the values read.",
                           lines,
                           {{"line", line}, {"text", text}, {"values", values}, {"meant", meant}})
                : SayCount(
                      "{count} data line holds more than the converter reads: line {line}, "
                      "{text}, is read as {values}, but it holds {meant}, and MyMicOut would "
                      "hold the values read.",
                      "{count} data lines hold more than the converter reads: line {line}, "
                      "{text}, is read as {values}, but it holds {meant}, and MyMicOut would "
                      "hold the values read.",
                      lines,
                      {{"line", line}, {"text", text}, {"values", values}, {"meant", meant}})) +
           " " +
           Say("Write the numbers with full stops as decimal points and blanks or tabs between "
               "them, then check again.");
}

std::string ColumnsSwapped(const Finding& finding) {
    const std::string line = LineNumber(finding);
    const std::string from = NumberOf(finding, "from");
    const std::string to = NumberOf(finding, "to");
    return (WhoOf(finding) == Who::File
                ? Say("The first column of the file does not rise (it falls at line {line}, from "
                      "{from} to {to}), while its second column rises at every line: the columns "
                      "look swapped, the response first and the frequency second.",
                      {{"line", line}, {"from", from}, {"to", to}})
                : Say("The first column of {file} does not rise (it falls at line {line}, from "
                      "{from} to {to}), while its second column rises at every line: the columns "
                      "look swapped, the response first and the frequency second.",
                      {{"file", FileName(finding)}, {"line", line}, {"from", from}, {"to", to}})) +
           " " +
           (WhoOf(finding) == Who::MyMicIn
                ? Say("Tarvelin takes the first column as the frequency, so MyMicOut would hold "
                      "responses as frequencies.")
                : Say("Tarvelin takes the first column as the frequency, so the points would be "
                      "read as other points.")) +
           " " + Say("Put the frequency first and the response second, then check again.");
}

std::string NotAscending(const Finding& finding) {
    const std::string line = LineNumber(finding);
    const std::string from = NumberOf(finding, "from");
    const std::string to = NumberOf(finding, "to");
    return (WhoOf(finding) == Who::File
                ? Say("The frequencies of the file decrease at line {line} ({from} Hz, then {to} "
                      "Hz).",
                      {{"line", line}, {"from", from}, {"to", to}})
                : Say("The frequencies of {file} decrease at line {line} ({from} Hz, then {to} "
                      "Hz).",
                      {{"file", FileName(finding)}, {"line", line}, {"from", from}, {"to", to}})) +
           " " +
           Say("A reference is searched from low to high frequency; in another order corrections "
               "can come from the wrong segment.") +
           " " + Say("Sort the file from low to high frequency.");
}

std::string RepeatedFrequency(const Finding& finding) {
    const std::string line = LineNumber(finding);
    const std::string frequency = NumberOf(finding, "frequency");
    if (Is(finding, "form", "differing")) {
        return Say("MyMicIn repeats the frequency {frequency} Hz at line {line} with another "
                   "response ({firstResponse} dB, then {secondResponse} dB): both points are "
                   "converted and kept in MyMicOut, and a program that reads it may take either.",
                   {{"frequency", frequency},
                    {"line", line},
                    {"firstResponse", NumberOf(finding, "firstResponse")},
                    {"secondResponse", NumberOf(finding, "secondResponse")}});
    }
    return WhoOf(finding) == Who::File
               ? Say("The file repeats the frequency {frequency} Hz at line {line}: at that "
                     "frequency a reference gives the response of one of the points that share "
                     "it.",
                     {{"frequency", frequency}, {"line", line}})
               : Say("{file} repeats the frequency {frequency} Hz at line {line}: at that "
                     "frequency a reference gives the response of one of the points that share "
                     "it.",
                     {{"file", FileName(finding)}, {"frequency", frequency}, {"line", line}});
}

std::string DroppedLines(const Finding& finding) {
    std::string groups;
    std::uint64_t total = 0;
    const auto add = [&](const FindingArgument* argument, std::string said) {
        if (argument == nullptr) {
            return;
        }
        total += argument->Count;
        groups += groups.empty() ? "" : ", ";
        groups += said;
    };
    // TRANSLATORS: each of these is one group in a list of the lines
    // dropped, such as "2 with words or comments (lines 1, 3: "Freq SPL")";
    // {lines} is "line 3" or "lines 3, 7".
    if (const FindingArgument* words = ArgumentNamed(finding, "words")) {
        add(words,
            SayCount("{count} with words or comments ({lines}: {text})",
                     "{count} with words or comments ({lines}: {text})", words->Count,
                     {{"lines", LinesSaid(words)}, {"text", QuotedOf(finding, "wordsText")}}));
    }
    if (const FindingArgument* alone = ArgumentNamed(finding, "numberAlone")) {
        add(alone, SayCount("{count} with a number alone ({lines}: {text})",
                            "{count} with a number alone ({lines}: {text})", alone->Count,
                            {{"lines", LinesSaid(alone)},
                             {"text", QuotedOf(finding, "numberAloneText")}}));
    }
    if (const FindingArgument* zero = ArgumentNamed(finding, "zeroFrequency")) {
        add(zero, SayCount("{count} with a frequency of 0 ({lines}: {text})",
                           "{count} with a frequency of 0 ({lines}: {text})", zero->Count,
                           {{"lines", LinesSaid(zero)},
                            {"text", QuotedOf(finding, "zeroFrequencyText")}}));
    }
    if (const FindingArgument* blank = ArgumentNamed(finding, "blank")) {
        add(blank, SayCount("{count} blank ({lines})", "{count} blank ({lines})", blank->Count,
                            {{"lines", LinesSaid(blank)}}));
    }
    // TRANSLATORS: {groups} is the list of groups of lines, joined by commas.
    return SayCount("{count} other line is dropped as neither header nor data line: {groups}.",
                    "{count} other lines are dropped as neither header nor data line: {groups}.",
                    total, {{"groups", groups}});
}

std::string LongLine(const Finding& finding) {
    return SayCount("{count} line is longer than 65,536 bytes ({lines}): only the first 65,536 "
                    "bytes of each are read for numbers.",
                    "{count} lines are longer than 65,536 bytes ({lines}): only the first 65,536 "
                    "bytes of each are read for numbers.",
                    LineCount(finding), {{"lines", LinesOf(finding)}});
}

std::string ExtraValues(const Finding& finding) {
    if (CountNamed(finding, "used") == 2) {
        return SayCount("{count} data line holds more than 2 numbers ({lines}): only the first "
                        "2, frequency and response, are used.",
                        "{count} data lines hold more than 2 numbers ({lines}): only the first "
                        "2, frequency and response, are used.",
                        LineCount(finding), {{"lines", LinesOf(finding)}});
    }
    return SayCount("{count} data line holds more than 3 numbers ({lines}): only the first 3, "
                    "frequency, response and third value, are used.",
                    "{count} data lines hold more than 3 numbers ({lines}): only the first 3, "
                    "frequency, response and third value, are used.",
                    LineCount(finding), {{"lines", LinesOf(finding)}});
}

std::string NonFinite(const Finding& finding) {
    // TRANSLATORS: {values} are the numbers the first line is read as, such
    // as "200 Hz and inf dB".
    return SayCount("{count} data line holds a number beyond the range of a 32-bit float, read "
                    "as infinity ({lines}: {values}).",
                    "{count} data lines hold a number beyond the range of a 32-bit float, read "
                    "as infinity ({lines}: {values}).",
                    LineCount(finding),
                    {{"lines", LinesOf(finding)}, {"values", ValuesRead(finding)}}) +
           " " + Say("Check those numbers.");
}

bool SayWithoutRepair(const Finding& finding, std::string& message) {
    switch (finding.Code) {
    case FindingCode::FileUnreadable:
        message = Unreadable(finding);
        return true;
    case FindingCode::TooFewPoints:
        message = TooFewPoints(finding);
        return true;
    case FindingCode::NoDataLines:
        message = NoDataLines(finding);
        return true;
    case FindingCode::CutAtEofMark:
        message = CutAtEofMark(finding);
        return true;
    case FindingCode::Utf16:
        message = Utf16(finding);
        return true;
    case FindingCode::QuotedNumbers:
        message = QuotedNumbers(finding);
        return true;
    case FindingCode::CommaSeparated:
        message = CommaSeparated(finding);
        return true;
    case FindingCode::DecimalComma:
        message = DecimalComma(finding);
        return true;
    case FindingCode::UnquotedHeader:
        message = UnquotedHeader(finding);
        return true;
    case FindingCode::UnreadableNumber:
        message = UnreadableNumber(finding);
        return true;
    case FindingCode::CutOff:
        message = CutOff(finding);
        return true;
    case FindingCode::FrequencyInKhz:
        message = FrequencyInKhz(finding);
        return true;
    case FindingCode::LinearResponse:
        message = LinearResponse(finding);
        return true;
    case FindingCode::PhaseAsResponse:
        message = PhaseAsResponse(finding);
        return true;
    case FindingCode::ImpossibleResponse:
        message = ImpossibleResponse(finding);
        return true;
    case FindingCode::Outlier:
        message = Outlier(finding);
        return true;
    case FindingCode::DroppedPoint:
        message = DroppedPoint(finding);
        return true;
    case FindingCode::TwoReadings:
        message = TwoReadings(finding);
        return true;
    case FindingCode::DigitGrouping:
        message = DigitGrouping(finding);
        return true;
    case FindingCode::PartlyRead:
        message = PartlyRead(finding);
        return true;
    case FindingCode::ColumnsSwapped:
        message = ColumnsSwapped(finding);
        return true;
    case FindingCode::NotAscending:
        message = NotAscending(finding);
        return true;
    case FindingCode::RepeatedFrequency:
        message = RepeatedFrequency(finding);
        return true;
    case FindingCode::DroppedLines:
        message = DroppedLines(finding);
        return true;
    case FindingCode::LongLine:
        message = LongLine(finding);
        return true;
    case FindingCode::ExtraValues:
        message = ExtraValues(finding);
        return true;
    case FindingCode::NonFinite:
        message = NonFinite(finding);
        return true;
    default:
        break;
    }
    return false;
}

} // namespace

bool SayFileFinding(const Finding& finding, std::string& message) {
    if (!SayWithoutRepair(finding, message)) {
        return false;
    }
    if (finding.Repairable) {
        message += ' ';
        message += Say("tarvelin-repair can repair this.");
    }
    return true;
}
