#include "CheckCalibration.h"

#include "ConversionFacts.h"
#include "FileFacts.h"
#include "PointConversion.h"

#include <algorithm>

namespace {

FileFacts ScanOf(FileRole role, const char* path) {
    FileFacts scan;
    scan.Report.Role = role;
    scan.Report.Path = path;
    return scan;
}

bool Loaded(const FileFacts& scan) {
    return scan.Report.Read && scan.Report.DataLines >= LeastCurvePoints;
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

// Three files in one unit convert as they should; only what reads MyMicOut
// afterwards may expect Hz.
void AddAllInKilohertz(const FileFacts& in, std::vector<Finding>& findings) {
    // One file's frequencies in kHz are another finding of this code, with
    // other words.
    findings.push_back(
        {Severity::Note,
         FindingCode::FrequencyInKhz,
         FileRole::MyMicIn,
         0,
         0,
         false,
         {WordArgument("form", "all-files"), NumberArgument("lowest", in.Span.Lowest),
          NumberArgument("highest", in.Span.Highest)}});
}

} // namespace

CheckReport CheckConversion(const char* refMicFrom, const char* refMicTo, const char* myMicIn) {
    // The evaluations start where a fresh converter's would.
    ResetConversionState();
    FileFacts from = ScanOf(FileRole::RefMicFrom, refMicFrom);
    FileFacts to = ScanOf(FileRole::RefMicTo, refMicTo);
    FileFacts in = ScanOf(FileRole::MyMicIn, myMicIn);
    CalibrationCurve fromCurve;
    CalibrationCurve toCurve;
    ScanReference(from, fromCurve);
    ScanReference(to, toCurve);
    ConversionFacts conversion;
    const bool converts = Loaded(from) && Loaded(to);
    if (converts) {
        StartConversionScan(conversion, fromCurve, toCurve);
        in.Points = WatchPoints(conversion);
    }
    ScanUserFile(in);

    CheckReport report;
    report.Files = {from.Report, to.Report, in.Report};
    const bool allKilohertz =
        LooksLikeKilohertz(from) && LooksLikeKilohertz(to) && LooksLikeKilohertz(in);
    for (const FileFacts* scan : {&from, &to, &in}) {
        AddFileFindings(*scan, LooksLikeKilohertz(*scan) && !allKilohertz, report.Findings);
    }
    if (allKilohertz) {
        AddAllInKilohertz(in, report.Findings);
    }
    if (converts && in.Report.Read) {
        AddConversionFindings(conversion, from, to, in, report.Findings);
        report.Conversion = conversion.Report;
    }
    SortFindings(report.Findings);
    return report;
}

namespace {

CheckReport CheckOneFile(FileFacts& file) {
    ScanUserFile(file);
    return ReportOnScannedFile(file);
}

} // namespace

CheckReport ReportOnScannedFile(const FileFacts& file) {
    CheckReport report;
    report.Files = {file.Report};
    AddFileFindings(file, LooksLikeKilohertz(file), report.Findings);
    SortFindings(report.Findings);
    return report;
}

CheckReport CheckCalibrationFile(const char* path) {
    FileFacts file = ScanOf(FileRole::File, path);
    return CheckOneFile(file);
}

CheckReport CheckCalibrationText(const char* path, std::string_view text) {
    FileFacts file = ScanOf(FileRole::File, path);
    file.FromText = true;
    file.Text = text;
    return CheckOneFile(file);
}
