#include "FileFacts.h"

#include "DroppedLines.h"
#include "NumberScanner.h"

#include <algorithm>
#include <cmath>

// The findings about one file, as data: each names the values its words need,
// and wording/ says them.

namespace {

bool IsReference(FileRole role) {
    return role == FileRole::RefMicFrom || role == FileRole::RefMicTo;
}

Finding& Add(std::vector<Finding>& findings, Severity level, FindingCode code,
             const FileFacts& scan, std::uint64_t line, std::vector<FindingArgument> arguments,
             std::uint64_t dropped = 0) {
    findings.push_back({level, code, scan.Report.Role, line, dropped, false, std::move(arguments)});
    return findings.back();
}

// The repair mends what has one reading, and the finding says so; where the
// file's lines have two, the repair writes nothing.
void CanRepair(const FileFacts& scan, std::vector<Finding>& findings) {
    if (scan.Verdict.TwoWays) {
        return;
    }
    findings.back().Repairable = true;
}

FindingArgument Lines(const LineTally& t) {
    return LinesArgument("lines", t.FirstLines, t.Count);
}

FindingArgument FirstText(const LineTally& t) {
    return QuotedArgument("text", t.FirstText);
}

FindingArgument Form(std::string_view form) {
    return WordArgument("form", form);
}

// The values a line is read as: a frequency, a response and a third value,
// as many as were read.
void AddValues(std::vector<FindingArgument>& arguments, const char* const names[3],
               const float* values, int count) {
    for (int i = 0; i < count && i < 3; ++i) {
        arguments.push_back(NumberArgument(names[i], values[i]));
    }
}

const char* const ReadNames[3] = {"frequency", "response", "third"};
const char* const MeantNames[3] = {"meantFrequency", "meantResponse", "meantThird"};

void AddRead(std::vector<FindingArgument>& arguments, const float* values, int count) {
    AddValues(arguments, ReadNames, values, count);
}

void AddMeant(std::vector<FindingArgument>& arguments, const float* values, int count) {
    AddValues(arguments, MeantNames, values, count);
}

void AddUnreadable(const FileFacts& scan, std::vector<Finding>& findings) {
    Add(findings, Severity::Error, FindingCode::FileUnreadable, scan, 0,
        {QuotedArgument("failure", scan.Failure)});
}

void AddEncodingFindings(const FileFacts& scan, std::vector<Finding>& findings) {
    if (const LineTally& t = scan.Utf16Lines; scan.Report.Utf16) {
        Add(findings, Severity::Warning, FindingCode::Utf16, scan, 0,
            {CountArgument("lineCount", t.Count)}, t.Count);
        CanRepair(scan, findings);
    }
    if (const LineTally& t = scan.QuotedNumbers; t.Count > 0) {
        Add(findings, Severity::Warning, FindingCode::QuotedNumbers, scan, t.FirstLines[0],
            {Lines(t), FirstText(t)});
        CanRepair(scan, findings);
    }
}

void AddSeparatorFindings(const FileFacts& scan, std::vector<Finding>& findings) {
    if (const LineTally& t = scan.CommaSeparated; t.Count > 0) {
        Add(findings, Severity::Warning, FindingCode::CommaSeparated, scan, t.FirstLines[0],
            {Form("separators"), Lines(t), FirstText(t)}, t.Count);
        if (scan.TwoWayLines == 0) {
            CanRepair(scan, findings);
        }
    }
    if (const LineTally& t = scan.SpreadsheetCsv; t.Count > 0) {
        const bool semicolons = t.FirstText.find(';') != std::string::npos;
        Add(findings, Severity::Warning, FindingCode::CommaSeparated, scan, t.FirstLines[0],
            {Form("spreadsheet"), WordArgument("separator", semicolons ? "semicolons" : "commas"),
             Lines(t), FirstText(t)},
            t.Count);
        if (scan.TwoWayLines == 0) {
            CanRepair(scan, findings);
        }
    }
    if (const LineTally& t = scan.DecimalCommaData; t.Count > 0) {
        std::vector<FindingArgument> arguments = {Form("data"), Lines(t), FirstText(t)};
        AddRead(arguments, t.FirstValues, t.FirstValueCount);
        Add(findings, Severity::Warning, FindingCode::DecimalComma, scan, t.FirstLines[0],
            std::move(arguments));
        // Among full stops, a comma may be a typo for either mark.
        if (scan.DecimalCommaAmongPoints == 0) {
            CanRepair(scan, findings);
        }
    }
    if (const LineTally& t = scan.DecimalCommaDropped; t.Count > 0) {
        Add(findings, Severity::Warning, FindingCode::DecimalComma, scan, t.FirstLines[0],
            {Form("dropped"), Lines(t), FirstText(t)}, t.Count);
        CanRepair(scan, findings);
    }
}

// In a reference, header lines and lines of words alike are read and set
// aside: a missing quote changes nothing there.
void AddUnquotedHeaderFindings(const FileFacts& scan, std::vector<Finding>& findings) {
    const bool reference = IsReference(scan.Report.Role);
    const Severity level = reference ? Severity::Note : Severity::Warning;
    if (const LineTally& t = scan.UnquotedSensFactor; t.Count > 0) {
        std::vector<FindingArgument> arguments = {Form("sens-factor"), Lines(t), FirstText(t)};
        if (float decibels = 0.0f; SensitivityOf(t.FirstText, decibels)) {
            arguments.push_back(NumberArgument("sensitivity", decibels));
        }
        Add(findings, level, FindingCode::UnquotedHeader, scan, t.FirstLines[0],
            std::move(arguments), t.Count);
        if (!reference) {
            CanRepair(scan, findings);
        }
    }
    if (const LineTally& t = scan.UnquotedHeader; t.Count > 0) {
        Add(findings, level, FindingCode::UnquotedHeader, scan, t.FirstLines[0],
            {Form("header"), Lines(t), FirstText(t)}, t.Count);
    }
}

void AddUnreadableNumbers(const FileFacts& scan, std::vector<Finding>& findings) {
    const LineTally& t = scan.UnreadableNumbers;
    if (t.Count == 0) {
        return;
    }
    Add(findings, IsReference(scan.Report.Role) ? Severity::Note : Severity::Warning,
        FindingCode::UnreadableNumber, scan, t.FirstLines[0], {Lines(t), FirstText(t)}, t.Count);
}

void AddCutOff(const FileFacts& scan, std::vector<Finding>& findings) {
    if (!scan.CutOff) {
        return;
    }
    const LastLine& last = scan.Last;
    const ColumnPattern& pattern = scan.Pattern;
    const NumberShape& shape = last.Shapes[last.Count - 1];
    const NumberShape& expected = pattern.Shapes[last.Count - 1];
    std::vector<FindingArgument> arguments = {
        QuotedArgument("text", std::string_view(last.Text, last.TextSize)),
        WordArgument("outcome", last.Data ? "read" : "dropped")};
    if (scan.CutOffFewerValues) {
        arguments.push_back(Form("fewer-numbers"));
        arguments.push_back(CountArgument("numbers", static_cast<std::uint64_t>(last.Count)));
        arguments.push_back(CountArgument("expected", static_cast<std::uint64_t>(pattern.Count)));
    } else if (shape.Decimals < expected.Decimals) {
        arguments.push_back(Form("fewer-decimals"));
        arguments.push_back(CountArgument("decimals", static_cast<std::uint64_t>(shape.Decimals)));
        arguments.push_back(
            CountArgument("expected", static_cast<std::uint64_t>(expected.Decimals)));
    } else {
        arguments.push_back(Form("fewer-exponent-digits"));
        arguments.push_back(
            CountArgument("digits", static_cast<std::uint64_t>(shape.ExponentDigits)));
        arguments.push_back(
            CountArgument("expected", static_cast<std::uint64_t>(expected.ExponentDigits)));
    }
    Add(findings, Severity::Warning, FindingCode::CutOff, scan, last.Number, std::move(arguments),
        scan.CutOffDropped ? 1 : 0);
}

void AddUnitFindings(const FileFacts& scan, bool kilohertzAlone, std::vector<Finding>& findings) {
    const FileReport& report = scan.Report;
    if (kilohertzAlone) {
        Add(findings, Severity::Warning, FindingCode::FrequencyInKhz, scan, 0,
            {NumberArgument("lowest", scan.Span.Lowest),
             NumberArgument("highest", scan.Span.Highest)});
    }
    if (report.DataLines >= LeastCurvePoints && scan.AllTinyAndPositive &&
        scan.HighestResponse > scan.LowestResponse) {
        Add(findings, Severity::Warning, FindingCode::LinearResponse, scan, 0,
            {NumberArgument("lowest", scan.LowestResponse),
             NumberArgument("highest", scan.HighestResponse)});
    }
    const bool withinHalfCircle = scan.LowestResponse >= -180.0f && scan.HighestResponse <= 180.0f;
    if (report.DataLines >= LeastCurvePoints &&
        (scan.PhaseNamedLine != 0 || (scan.PhaseWraps > 0 && withinHalfCircle))) {
        if (scan.PhaseNamedLine != 0) {
            Add(findings, Severity::Warning, FindingCode::PhaseAsResponse, scan,
                scan.PhaseNamedLine, {Form("phase-named")});
        } else {
            Add(findings, Severity::Warning, FindingCode::PhaseAsResponse, scan, scan.WrapTo.Line,
                {Form("phase-wraps"), NumberArgument("from", scan.WrapFrom.Response),
                 NumberArgument("to", scan.WrapTo.Response)});
        }
    }
}

// A lone point: its line, its frequency (and response, where it is the
// response that stands out), the points around it, and the other lines of
// its kind.
std::vector<FindingArgument> LonePoint(const char* form, const LineTally& t, int values,
                                       const float* neighbours) {
    std::vector<FindingArgument> arguments;
    if (form != nullptr) {
        arguments.push_back(Form(form));
    }
    arguments.push_back(Lines(t));
    AddRead(arguments, t.FirstValues, values);
    if (neighbours != nullptr) {
        arguments.push_back(NumberArgument("neighbourBefore", neighbours[0]));
        arguments.push_back(NumberArgument("neighbourAfter", neighbours[1]));
    }
    return arguments;
}

void AddLonePoints(const FileFacts& scan, std::vector<Finding>& findings) {
    if (const LineTally& t = scan.Impossible; t.Count > 0) {
        Add(findings, Severity::Warning, FindingCode::ImpossibleResponse, scan, t.FirstLines[0],
            LonePoint(nullptr, t, 2, nullptr));
    }
    if (const LineTally& t = scan.Spikes; t.Count > 0) {
        Add(findings, Severity::Warning, FindingCode::Outlier, scan, t.FirstLines[0],
            LonePoint("spike", t, 2, scan.SpikeNeighbours));
    }
    if (const LineTally& t = scan.LoneFrequencies; t.Count > 0) {
        Add(findings, Severity::Warning, FindingCode::Outlier, scan, t.FirstLines[0],
            LonePoint("lone-frequency", t, 1, scan.LoneFrequencyNeighbours));
    }
}

void AddSignFlips(const FileFacts& scan, std::vector<Finding>& findings) {
    AddLonePoints(scan, findings);
    if (const LineTally& t = scan.SignFlips; t.Count > 0) {
        Add(findings, Severity::Warning, FindingCode::Outlier, scan, t.FirstLines[0],
            LonePoint("sign-flip", t, 2, scan.SignFlipNeighbours));
    }
}

// Where the converter's reading of a line stops: the character there, as the
// file writes it, and its column, counted in characters; none at the line's
// end.
void AddWhereReadingStops(std::string_view text, std::vector<FindingArgument>& arguments) {
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
        arguments.push_back(WordArgument("stop", "line-end"));
        return;
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
    arguments.push_back(WordArgument("stop", "character"));
    arguments.push_back(QuotedArgument("character", text.substr(at, length)));
    arguments.push_back(CountArgument("column", column));
}

// The file's lines read equally well in two ways that give other values: the
// first line where they part.
void AddTwoReadings(const FileFacts& scan, std::vector<Finding>& findings) {
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
    std::vector<FindingArgument> arguments = {QuotedArgument("text", e.Text)};
    static const char* const ReadingNames[2][2] = {{"firstReading", "firstStyle"},
                                                   {"secondReading", "secondStyle"}};
    int readings = 0;
    for (const int style : {verdict.Style, verdict.Other}) {
        StyledLine line;
        if (ReadInStyle(e.Text, NumberStyles[style], true, line)) {
            arguments.push_back(QuotedArgument(ReadingNames[readings][0], line.Mended));
            arguments.push_back(WordArgument(ReadingNames[readings][1], StyleName(style)));
            ++readings;
        }
    }
    if (readings == 0) {
        return;
    }
    AddRead(arguments, e.Read, e.ReadCount);
    Add(findings, Severity::Warning, FindingCode::TwoReadings, scan, e.Line, std::move(arguments));
}

void AddReadingFindings(const FileFacts& scan, std::vector<Finding>& findings) {
    const ReadingVerdict& verdict = scan.Verdict;
    const StyleTally* style =
        verdict.Style >= 0 && !verdict.TwoWays ? &scan.Reading.Styles[verdict.Style] : nullptr;
    if (const LineTally& t = scan.UnreadPoints; t.Count > 0) {
        // A reference that lacks a few points still gives its correction
        // from the points around them; one that lacks many gives it from far.
        const bool many = t.Count * 5 > scan.Report.DataLines;
        std::vector<FindingArgument> arguments = {Lines(t), FirstText(t)};
        AddWhereReadingStops(t.FirstText, arguments);
        Add(findings, IsReference(scan.Report.Role) && !many ? Severity::Note : Severity::Warning,
            FindingCode::DroppedPoint, scan, t.FirstLines[0], std::move(arguments), t.Count);
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
        std::vector<FindingArgument> arguments = {CountArgument("lineCount", style->Grouped),
                                                  QuotedArgument("text", e.Text)};
        AddMeant(arguments, e.Meant, e.MeantCount);
        Add(findings, Severity::Warning, FindingCode::DigitGrouping, scan, e.Line,
            std::move(arguments));
        CanRepair(scan, findings);
    }
    if (const MeantExample& e = style->FirstData;
        style->OtherwiseData > 0 && scan.DecimalCommaData.Count == 0) {
        std::vector<FindingArgument> arguments = {CountArgument("lineCount", style->OtherwiseData),
                                                  QuotedArgument("text", e.Text)};
        AddRead(arguments, e.Read, e.ReadCount);
        AddMeant(arguments, e.Meant, e.MeantCount);
        Add(findings, Severity::Warning, FindingCode::PartlyRead, scan, e.Line,
            std::move(arguments));
        CanRepair(scan, findings);
    }
}

void AddColumnsSwapped(const FileFacts& scan, std::vector<Finding>& findings) {
    if (!scan.ColumnsSwapped) {
        return;
    }
    Add(findings, Severity::Warning, FindingCode::ColumnsSwapped, scan, scan.FirstDecrease,
        {NumberArgument("from", scan.DecreaseFrom), NumberArgument("to", scan.DecreaseTo)});
}

void AddOrderFindings(const FileFacts& scan, std::vector<Finding>& findings) {
    const bool reference = scan.Report.Role != FileRole::MyMicIn;
    if (!scan.Report.Ascending && reference) {
        Add(findings, Severity::Warning, FindingCode::NotAscending, scan, scan.FirstDecrease,
            {NumberArgument("from", scan.DecreaseFrom), NumberArgument("to", scan.DecreaseTo)});
        // A lone CR in the line that would come first would change how the
        // whole sorted file reads, so the repair leaves such a file as it is.
        if (scan.Interruption == 0 && !(scan.FirstLineIsData && scan.SortedFirstHoldsLoneCr)) {
            CanRepair(scan, findings);
        }
    }
    if (scan.FirstRepeat != 0 && reference) {
        Add(findings, Severity::Note, FindingCode::RepeatedFrequency, scan, scan.FirstRepeat,
            {Form("repeated"), NumberArgument("frequency", scan.Repeated)});
    }
    if (scan.FirstDifferingRepeat != 0 && !reference) {
        Add(findings, Severity::Note, FindingCode::RepeatedFrequency, scan,
            scan.FirstDifferingRepeat,
            {Form("differing"), NumberArgument("frequency", scan.DifferingRepeat),
             NumberArgument("firstResponse", scan.DifferingResponses[0]),
             NumberArgument("secondResponse", scan.DifferingResponses[1])});
    }
}

void AddDroppedLines(const FileFacts& scan, std::vector<Finding>& findings) {
    // By DropReason; a blank line has no text to quote.
    static const char* const Names[4][2] = {{"words", "wordsText"},
                                            {"numberAlone", "numberAloneText"},
                                            {"zeroFrequency", "zeroFrequencyText"},
                                            {"blank", nullptr}};
    std::uint64_t total = 0;
    std::uint64_t first = 0;
    std::vector<FindingArgument> arguments;
    for (int reason = 0; reason < 4; ++reason) {
        const LineTally& t = scan.Dropped[reason];
        if (t.Count == 0) {
            continue;
        }
        total += t.Count;
        first = first == 0 ? t.FirstLines[0] : std::min(first, t.FirstLines[0]);
        arguments.push_back(LinesArgument(Names[reason][0], t.FirstLines, t.Count));
        if (Names[reason][1] != nullptr) {
            arguments.push_back(QuotedArgument(Names[reason][1], t.FirstText));
        }
    }
    if (total == 0) {
        return;
    }
    Add(findings, Severity::Note, FindingCode::DroppedLines, scan, first, std::move(arguments),
        total);
}

void AddLongAndExtraFindings(const FileFacts& scan, std::vector<Finding>& findings) {
    if (const LineTally& t = scan.LongLines; t.Count > 0) {
        Add(findings, Severity::Note, FindingCode::LongLine, scan, t.FirstLines[0], {Lines(t)});
    }
    if (const LineTally& t = scan.ExtraValues; t.Count > 0) {
        Add(findings, Severity::Note, FindingCode::ExtraValues, scan, t.FirstLines[0],
            {Lines(t), CountArgument("used", static_cast<std::uint64_t>(scan.ValueCount))});
    }
    if (const LineTally& t = scan.NotFinite; t.Count > 0) {
        std::vector<FindingArgument> arguments = {Lines(t)};
        AddRead(arguments, t.FirstValues, t.FirstValueCount);
        Add(findings, Severity::Warning, FindingCode::NonFinite, scan, t.FirstLines[0],
            std::move(arguments));
    }
}

} // namespace

void AddFileFindings(const FileFacts& scan, bool kilohertzAlone, std::vector<Finding>& findings) {
    const FileReport& report = scan.Report;
    if (!report.Read) {
        AddUnreadable(scan, findings);
        return;
    }
    if (IsReference(report.Role) && report.DataLines < LeastCurvePoints) {
        Add(findings, Severity::Error, FindingCode::TooFewPoints, scan, 0,
            {CountArgument("dataLines", report.DataLines),
             QuotedArgument("failure", scan.Failure)});
    }
    if (!IsReference(report.Role) && report.DataLines == 0) {
        Add(findings, Severity::Warning, FindingCode::NoDataLines, scan, 0,
            {CountArgument("headerLines", report.HeaderLines)});
    }
    if (scan.CutAtEndOfText) {
        Add(findings, Severity::Warning, FindingCode::CutAtEofMark, scan, report.Lines, {});
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
