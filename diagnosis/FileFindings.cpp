#include "FileScan.h"

#include "FindingText.h"
#include "NumberScanner.h"

#include <cmath>

namespace {

bool IsReference(FileRole role) {
    return role == FileRole::RefMicFrom || role == FileRole::RefMicTo;
}

// The file's name at the start of a sentence.
std::string Name(const FileScan& scan) {
    return scan.Report.Role == FileRole::File ? "The file" : RoleName(scan.Report.Role);
}

// The file's name within a sentence.
std::string NameWithin(const FileScan& scan) {
    return scan.Report.Role == FileRole::File ? "the file" : RoleName(scan.Report.Role);
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

void Add(std::vector<Finding>& findings, Severity level, FindingCode code, const FileScan& scan,
         std::uint64_t line, std::string message, std::uint64_t dropped = 0) {
    findings.push_back(
        {level, code, scan.Report.Role, line, std::move(message), dropped, false, {}});
}

// The repair mends what has one reading, and the finding says so; where the
// file's lines have two, the repair writes nothing.
void CanRepair(const FileScan& scan, std::vector<Finding>& findings) {
    if (scan.Verdict.TwoWays) {
        return;
    }
    findings.back().Repairable = true;
    findings.back().Message += " tarvelin-repair can repair this.";
}

std::string ValuesRead(const float* values, int count) {
    static const char* const Units[] = {" Hz", " dB", ""};
    std::string shown;
    for (int i = 0; i < count; ++i) {
        shown += i == 0 ? "" : (i + 1 == count ? " and " : ", ");
        shown += Number(values[i]) + Units[i];
    }
    return shown;
}

std::string ValuesRead(const LineTally& tally) {
    return ValuesRead(tally.FirstValues, tally.FirstValueCount);
}

// "3 lines are dropped", the lines listed and the first quoted.
std::string LinesAndFirst(const LineTally& t) {
    return LineList(t.FirstLines, t.Count) + ": " + Quoted(t.FirstText);
}

void AddUnreadable(const FileScan& scan, std::vector<Finding>& findings) {
    Add(findings, Severity::Error, FindingCode::FileUnreadable, scan, 0,
        Name(scan) + " cannot be read: the converter would stop with \"" + scan.Failure +
            "\". Check the path, and that the file is there and readable.");
}

void AddEncodingFindings(const FileScan& scan, std::vector<Finding>& findings) {
    if (const LineTally& t = scan.Utf16Lines; scan.Report.Utf16) {
        const std::string outcome = IsReference(scan.Report.Role) ? "the reference has no point"
                                    : scan.Report.Role == FileRole::MyMicIn
                                        ? "nothing would be converted"
                                        : "no point is read";
        Add(findings, Severity::Warning, FindingCode::Utf16, scan, 0,
            Name(scan) +
                " is UTF-16 text (what Windows Notepad saves as \"Unicode\"): every character "
                "takes two bytes, one of them zero, and the converter reads single bytes, so " +
                (t.Count == 1 ? "its one line is"
                              : "all " + std::to_string(t.Count) + " lines are") +
                " dropped and " + outcome +
                ". Save it as UTF-8 or ANSI text (in Notepad: File, Save As, Encoding), then check "
                "it again.",
            t.Count);
        CanRepair(scan, findings);
    }
    if (const LineTally& t = scan.QuotedNumbers; t.Count > 0) {
        const std::string outcome =
            IsReference(scan.Report.Role)
                ? "the reference skips " + std::string(t.Count > 1 ? "them" : "it")
            : scan.Report.Role == FileRole::MyMicIn
                ? std::string(t.Count > 1 ? "they are" : "it is") +
                      " copied to MyMicOut unchanged and not converted"
                : std::string(t.Count > 1 ? "they are" : "it is") +
                      " read as header lines, not as points";
        Add(findings, Severity::Warning, FindingCode::QuotedNumbers, scan, t.FirstLines[0],
            Count(t.Count, "line holds", "lines hold") +
                " only numbers in double quotes, as a spreadsheet writes text fields (" +
                LinesAndFirst(t) +
                "). A line that starts with a double quote is a header line, so " + outcome +
                ". Save the file without quotes around the numbers, or remove the quotes.");
        CanRepair(scan, findings);
    }
}

void AddSeparatorFindings(const FileScan& scan, std::vector<Finding>& findings) {
    if (const LineTally& t = scan.CommaSeparated; t.Count > 0) {
        Add(findings, Severity::Warning, FindingCode::CommaSeparated, scan, t.FirstLines[0],
            Count(t.Count, "line is", "lines are") +
                " dropped because the numbers are separated by commas or semicolons, and " +
                Consequence(scan, t.Count > 1) + " (" + LinesAndFirst(t) +
                "). Numbers must be separated by blanks or tabs: save the file as tab-separated "
                "text, or replace the separators with tabs.",
            t.Count);
        if (scan.TwoWayLines == 0) {
            CanRepair(scan, findings);
        }
    }
    if (const LineTally& t = scan.SpreadsheetCsv; t.Count > 0) {
        const bool semicolons = t.FirstText.find(';') != std::string::npos;
        Add(findings, Severity::Warning, FindingCode::CommaSeparated, scan, t.FirstLines[0],
            Count(t.Count, "line is", "lines are") + " dropped because " +
                (t.Count > 1 ? "they are" : "it is") +
                " written as a spreadsheet's CSV under a European "
                "language setting: numbers separated by " +
                (semicolons ? "semicolons" : "commas") + ", with decimal commas (" +
                LinesAndFirst(t) + "), and " + Consequence(scan, t.Count > 1) +
                ". New separators alone would leave the decimal commas, which end a number: " +
                (semicolons ? "replace each comma with a full stop and each semicolon with a tab"
                            : "save the file again with full stops as decimal points and tabs "
                              "between the numbers") +
                ", then check it again.",
            t.Count);
        if (scan.TwoWayLines == 0) {
            CanRepair(scan, findings);
        }
    }
    if (const LineTally& t = scan.DecimalCommaData; t.Count > 0) {
        Add(findings, Severity::Warning, FindingCode::DecimalComma, scan, t.FirstLines[0],
            Count(t.Count, "data line has", "data lines have") +
                " numbers with a decimal comma, which ends a number: line " +
                std::to_string(t.FirstLines[0]) + ", " + Quoted(t.FirstText) + ", is read as " +
                ValuesRead(t) +
                ": the digits after each comma are lost, and a column after the first such "
                "comma is not read. Save the file with full stops as decimal points, then "
                "check it again.");
        CanRepair(scan, findings);
    }
    if (const LineTally& t = scan.DecimalCommaDropped; t.Count > 0) {
        Add(findings, Severity::Warning, FindingCode::DecimalComma, scan, t.FirstLines[0],
            Count(t.Count, "line is", "lines are") +
                " dropped because a decimal comma cuts the numbers short (" + LinesAndFirst(t) +
                "), and " + Consequence(scan, t.Count > 1) +
                ". Save the file with full stops as decimal points, then check it again.",
            t.Count);
        CanRepair(scan, findings);
    }
}

// In a reference, header lines and lines of words alike are read and set
// aside: a missing quote changes nothing there.
void AddUnquotedHeaderFindings(const FileScan& scan, std::vector<Finding>& findings) {
    const bool reference = IsReference(scan.Report.Role);
    const Severity level = reference ? Severity::Note : Severity::Warning;
    if (const LineTally& t = scan.UnquotedSensFactor; t.Count > 0) {
        float decibels = 0.0f;
        const std::string value =
            SensitivityOf(t.FirstText, decibels) ? " (" + Number(decibels) + " dB)" : "";
        const std::string more =
            t.Count > 1 ? " (" + Count(t.Count - 1, "more such line", "more such lines") + ")" : "";
        std::string what =
            reference
                ? ". In a reference that changes nothing: Tarvelin sets a reference's header "
                  "lines aside all the same, so MyMicOut is the same with or without the quote"
            : scan.Report.Role == FileRole::MyMicIn
                ? ": it is dropped, and MyMicOut loses the microphone's sensitivity" + value +
                      ", which measurement software reads from that line. Put a \" in front "
                      "of it to keep it as a header line"
                : ": it is dropped, and the microphone's sensitivity" + value +
                      ", which measurement software reads from that line, is lost. Put a "
                      "\" in front of it to keep it as a header line";
        Add(findings, level, FindingCode::UnquotedHeader, scan, t.FirstLines[0],
            "Line " + std::to_string(t.FirstLines[0]) + ", " + Quoted(t.FirstText) + more +
                ", is a Sens Factor line without its opening double quote" + what + ".",
            t.Count);
        if (!reference) {
            CanRepair(scan, findings);
        }
    }
    if (const LineTally& t = scan.UnquotedHeader; t.Count > 0) {
        const std::string what =
            reference ? ". In a reference that changes nothing: its header lines and its lines "
                        "of words are set aside alike"
                      : ", so " + std::string(t.Count > 1 ? "they are" : "it is") +
                            " dropped. Put the \" at the very start of the line to keep it";
        Add(findings, level, FindingCode::UnquotedHeader, scan, t.FirstLines[0],
            Count(t.Count, "line reads", "lines read") +
                " like a header line whose double quote is not its very first character (" +
                LinesAndFirst(t) + ")" + what + ".",
            t.Count);
    }
}

void AddUnreadableNumbers(const FileScan& scan, std::vector<Finding>& findings) {
    const LineTally& t = scan.UnreadableNumbers;
    if (t.Count == 0) {
        return;
    }
    const bool reference = IsReference(scan.Report.Role);
    const bool many = t.Count > 1;
    Add(findings, reference ? Severity::Note : Severity::Warning, FindingCode::UnreadableNumber,
        scan, t.FirstLines[0],
        Count(t.Count, "line starts", "lines start") +
            " with a number and goes on with one that cannot be read (" + LinesAndFirst(t) +
            "), so " + (many ? "they are" : "it is") + " dropped, and " + Consequence(scan, many) +
            (reference
                 ? "; the correction there comes from the points around "
                   "it. Correct the numbers if the point matters."
                 : ". Correct the numbers on " + std::string(many ? "those lines" : "that line") +
                       ", then check again."),
        t.Count);
}

void AddCutOff(const FileScan& scan, std::vector<Finding>& findings) {
    if (!scan.CutOff) {
        return;
    }
    const LastLine& last = scan.Last;
    const ColumnPattern& pattern = scan.Pattern;
    const NumberShape& shape = last.Shapes[last.Count - 1];
    const NumberShape& expected = pattern.Shapes[last.Count - 1];
    std::string sooner;
    if (scan.CutOffFewerValues) {
        sooner = "it holds " + Count(static_cast<std::uint64_t>(last.Count), "number", "numbers") +
                 " where they hold " + std::to_string(pattern.Count);
    } else if (shape.Decimals < expected.Decimals) {
        sooner = "its last number has " +
                 Count(static_cast<std::uint64_t>(shape.Decimals), "decimal", "decimals") +
                 " where that column has " + std::to_string(expected.Decimals);
    } else {
        sooner = "its last number's exponent has " +
                 Count(static_cast<std::uint64_t>(shape.ExponentDigits), "digit", "digits") +
                 " where that column has " + std::to_string(expected.ExponentDigits);
    }
    const std::string missing = scan.Report.Role == FileRole::MyMicIn ? ", from MyMicOut too" : "";
    Add(findings, Severity::Warning, FindingCode::CutOff, scan, last.Number,
        "The last line of " + NameWithin(scan) + ", line " + std::to_string(last.Number) + ", " +
            Quoted(std::string_view(last.Text, last.TextSize)) +
            ", has no line end and ends sooner than the lines before it: " + sooner +
            ". The file looks cut off: whatever followed is missing" + missing +
            ", and this line " + (last.Data ? "is read as it stands" : "is dropped") +
            ". Get the whole file again from where it came, then check again.",
        scan.CutOffDropped ? 1 : 0);
}

void AddUnitFindings(const FileScan& scan, bool kilohertzAlone, std::vector<Finding>& findings) {
    const FileReport& report = scan.Report;
    const bool reference = IsReference(report.Role);
    if (kilohertzAlone) {
        const std::string outcome =
            report.Role == FileRole::File
                ? "a program that reads this file takes them as Hz, far below the audio band"
            : reference ? "the correction would be taken from this reference at frequencies a "
                          "thousand times too low"
                        : "MyMicIn's points would lie far below the references' frequencies, "
                          "where the correction is a straight line guessed far beyond their ends";
        Add(findings, Severity::Warning, FindingCode::FrequencyInKhz, scan, 0,
            "The frequencies of " + NameWithin(scan) + " run from " + Number(scan.Span.Lowest) +
                " to " + Number(scan.Span.Highest) +
                ": below 50 Hz, though as kHz they would be the audio band. Tarvelin reads "
                "frequencies in Hz, so " +
                outcome +
                ". If they are kHz, multiply the frequencies by 1000 (a spreadsheet does that in "
                "one column), then check again.");
    }
    if (report.DataLines >= 2 && scan.AllTinyAndPositive &&
        scan.HighestResponse > scan.LowestResponse) {
        Add(findings, Severity::Warning, FindingCode::LinearResponse, scan, 0,
            "Every response of " + NameWithin(scan) + " is positive and tiny (" +
                Number(scan.LowestResponse) + " to " + Number(scan.HighestResponse) +
                "): they look like linear values (pascals, volts per pascal or a ratio), not "
                "decibels. Tarvelin adds and subtracts responses as decibels, so " +
                (report.Role == FileRole::MyMicIn || reference ? "MyMicOut would mean nothing "
                                                                 "in either unit"
                                                               : "the values cannot be used "
                                                                 "as they are") +
                ". Export the calibration in dB (20 times the log10 of each value over its "
                "reference value), then check again.");
    }
    const bool withinHalfCircle = scan.LowestResponse >= -180.0f && scan.HighestResponse <= 180.0f;
    if (report.DataLines >= 2 &&
        (scan.PhaseNamedLine != 0 || (scan.PhaseWraps > 0 && withinHalfCircle))) {
        const std::string seen =
            scan.PhaseNamedLine != 0
                ? "line " + std::to_string(scan.PhaseNamedLine) + " names the second column a phase"
                : "it stays within ±180 and jumps from " + Number(scan.WrapFrom.Response) + " to " +
                      Number(scan.WrapTo.Response) + " at line " +
                      std::to_string(scan.WrapTo.Line) + ", as a phase does where it wraps around";
        const std::string outcome = reference ? "the correction would be made of phases"
                                    : report.Role == FileRole::MyMicIn
                                        ? "the correction would be added to the phase, and "
                                          "MyMicOut would hold no response"
                                        : "the phase would be read as the response";
        Add(findings, Severity::Warning, FindingCode::PhaseAsResponse, scan,
            scan.PhaseNamedLine != 0 ? scan.PhaseNamedLine : scan.WrapTo.Line,
            "The second column of " + NameWithin(scan) +
                " looks like a phase in degrees, not a response in dB: " + seen +
                ". Tarvelin takes the second column as the response, so " + outcome +
                ". If the file holds the level in another column, put it second (frequency, "
                "level, phase), then check again.");
    }
}

std::string More(const LineTally& t) {
    return t.Count > 1 ? " (" + Count(t.Count, "such point", "such points") + ": " +
                             LineList(t.FirstLines, t.Count) + ")"
                       : "";
}

void AddLonePoints(const FileScan& scan, std::vector<Finding>& findings) {
    const std::string outcome = IsReference(scan.Report.Role) ? "the correction would carry it"
                                : scan.Report.Role == FileRole::MyMicIn ? "MyMicOut would keep it"
                                                                        : "it is read as it stands";
    if (const LineTally& t = scan.Impossible; t.Count > 0) {
        Add(findings, Severity::Warning, FindingCode::ImpossibleResponse, scan, t.FirstLines[0],
            "At line " + std::to_string(t.FirstLines[0]) + " (" + Number(t.FirstValues[0]) +
                " Hz) the response of " + NameWithin(scan) + " is " + Number(t.FirstValues[1]) +
                " dB, more than any microphone's response or any sound level" + More(t) +
                ": a decimal point or a minus sign is probably lost, and " + outcome +
                ". Check the numbers on that line.");
    }
    if (const LineTally& t = scan.Spikes; t.Count > 0) {
        Add(findings, Severity::Warning, FindingCode::Outlier, scan, t.FirstLines[0],
            "At line " + std::to_string(t.FirstLines[0]) + " (" + Number(t.FirstValues[0]) +
                " Hz) the response of " + NameWithin(scan) + " is " + Number(t.FirstValues[1]) +
                " dB, while the points around it have " + Number(scan.SpikeNeighbours[0]) +
                " and " + Number(scan.SpikeNeighbours[1]) +
                " dB: a lone point this far from its neighbours is more likely a typing error, "
                "such as a lost decimal point or a doubled digit, than a measurement" +
                More(t) + ". If so, " + outcome + ". Check the numbers on that line.");
    }
    if (const LineTally& t = scan.LoneFrequencies; t.Count > 0) {
        Add(findings, Severity::Warning, FindingCode::Outlier, scan, t.FirstLines[0],
            "At line " + std::to_string(t.FirstLines[0]) + " the frequency of " + NameWithin(scan) +
                " is " + Number(t.FirstValues[0]) + " Hz, between points at " +
                Number(scan.LoneFrequencyNeighbours[0]) + " and " +
                Number(scan.LoneFrequencyNeighbours[1]) +
                " Hz: a lone frequency out of order, as when a digit is doubled or lost" + More(t) +
                ". If so, " + outcome + ". Check the frequency on that line.");
    }
}

void AddSignFlips(const FileScan& scan, std::vector<Finding>& findings) {
    AddLonePoints(scan, findings);
    const LineTally& t = scan.SignFlips;
    if (t.Count == 0) {
        return;
    }
    const std::string outcome = IsReference(scan.Report.Role)
                                    ? "the correction would carry a spike there"
                                : scan.Report.Role == FileRole::MyMicIn ? "MyMicOut would keep it"
                                                                        : "it is read as it stands";
    const std::string more = t.Count > 1 ? " (" + Count(t.Count, "such point", "such points") +
                                               ": " + LineList(t.FirstLines, t.Count) + ")"
                                         : "";
    Add(findings, Severity::Warning, FindingCode::Outlier, scan, t.FirstLines[0],
        "At line " + std::to_string(t.FirstLines[0]) + " (" + Number(t.FirstValues[0]) +
            " Hz) the response of " + NameWithin(scan) + " is " + Number(t.FirstValues[1]) +
            " dB, while the points around it have " + Number(scan.SignFlipNeighbours[0]) + " and " +
            Number(scan.SignFlipNeighbours[1]) +
            " dB: about the same size with the other sign, as when a minus sign is lost or "
            "added" +
            more + ". If so, " + outcome + ". Check the sign on that line.");
}

// Where the converter's reading of a line stops: the character there, shown
// as the file writes it, and its column, counted in characters.
std::string WhereReadingStops(std::string_view text) {
    float values[MyMicInValueCount];
    std::string_view written[MyMicInValueCount];
    const int count =
        ScanValueTexts(text.data(), text.data() + text.size(), values, written, MyMicInValueCount);
    std::size_t at = count > 0 ? static_cast<std::size_t>(written[count - 1].data() +
                                                          written[count - 1].size() - text.data())
                               : 0;
    while (at < text.size() && IsScanWhitespace(text[at])) {
        ++at;
    }
    if (at >= text.size()) {
        return "at the line's end";
    }
    std::size_t length = 1;
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead >= 0xC0) {
        length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    }
    std::uint64_t column = 1;
    for (std::size_t i = 0; i < at; ++i) {
        column += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 ? 1 : 0;
    }
    return "at " + Quoted(text.substr(at, length)) + " in column " + std::to_string(column);
}

std::string MeantValues(const float* values, int count) {
    std::string shown;
    for (int i = 0; i < count; ++i) {
        shown += i == 0 ? "" : (i + 1 == count ? " and " : ", ");
        shown += Number(values[i]);
    }
    return shown;
}

// The file's lines read equally well in two ways that give other values: the
// first line where they part.
void AddTwoReadings(const FileScan& scan, std::vector<Finding>& findings) {
    const ReadingVerdict& verdict = scan.Verdict;
    const StyleTally& first = scan.Reading.Styles[verdict.Style];
    const StyleTally& other = scan.Reading.Styles[verdict.Other];
    const MeantExample& e =
        first.Otherwise == 0 ||
                (other.Otherwise > 0 && other.FirstOtherwise.Line < first.FirstOtherwise.Line)
            ? other.FirstOtherwise
            : first.FirstOtherwise;
    if (e.Line == 0) {
        return;
    }
    std::string readings;
    for (const int style : {verdict.Style, verdict.Other}) {
        StyledLine line;
        if (ReadInStyle(e.Text, NumberStyles[style], true, line)) {
            readings += readings.empty() ? "as " : " or as ";
            readings += Quoted(line.Mended) + " " + StyleWords(style);
        }
    }
    if (readings.empty()) {
        return;
    }
    Add(findings, Severity::Warning, FindingCode::TwoReadings, scan, e.Line,
        "Line " + std::to_string(e.Line) + ", " + Quoted(e.Text) + ", can be read " + readings +
            ", and the rest of " + NameWithin(scan) +
            " does not tell which was meant: a mark between digits may be a decimal point, a "
            "mark grouping thousands or a separator. Tarvelin reads it " +
            (e.ReadCount > 0 ? "as " + ValuesRead(e.Read, e.ReadCount) : "as no point") +
            ". Write the numbers with full stops as decimal points, no marks between their "
            "digits, and blanks or tabs between them, then check again.");
}

void AddReadingFindings(const FileScan& scan, std::vector<Finding>& findings) {
    const bool reference = IsReference(scan.Report.Role);
    const ReadingVerdict& verdict = scan.Verdict;
    const StyleTally* style =
        verdict.Style >= 0 && !verdict.TwoWays ? &scan.Reading.Styles[verdict.Style] : nullptr;
    if (const LineTally& t = scan.UnreadPoints; t.Count > 0) {
        // A reference that lacks a few points still gives its correction
        // from the points around them; one that lacks many gives it from far.
        const bool many = t.Count * 5 > scan.Report.DataLines;
        Add(findings, reference && !many ? Severity::Note : Severity::Warning,
            FindingCode::DroppedPoint, scan, t.FirstLines[0],
            Count(t.Count, "line begins", "lines begin") + " like a point but " +
                (t.Count > 1 ? "are" : "is") + " dropped, and " + Consequence(scan, t.Count > 1) +
                " (" + LinesAndFirst(t) + "): the converter's reading of line " +
                std::to_string(t.FirstLines[0]) + " stops " + WhereReadingStops(t.FirstText) +
                ", where a number or the line's end should stand. Write " +
                (t.Count > 1 ? "those lines" : "that line") +
                " as a frequency and a response, separated by blanks or tabs, then check again.",
            t.Count);
        if (style != nullptr && style->Otherwise > 0) {
            CanRepair(scan, findings);
        }
    }
    if (verdict.TwoWays) {
        AddTwoReadings(scan, findings);
    }
    if (style == nullptr) {
        return;
    }
    if (const MeantExample& e = style->FirstGrouped; style->Grouped > 0) {
        Add(findings, Severity::Warning, FindingCode::DigitGrouping, scan, e.Line,
            Count(style->Grouped, "line groups the digits of its numbers",
                  "lines group the digits of their numbers") +
                " in thousands, as a spreadsheet does under some language settings (line " +
                std::to_string(e.Line) + ": " + Quoted(e.Text) + ", meant as " +
                MeantValues(e.Meant, e.MeantCount) +
                "). The converter reads no such mark: it ends a number there, so such lines are "
                "dropped or read as other values, and " +
                (reference ? "the correction there comes from other points"
                           : "MyMicOut would lack their points or hold others") +
                ". Write the numbers without marks between their digits, then check again.");
        CanRepair(scan, findings);
    }
    if (const MeantExample& e = style->FirstData;
        style->OtherwiseData > 0 && scan.DecimalCommaData.Count == 0) {
        Add(findings, Severity::Warning, FindingCode::PartlyRead, scan, e.Line,
            Count(style->OtherwiseData, "data line holds", "data lines hold") +
                " more than the converter reads: line " + std::to_string(e.Line) + ", " +
                Quoted(e.Text) + ", is read as " + ValuesRead(e.Read, e.ReadCount) +
                ", but it holds " + MeantValues(e.Meant, e.MeantCount) + ", and " +
                (reference ? "the correction there would come from the values read"
                           : "MyMicOut would hold the values read") +
                ". Write the numbers with full stops as decimal points and blanks or tabs "
                "between them, then check again.");
        CanRepair(scan, findings);
    }
}

void AddColumnsSwapped(const FileScan& scan, std::vector<Finding>& findings) {
    if (!scan.ColumnsSwapped) {
        return;
    }
    Add(findings, Severity::Warning, FindingCode::ColumnsSwapped, scan, scan.FirstDecrease,
        "The first column of " + NameWithin(scan) + " does not rise (it falls at line " +
            std::to_string(scan.FirstDecrease) + ", from " + Number(scan.DecreaseFrom) + " to " +
            Number(scan.DecreaseTo) +
            "), while its second column rises at every line: the columns look swapped, the "
            "response first and the frequency second. Tarvelin takes the first column as the "
            "frequency, so " +
            (scan.Report.Role == FileRole::MyMicIn ? "MyMicOut would hold responses as frequencies"
                                                   : "the points would be read as other points") +
            ". Put the frequency first and the response second, then check again.");
}

void AddOrderFindings(const FileScan& scan, std::vector<Finding>& findings) {
    const bool reference = scan.Report.Role != FileRole::MyMicIn;
    if (!scan.Report.Ascending && reference) {
        Add(findings, Severity::Warning, FindingCode::NotAscending, scan, scan.FirstDecrease,
            "The frequencies of " + NameWithin(scan) + " decrease at line " +
                std::to_string(scan.FirstDecrease) + " (" + Number(scan.DecreaseFrom) +
                " Hz, then " + Number(scan.DecreaseTo) +
                " Hz). A reference is searched from low to high frequency; in another order "
                "corrections can come from the wrong segment. Sort the file from low to high "
                "frequency.");
        // A lone CR in the line that would come first would change how the
        // whole sorted file reads, so the repair leaves such a file as it is.
        if (scan.Interruption == 0 && !(scan.FirstLineIsData && scan.SortedFirstHoldsLoneCr)) {
            CanRepair(scan, findings);
        }
    }
    if (scan.FirstRepeat != 0 && reference) {
        Add(findings, Severity::Note, FindingCode::RepeatedFrequency, scan, scan.FirstRepeat,
            Name(scan) + " repeats the frequency " + Number(scan.Repeated) + " Hz at line " +
                std::to_string(scan.FirstRepeat) +
                ": at that frequency a reference gives the response of one of the points that "
                "share it.");
    }
    if (scan.FirstDifferingRepeat != 0 && !reference) {
        Add(findings, Severity::Note, FindingCode::RepeatedFrequency, scan,
            scan.FirstDifferingRepeat,
            "MyMicIn repeats the frequency " + Number(scan.DifferingRepeat) + " Hz at line " +
                std::to_string(scan.FirstDifferingRepeat) + " with another response (" +
                Number(scan.DifferingResponses[0]) + " dB, then " +
                Number(scan.DifferingResponses[1]) +
                " dB): both points are converted and kept in MyMicOut, and a program that "
                "reads it may take either.");
    }
}

void AddDroppedLines(const FileScan& scan, std::vector<Finding>& findings) {
    static const char* const Reasons[] = {"with words or comments", "with a number alone",
                                          "with a frequency of 0", "blank"};
    std::uint64_t total = 0;
    std::string groups;
    std::uint64_t first = 0;
    for (int reason = 0; reason < 4; ++reason) {
        const LineTally& t = scan.Dropped[reason];
        if (t.Count == 0) {
            continue;
        }
        total += t.Count;
        first = first == 0 ? t.FirstLines[0] : std::min(first, t.FirstLines[0]);
        groups += groups.empty() ? "" : ", ";
        groups += std::to_string(t.Count) + " " + Reasons[reason] + " (" +
                  (reason == static_cast<int>(DropReason::Blank) ? LineList(t.FirstLines, t.Count)
                                                                 : LinesAndFirst(t)) +
                  ")";
    }
    if (total == 0) {
        return;
    }
    Add(findings, Severity::Note, FindingCode::DroppedLines, scan, first,
        Count(total, "other line is", "other lines are") +
            " dropped as neither header nor data line: " + groups + ".",
        total);
}

void AddLongAndExtraFindings(const FileScan& scan, std::vector<Finding>& findings) {
    if (const LineTally& t = scan.LongLines; t.Count > 0) {
        Add(findings, Severity::Note, FindingCode::LongLine, scan, t.FirstLines[0],
            Count(t.Count, "line is", "lines are") + " longer than 65,536 bytes (" +
                LineList(t.FirstLines, t.Count) +
                "): only the first 65,536 bytes of each are read for numbers.");
    }
    if (const LineTally& t = scan.ExtraValues; t.Count > 0) {
        const std::string used =
            scan.ValueCount == 2 ? "frequency and response" : "frequency, response and third value";
        Add(findings, Severity::Note, FindingCode::ExtraValues, scan, t.FirstLines[0],
            Count(t.Count, "data line holds", "data lines hold") + " more than " +
                std::to_string(scan.ValueCount) + " numbers (" + LineList(t.FirstLines, t.Count) +
                "): only the first " + std::to_string(scan.ValueCount) + ", " + used +
                ", are used.");
    }
    if (const LineTally& t = scan.NotFinite; t.Count > 0) {
        Add(findings, Severity::Warning, FindingCode::NonFinite, scan, t.FirstLines[0],
            Count(t.Count, "data line holds", "data lines hold") +
                " a number beyond the range of a 32-bit float, read as infinity (" +
                LineList(t.FirstLines, t.Count) + ": " + ValuesRead(t) + "). Check those numbers.");
    }
}

} // namespace

