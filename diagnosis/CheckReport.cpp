#include "CheckReport.h"

namespace {

constexpr const char* CodeNames[] = {
    "file-unreadable",
    "too-few-points",
    "no-data-lines",
    "utf-16",
    "quoted-numbers",
    "comma-separated",
    "decimal-comma",
    "unquoted-header",
    "unreadable-number",
    "cut-off",
    "cut-at-eof-mark",
    "frequency-in-khz",
    "linear-response",
    "phase-as-response",
    "outlier",
    "impossible-response",
    "dropped-point",
    "partly-read",
    "digit-grouping",
    "two-readings",
    "columns-swapped",
    "not-ascending",
    "wrong-segment",
    "identical-references",
    "input-is-reference",
    "different-serial-numbers",
    "different-angles",
    "large-correction",
    "far-extrapolation",
    "non-finite",
    "extrapolated",
    "repeated-frequency",
    "dropped-lines",
    "long-line",
    "extra-values",
    "sensitivity-changed",
};

} // namespace

const char* FindingCodeName(FindingCode code) {
    return CodeNames[static_cast<int>(code)];
}

const FindingArgument* ArgumentNamed(const Finding& finding, std::string_view name) {
    for (const FindingArgument& argument : finding.Arguments) {
        if (argument.Name == name) {
            return &argument;
        }
    }
    return nullptr;
}

double NumberNamed(const Finding& finding, std::string_view name) {
    const FindingArgument* argument = ArgumentNamed(finding, name);
    return argument != nullptr ? argument->Value : 0.0;
}

std::uint64_t CountNamed(const Finding& finding, std::string_view name) {
    const FindingArgument* argument = ArgumentNamed(finding, name);
    return argument != nullptr ? argument->Count : 0;
}

std::string_view TextNamed(const Finding& finding, std::string_view name) {
    const FindingArgument* argument = ArgumentNamed(finding, name);
    return argument != nullptr ? std::string_view(argument->Text) : std::string_view();
}

FindingArgument NumberArgument(const char* name, float value) {
    return {name, ArgumentKind::Number, value, 0, {}, {}};
}

FindingArgument DecibelsArgument(const char* name, double value) {
    return {name, ArgumentKind::Decibels, value, 0, {}, {}};
}

FindingArgument CountArgument(const char* name, std::uint64_t count) {
    return {name, ArgumentKind::Count, 0.0, count, {}, {}};
}

FindingArgument LinesArgument(const char* name, const std::vector<std::uint64_t>& lines,
                              std::uint64_t total) {
    return {name, ArgumentKind::Lines, 0.0, total, lines, {}};
}

FindingArgument QuotedArgument(const char* name, std::string_view text) {
    return {name, ArgumentKind::Quoted, 0.0, 0, {}, std::string(text)};
}

FindingArgument WordArgument(const char* name, std::string_view word) {
    return {name, ArgumentKind::Word, 0.0, 0, {}, std::string(word)};
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
