#include "FileScan.h"

#include "FindingText.h"
#include "LineShapes.h"

namespace {

bool IsReference(FileRole role) {
    return role == FileRole::RefMicFrom || role == FileRole::RefMicTo;
}

// The file's name at the start of a sentence.
std::string Name(const FileScan& scan) {
    return scan.Report.Role == FileRole::File ? "The file" : RoleName(scan.Report.Role);
}

// What a line dropped from a file costs: missing from MyMicOut, or a point
// the reference lacks.
std::string Consequence(const FileScan& scan, bool many) {
    if (IsReference(scan.Report.Role)) {
        return many ? "the reference lacks their points" : "the reference lacks its point";
    }
    if (scan.Report.Role == FileRole::MyMicIn) {
        return many ? "they are missing from MyMicOut" : "it is missing from MyMicOut";
    }
    return many ? "their points are not read" : "its point is not read";
}

void Add(std::vector<Finding>& findings, Severity level, std::string code, const FileScan& scan,
         std::uint64_t line, std::string message) {
    findings.push_back({level, std::move(code), scan.Report.Role, line, std::move(message)});
}

std::string ValuesRead(const LineTally& tally) {
    static const char* const Units[] = {" Hz", " dB", ""};
    std::string values;
    for (int i = 0; i < tally.FirstValueCount; ++i) {
        values += i == 0 ? "" : (i + 1 == tally.FirstValueCount ? " and " : ", ");
        values += Number(tally.FirstValues[i]) + Units[i];
    }
    return values;
}

void AddUnreadable(const FileScan& scan, std::vector<Finding>& findings) {
    Add(findings, Severity::Error, "file-unreadable", scan, 0,
        Name(scan) + " cannot be read: the converter would stop with \"" + scan.Failure +
            "\". Check the path, and that the file is there and readable.");
}

void AddShapeFindings(const FileScan& scan, std::vector<Finding>& findings) {
    const bool reference = IsReference(scan.Report.Role);
    if (const LineTally& t = scan.CommaSeparated; t.Count > 0) {
        Add(findings, Severity::Warning, "comma-separated", scan, t.FirstLines[0],
            Count(t.Count, "line is", "lines are") +
                " dropped because the numbers are separated by commas or semicolons, and " +
                Consequence(scan, t.Count > 1) + " (" + LineList(t.FirstLines, t.Count) + ": " +
                Quoted(t.FirstText) +
                "). Numbers must be separated by blanks or tabs: save the file as tab-separated "
                "text, or replace the separators with tabs.");
    }
    if (const LineTally& t = scan.DecimalCommaData; t.Count > 0) {
        Add(findings, Severity::Warning, "decimal-comma", scan, t.FirstLines[0],
            Count(t.Count, "data line has", "data lines have") +
                " numbers with a decimal comma, which ends a number: line " +
                std::to_string(t.FirstLines[0]) + ", " + Quoted(t.FirstText) + ", is read as " +
                ValuesRead(t) +
                ": the digits after each comma are lost, and a column after the first such "
                "comma is not read. Save the file with full stops as decimal points, then "
                "check it again.");
    }
    if (const LineTally& t = scan.DecimalCommaDropped; t.Count > 0) {
        Add(findings, Severity::Warning, "decimal-comma", scan, t.FirstLines[0],
            Count(t.Count, "line is", "lines are") +
                " dropped because a decimal comma cuts the numbers short (" +
                LineList(t.FirstLines, t.Count) + ": " + Quoted(t.FirstText) + "), and " +
                Consequence(scan, t.Count > 1) +
                ". Save the file with full stops as decimal points, then check it again.");
    }
    if (const LineTally& t = scan.UnquotedSensFactor; t.Count > 0) {
        float decibels = 0.0f;
        const std::string value =
            SensitivityOf(t.FirstText, decibels) ? " (" + Number(decibels) + " dB)" : "";
        std::string what = reference ? "the reference's sensitivity" + value +
                                           ", which measurement software reads from that "
                                           "line, is lost"
                                     : "MyMicOut loses the microphone's sensitivity" + value +
                                           ", which measurement software reads from that line";
        if (scan.Report.Role == FileRole::File) {
            what = "the microphone's sensitivity" + value +
                   ", which measurement software reads from that line, is lost";
        }
        Add(findings, Severity::Warning, "unquoted-header", scan, t.FirstLines[0],
            "Line " + std::to_string(t.FirstLines[0]) + ", " + Quoted(t.FirstText) +
                ", is a Sens Factor line without its opening double quote: it is dropped, and " +
                what + ". Put a \" in front of it to keep it as a header line.");
    }
    if (const LineTally& t = scan.UnquotedHeader; t.Count > 0) {
        Add(findings, Severity::Warning, "unquoted-header", scan, t.FirstLines[0],
            Count(t.Count, "line reads", "lines read") +
                " like a header line whose double quote is not its very first character, so " +
                (t.Count > 1 ? "they are" : "it is") + " dropped (" +
                LineList(t.FirstLines, t.Count) + ": " + Quoted(t.FirstText) +
                "). Put the \" at the very start of the line to keep it.");
    }
}

void AddDroppedAndLongFindings(const FileScan& scan, std::vector<Finding>& findings) {
    if (const LineTally& t = scan.OtherDropped; t.Count > 0) {
        Add(findings, Severity::Note, "dropped-lines", scan, t.FirstLines[0],
            Count(t.Count, "other line is", "other lines are") +
                " dropped as neither header nor data line (words, comments, a single number, "
                "a frequency of 0): " +
                LineList(t.FirstLines, t.Count) + ", the first of them " + Quoted(t.FirstText) +
                ".");
    }
    if (const LineTally& t = scan.LongLines; t.Count > 0) {
        Add(findings, Severity::Note, "long-line", scan, t.FirstLines[0],
            Count(t.Count, "line is", "lines are") + " longer than 65,536 bytes (" +
                LineList(t.FirstLines, t.Count) +
                "): only the first 65,536 bytes of each are read for numbers.");
    }
    if (const LineTally& t = scan.ExtraValues; t.Count > 0) {
        const std::string used =
            scan.ValueCount == 2 ? "frequency and response" : "frequency, response and third value";
        Add(findings, Severity::Note, "extra-values", scan, t.FirstLines[0],
            Count(t.Count, "data line holds", "data lines hold") + " more than " +
                std::to_string(scan.ValueCount) + " numbers (" + LineList(t.FirstLines, t.Count) +
                "): only the first " + std::to_string(scan.ValueCount) + ", " + used +
                ", are used.");
    }
    if (const LineTally& t = scan.NotFinite; t.Count > 0) {
        Add(findings, Severity::Warning, "non-finite", scan, t.FirstLines[0],
            Count(t.Count, "data line holds", "data lines hold") +
                " a number beyond the range of a 32-bit float, read as infinity (" +
                LineList(t.FirstLines, t.Count) + ": " + ValuesRead(t) + "). Check those numbers.");
    }
}

void AddOrderFindings(const FileScan& scan, std::vector<Finding>& findings) {
    if (!scan.Report.Ascending && scan.Report.Role != FileRole::MyMicIn) {
        Add(findings, Severity::Warning, "not-ascending", scan, scan.FirstDecrease,
            "The frequencies of " + Name(scan) + " decrease at line " +
                std::to_string(scan.FirstDecrease) + " (" + Number(scan.DecreaseFrom) +
                " Hz, then " + Number(scan.DecreaseTo) +
                " Hz). A reference is searched from low to high frequency; in another order "
                "corrections can come from the wrong segment. Sort the file from low to high "
                "frequency.");
    }
    if (scan.FirstRepeat != 0 && scan.Report.Role != FileRole::MyMicIn) {
        Add(findings, Severity::Note, "repeated-frequency", scan, scan.FirstRepeat,
            Name(scan) + " repeats the frequency " + Number(scan.Repeated) + " Hz at line " +
                std::to_string(scan.FirstRepeat) +
                ": at that frequency a reference gives the response of one of the points that "
                "share it.");
    }
}

} // namespace

