#include "CheckReport.h"

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
