#include "ReportText.h"

#include "Catalogue.h"
#include "FindingText.h"
#include "FindingWords.h"
#include "ShownText.h"

#include <algorithm>

namespace {

// The role names line up in a column this wide.
constexpr std::size_t RoleColumn = 12;
const std::string Indent(RoleColumn, ' ');

// The columns a text takes: its characters, not its bytes, since a
// translation's letters may take several.
std::size_t Width(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

void AppendPadded(std::string& out, std::string_view text, std::size_t column) {
    out += text;
    const std::size_t width = Width(text);
    out.append(column > width ? column - width : 1, ' ');
}

// A lone file has no role; "File" heads its lines as a word of the report.
std::string ShownRole(FileRole role) {
    return role == FileRole::File ? SayIn("the role of a lone file", "File") : RoleName(role);
}

std::string LineEndsWords(LineEndKind ends) {
    switch (ends) {
    case LineEndKind::None:
        return Say("line ends none");
    case LineEndKind::Mixed:
        return Say("line ends mixed");
    case LineEndKind::CrLf:
    case LineEndKind::Lf:
    case LineEndKind::Cr:
        break;
    }
    // TRANSLATORS: {lineEnds} is LF, CRLF or CR.
    return Say("line ends {lineEnds}", {{"lineEnds", LineEndsName(ends)}});
}

void AppendFile(std::string& out, const FileReport& file) {
    AppendPadded(out, ShownRole(file.Role), RoleColumn);
    AppendShownText(out, file.Path);
    out += '\n';
    if (!file.Read) {
        out += Indent + Say("not read") + "\n";
        return;
    }
    // The parts of the summary are a list, joined by semicolons.
    // TRANSLATORS: how many of the file's lines are header lines, data lines
    // and lines the converter drops.
    out += Indent +
           SayCount("{count} line: {header} header, {data} data, {dropped} dropped",
                    "{count} lines: {header} header, {data} data, {dropped} dropped", file.Lines,
                    {{"header", std::to_string(file.HeaderLines)},
                     {"data", std::to_string(file.DataLines)},
                     {"dropped", std::to_string(file.DroppedLines)}}) +
           "; " + LineEndsWords(file.LineEnds);
    if (file.ByteOrderMark) {
        out += "; " + Say("UTF-8 byte-order mark");
    }
    if (file.Utf16) {
        out += "; " + Say("UTF-16 text");
    }
    out += '\n';
    if (file.HasFrequencies) {
        const std::initializer_list<Named> range = {{"first", ShownNumber(file.FirstFrequency)},
                                                    {"last", ShownNumber(file.LastFrequency)}};
        out += Indent +
               (file.Ascending ? Say("frequencies {first} Hz to {last} Hz, rising", range)
                               : Say("frequencies {first} Hz to {last} Hz, not rising", range)) +
               "\n";
    }
}

void AppendConversion(std::string& out, const ConversionReport& conversion) {
    AppendPadded(out, Say("Conversion"), RoleColumn);
    // TRANSLATORS: the points of the converted file, and how many of them
    // lie beyond the reference files' frequencies.
    out += SayCount("{count} point, {extrapolated} extrapolated",
                    "{count} points, {extrapolated} extrapolated", conversion.Points,
                    {{"extrapolated", std::to_string(conversion.Extrapolated)}});
    if (conversion.HasCorrection) {
        // TRANSLATORS: the least and the greatest correction the conversion
        // makes, each with the frequency where it makes it.
        out += "; " + Say("correction {least} dB at {leastFrequency} Hz to {most} dB at "
                          "{mostFrequency} Hz",
                          {{"least", ShownDecibels(conversion.CorrectionMin)},
                           {"leastFrequency", ShownNumber(conversion.CorrectionMinFrequency)},
                           {"most", ShownDecibels(conversion.CorrectionMax)},
                           {"mostFrequency", ShownNumber(conversion.CorrectionMaxFrequency)}});
    }
    out += '\n';
}

std::string Conclusion(const CheckReport& report) {
    std::uint64_t counts[3] = {};
    for (const Finding& finding : report.Findings) {
        ++counts[static_cast<int>(finding.Level)];
    }
    const std::uint64_t errors = counts[static_cast<int>(Severity::Error)];
    const std::uint64_t warnings = counts[static_cast<int>(Severity::Warning)];
    const bool oneFile = report.Files.size() == 1;
    switch (ReportStatus(report)) {
    case 2:
        return oneFile ? SayCount("Tarvelin would refuse this file: {count} error.",
                                  "Tarvelin would refuse this file: {count} errors.", errors)
                       : SayCount("Tarvelin would refuse these files: {count} error.",
                                  "Tarvelin would refuse these files: {count} errors.", errors);
    case 1:
        return oneFile
                   ? SayCount("Read as shown, but look at the {count} warning first.",
                              "Read as shown, but look at the {count} warnings first.", warnings)
                   : SayCount("Tarvelin would convert these files, but look at the {count} "
                              "warning first.",
                              "Tarvelin would convert these files, but look at the {count} "
                              "warnings first.",
                              warnings);
    default:
        break;
    }
    return oneFile ? Say("Read as shown; nothing needs your attention.")
                   : Say("Tarvelin would convert these files; nothing needs your attention.");
}

std::string SeverityWord(Severity level) {
    switch (level) {
    case Severity::Error:
        return SayIn("severity", "error");
    case Severity::Warning:
        return SayIn("severity", "warning");
    case Severity::Note:
        break;
    }
    return SayIn("severity", "note");
}

} // namespace

std::string ReportAsText(const CheckReport& report) {
    std::string out;
    for (const FileReport& file : report.Files) {
        AppendFile(out, file);
    }
    if (report.Conversion.Made) {
        AppendConversion(out, report.Conversion);
    }
    out += '\n';
    for (const Finding& finding : report.Findings) {
        AppendFindingLine(out, finding);
    }
    if (!report.Findings.empty()) {
        out += '\n';
    }
    out += Conclusion(report) + "\n";
    return out;
}

void AppendFindingLine(std::string& out, const Finding& finding) {
    // The codes line up after the longest severity word, whatever the
    // language; in English that is column 9.
    std::size_t column = 0;
    for (const Severity level : {Severity::Error, Severity::Warning, Severity::Note}) {
        column = std::max(column, Width(SeverityWord(level)) + 2);
    }
    AppendPadded(out, SeverityWord(finding.Level), column);
    out += '[';
    out += FindingCodeName(finding.Code);
    out += "] ";
    const std::string line = std::to_string(finding.Line);
    if (finding.Line == 0) {
        out += ShownRole(finding.Role);
    } else if (finding.Role == FileRole::File) {
        out += Say("File line {line}", {{"line", line}});
    } else {
        // TRANSLATORS: {file} is the file's role: RefMicFrom, RefMicTo or
        // MyMicIn.
        out += Say("{file} line {line}", {{"file", RoleName(finding.Role)}, {"line", line}});
    }
    out += ": ";
    AppendShownText(out, FindingMessage(finding));
    out += '\n';
}
