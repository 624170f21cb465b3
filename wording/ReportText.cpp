#include "ReportText.h"

#include "FindingText.h"
#include "FindingWords.h"
#include "ShownText.h"

namespace {

// The role names line up in a column this wide.
constexpr std::size_t RoleColumn = 12;
const std::string Indent(RoleColumn, ' ');

void AppendRole(std::string& out, std::string_view role) {
    out += role;
    out.append(RoleColumn > role.size() ? RoleColumn - role.size() : 1, ' ');
}

void AppendFile(std::string& out, const FileReport& file) {
    AppendRole(out, RoleName(file.Role));
    AppendShownText(out, file.Path);
    out += '\n';
    if (!file.Read) {
        out += Indent + "not read\n";
        return;
    }
    out += Indent + Count(file.Lines, "line", "lines") + ": " + std::to_string(file.HeaderLines) +
           " header, " + std::to_string(file.DataLines) + " data, " +
           std::to_string(file.DroppedLines) + " dropped; line ends " + LineEndsName(file.LineEnds);
    if (file.ByteOrderMark) {
        out += "; UTF-8 byte-order mark";
    }
    if (file.Utf16) {
        out += "; UTF-16 text";
    }
    out += '\n';
    if (file.HasFrequencies) {
        out += Indent + "frequencies " + Number(file.FirstFrequency) + " Hz to " +
               Number(file.LastFrequency) + " Hz, " + (file.Ascending ? "rising" : "not rising") +
               "\n";
    }
}

void AppendConversion(std::string& out, const ConversionReport& conversion) {
    AppendRole(out, "Conversion");
    out += Count(conversion.Points, "point", "points") + ", " +
           std::to_string(conversion.Extrapolated) + " extrapolated";
    if (conversion.HasCorrection) {
        out += "; correction " + Decibels(conversion.CorrectionMin) + " dB at " +
               Number(conversion.CorrectionMinFrequency) + " Hz to " +
               Decibels(conversion.CorrectionMax) + " dB at " +
               Number(conversion.CorrectionMaxFrequency) + " Hz";
    }
    out += '\n';
}

std::string Conclusion(const CheckReport& report) {
    std::size_t counts[3] = {};
    for (const Finding& finding : report.Findings) {
        ++counts[static_cast<int>(finding.Level)];
    }
    const bool oneFile = report.Files.size() == 1;
    const std::string subject = oneFile ? "this file" : "these files";
    switch (ReportStatus(report)) {
    case 2:
        return "Tarvelin would refuse " + subject + ": " +
               Count(counts[static_cast<int>(Severity::Error)], "error", "errors") + ".";
    case 1:
        return (oneFile ? "Read as shown" : "Tarvelin would convert " + subject) +
               ", but look at the " +
               Count(counts[static_cast<int>(Severity::Warning)], "warning", "warnings") +
               " first.";
    default:
        break;
    }
    return (oneFile ? "Read as shown" : "Tarvelin would convert " + subject) +
           "; nothing needs your attention.";
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
    std::string where = RoleName(finding.Role);
    if (finding.Line != 0) {
        where += " line " + std::to_string(finding.Line);
    }
    out += SeverityName(finding.Level);
    out.append(9 - std::string_view(SeverityName(finding.Level)).size(), ' ');
    out += '[';
    out += FindingCodeName(finding.Code);
    out += "] " + where + ": ";
    AppendShownText(out, FindingMessage(finding));
    out += '\n';
}