void AddFileFindings(const FileScan& scan, bool kilohertzAlone, std::vector<Finding>& findings) {
    const FileReport& report = scan.Report;
    if (!report.Read) {
        AddUnreadable(scan, findings);
        return;
    }
    if (IsReference(report.Role) && report.DataLines < 2) {
        Add(findings, Severity::Error, FindingCode::TooFewPoints, scan, 0,
            Name(scan) + " has " + Count(report.DataLines, "data line", "data lines") +
                "; a reference needs at least 2, so the converter would stop with \"" +
                scan.Failure +
                "\". Check that this is the reference's calibration file and that its numbers "
                "are separated by blanks or tabs.");
    }
    if (!IsReference(report.Role) && report.DataLines == 0) {
        const std::string kept = report.HeaderLines == 0
                                     ? "MyMicOut would be empty"
                                     : "MyMicOut would hold only its " +
                                           Count(report.HeaderLines, "header line", "header lines");
        Add(findings, Severity::Warning, FindingCode::NoDataLines, scan, 0,
            Name(scan) + " has no data line: nothing would be converted, and " + kept +
                ". A data line is a frequency and a response, separated by blanks or tabs.");
    }
    if (scan.CutAtEndOfText) {
        Add(findings, Severity::Warning, FindingCode::CutAtEofMark, scan, report.Lines,
            Name(scan) + " ends at a byte 0x1A, an old end-of-file mark, after line " +
                std::to_string(report.Lines) +
                ", and the bytes that follow it are not read. If they hold points, remove the "
                "0x1A byte.");
    }
    AddEncodingFindings(scan, findings);
    AddSeparatorFindings(scan, findings);
    AddUnquotedHeaderFindings(scan, findings);
    AddUnreadableNumbers(scan, findings);
    AddReadingFindings(scan, findings);
    AddCutOff(scan, findings);
    AddUnitFindings(scan, kilohertzAlone, findings);
    AddSignFlips(scan, findings);
    AddColumnsSwapped(scan, findings);
    AddOrderFindings(scan, findings);
    AddDroppedLines(scan, findings);
    AddLongAndExtraFindings(scan, findings);
}
