#include "ReportJson.h"

#include "FindingText.h"
#include "FindingWords.h"
#include "FloatText.h"
#include "ShownText.h"

#include <cmath>

namespace {

std::string JsonNumber(float value) {
    return std::isfinite(value) ? Number(value) : "null";
}

// A level or a change is worked out in double from floats, so its last
// digits are noise: six decimals, as MyMicOut has, without trailing zeros.
std::string JsonDecibels(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char text[64];
    const std::to_chars_result written = FormatFixed(text, text + sizeof text, value, 6);
    std::string shown(text, written.ptr);
    while (shown.back() == '0') {
        shown.pop_back();
    }
    if (shown.back() == '.') {
        shown.pop_back();
    }
    return shown == "-0" ? "0" : shown;
}

std::string JsonBool(bool value) {
    return value ? "true" : "false";
}

void AppendFile(std::string& out, const FileReport& file) {
    out += "{ \"role\": \"";
    out += RoleName(file.Role);
    out += "\", \"path\": ";
    AppendJsonString(out, file.Path);
    out += ", \"read\": " + JsonBool(file.Read);
    out += ", \"lines\": " + std::to_string(file.Lines);
    out += ", \"headerLines\": " + std::to_string(file.HeaderLines);
    out += ", \"dataLines\": " + std::to_string(file.DataLines);
    out += ", \"droppedLines\": " + std::to_string(file.DroppedLines);
    out += ", \"lineEnds\": \"";
    out += LineEndsName(file.LineEnds);
    out += "\", \"byteOrderMark\": " + JsonBool(file.ByteOrderMark);
    out += ", \"utf16\": " + JsonBool(file.Utf16);
    out +=
        ", \"firstFrequency\": " + (file.HasFrequencies ? JsonNumber(file.FirstFrequency) : "null");
    out +=
        ", \"lastFrequency\": " + (file.HasFrequencies ? JsonNumber(file.LastFrequency) : "null");
    out += ", \"ascending\": " + JsonBool(file.Ascending) + " }";
}

void AppendConversion(std::string& out, const ConversionReport& conversion) {
    if (!conversion.Made) {
        out += "null";
        return;
    }
    const bool has = conversion.HasCorrection;
    out += "{ \"points\": " + std::to_string(conversion.Points);
    out += ", \"extrapolated\": " + std::to_string(conversion.Extrapolated);
    out += ", \"correctionMin\": " + (has ? JsonNumber(conversion.CorrectionMin) : "null");
    out += ", \"correctionMinFrequency\": " +
           (has ? JsonNumber(conversion.CorrectionMinFrequency) : "null");
    out += ", \"correctionMax\": " + (has ? JsonNumber(conversion.CorrectionMax) : "null");
    out += ", \"correctionMaxFrequency\": " +
           (has ? JsonNumber(conversion.CorrectionMaxFrequency) : "null");
    out += " }";
}

void AppendArgument(std::string& out, const FindingArgument& argument) {
    switch (argument.Kind) {
    case ArgumentKind::Number:
        out += JsonNumber(static_cast<float>(argument.Value));
        return;
    case ArgumentKind::Decibels:
        out += JsonDecibels(argument.Value);
        return;
    case ArgumentKind::Count:
        out += std::to_string(argument.Count);
        return;
    case ArgumentKind::Lines: {
        out += "{ \"first\": [";
        for (std::size_t i = 0; i < argument.Lines.size(); ++i) {
            out += (i == 0 ? "" : ", ") + std::to_string(argument.Lines[i]);
        }
        out += "], \"count\": " + std::to_string(argument.Count) + " }";
        return;
    }
    case ArgumentKind::Quoted:
    case ArgumentKind::Word:
        break;
    }
    AppendJsonString(out, argument.Text);
}

} // namespace

void AppendFindingJson(std::string& out, const Finding& finding) {
    out += "{ \"severity\": \"";
    out += SeverityName(finding.Level);
    out += "\", \"code\": \"" + std::string(FindingCodeName(finding.Code)) + "\", \"title\": ";
    AppendJsonString(out, FindingTitle(finding));
    out += ", \"fix\": ";
    AppendJsonString(out, FindingFix(finding));
    out += ", \"role\": \"";
    out += RoleName(finding.Role);
    out += "\", \"line\": " + (finding.Line != 0 ? std::to_string(finding.Line) : "null");
    out += ", \"message\": ";
    AppendJsonString(out, FindingMessage(finding));
    out += ", \"droppedLines\": " + std::to_string(finding.DroppedLines);
    out += ", \"repairable\": " + JsonBool(finding.Repairable);
    out += ", \"arguments\": {";
    const char* comma = " ";
    for (const FindingArgument& argument : finding.Arguments) {
        out += comma;
        comma = ", ";
        AppendJsonString(out, argument.Name);
        out += ": ";
        AppendArgument(out, argument);
    }
    out += finding.Arguments.empty() ? "} }" : " } }";
}

std::string ReportAsJson(const CheckReport& report) {
    std::string out = "{ \"status\": " + std::to_string(ReportStatus(report)) + ",\n";
    out += "  \"files\": [";
    for (std::size_t i = 0; i < report.Files.size(); ++i) {
        out += i == 0 ? "\n    " : ",\n    ";
        AppendFile(out, report.Files[i]);
    }
    out += " ],\n  \"conversion\": ";
    AppendConversion(out, report.Conversion);
    out += ",\n  \"findings\": [";
    for (std::size_t i = 0; i < report.Findings.size(); ++i) {
        out += i == 0 ? "\n    " : ",\n    ";
        AppendFindingJson(out, report.Findings[i]);
    }
    out += report.Findings.empty() ? "] }\n" : " ] }\n";
    return out;
}
