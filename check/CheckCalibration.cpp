#include "CheckCalibration.h"

#include "ConversionScan.h"
#include "EvaluateCurve.h"
#include "FileScan.h"

#include <algorithm>

namespace {

FileScan ScanOf(FileRole role, const char* path) {
    FileScan scan;
    scan.Report.Role = role;
    scan.Report.Path = path;
    return scan;
}

bool Loaded(const FileScan& scan) {
    return scan.Report.Read && scan.Report.DataLines >= 2;
}

// Errors first, then warnings, then notes; within each, file by file and
// line by line.
void SortFindings(std::vector<Finding>& findings) {
    std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
        if (a.Level != b.Level) {
            return a.Level > b.Level;
        }
        if (a.Role != b.Role) {
            return a.Role < b.Role;
        }
        return a.Line < b.Line;
    });
}

} // namespace

CheckReport CheckConversion(const char* refMicFrom, const char* refMicTo, const char* myMicIn) {
    // The evaluations start where a fresh converter's would.
    ResetEvaluation();
    FileScan from = ScanOf(FileRole::RefMicFrom, refMicFrom);
    FileScan to = ScanOf(FileRole::RefMicTo, refMicTo);
    FileScan in = ScanOf(FileRole::MyMicIn, myMicIn);
    CalibrationCurve fromCurve;
    CalibrationCurve toCurve;
    ScanReference(from, fromCurve);
    ScanReference(to, toCurve);
    ConversionScan conversion;
    const bool converts = Loaded(from) && Loaded(to);
    if (converts) {
        StartConversionScan(conversion, fromCurve, toCurve);
        in.Points = WatchPoints(conversion);
    }
    ScanUserFile(in);

    CheckReport report;
    report.Files = {from.Report, to.Report, in.Report};
    for (const FileScan* scan : {&from, &to, &in}) {
        AddFileFindings(*scan, report.Findings);
    }
    if (converts && in.Report.Read) {
        report.Conversion = conversion.Report;
        AddConversionFindings(conversion, from, to, in, report.Findings);
    }
    SortFindings(report.Findings);
    return report;
}

CheckReport CheckCalibrationFile(const char* path) {
    FileScan file = ScanOf(FileRole::File, path);
    ScanUserFile(file);
    CheckReport report;
    report.Files = {file.Report};
    AddFileFindings(file, report.Findings);
    SortFindings(report.Findings);
    return report;
}