void AddFileFindings(const FileScan& scan, std::vector<Finding>& findings) {
    const FileReport& report = scan.Report;
    if (!report.Read) {
        AddUnreadable(scan, findings);
        return;
    }
    if (IsReference(report.Role) && report.DataLines < 2) {
        Add(findings, Severity::Error, "too-few-points", scan, 0,
            Name(scan) + " has " + Count(report.DataLines, "data line", "data lines") +
                "; a reference needs at least 2, so the converter would stop with \"" +
                scan.Failure +
                "\". Check that this is the reference's calibration file and that its numbers "
                "are separated by blanks or tabs.");
    }
    if (!IsReference(report.Role) && report.DataLines == 0) {
        Add(findings, Severity::Warning, "no-data-lines", scan, 0,
            Name(scan) + " has no data line: nothing would be converted, and MyMicOut would " +
                "hold only its " + Count(report.HeaderLines, "header line", "header lines") +
                ". A data line is a frequency and a response, separated by blanks or tabs.");
    }
    if (scan.CutAtEndOfText) {
        Add(findings, Severity::Warning, "cut-at-eof-mark", scan, report.Lines,
            Name(scan) + " ends at a byte 0x1A, an old end-of-file mark, after line " +
                std::to_string(report.Lines) +
                ", and the bytes that follow it are not read. If they hold points, remove the "
                "0x1A byte.");
    }
    AddShapeFindings(scan, findings);
    AddOrderFindings(scan, findings);
    AddDroppedAndLongFindings(scan, findings);
}
