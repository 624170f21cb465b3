#include "FileScan.h"

#include "FindingText.h"
#include "LineShapes.h"
#include "Messages.h"
#include "NumberScanner.h"
#include "ReferenceLoader.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::size_t FirstLinesShown = 5;

void Add(LineTally& tally, std::uint64_t line, std::string_view text,
         const JudgedLine* judged = nullptr) {
    if (tally.Count++ == 0) {
        tally.FirstText = text.substr(0, ReadLimit);
        if (judged != nullptr) {
            std::copy(judged->Values, judged->Values + judged->Count, tally.FirstValues);
            tally.FirstValueCount = judged->Count;
        }
    }
    if (tally.FirstLines.size() < FirstLinesShown) {
        tally.FirstLines.push_back(line);
    }
}

bool IsBlankLine(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsScanWhitespace);
}

void NoteLineEnd(FileScan& scan, LineEnd end) {
    scan.SawCrLf = scan.SawCrLf || end == LineEnd::CrLf;
    scan.SawLf = scan.SawLf || end == LineEnd::Lf;
    scan.SawCr = scan.SawCr || end == LineEnd::Cr;
}

void SeeHeader(FileScan& scan, std::uint64_t line, std::string_view text) {
    ++scan.Report.HeaderLines;
    float decibels = 0.0f;
    if (!scan.HasSensitivity && SensitivityOf(text, decibels)) {
        scan.HasSensitivity = true;
        scan.Sensitivity = decibels;
        scan.SensitivityLine = line;
    }
}

void SeeFrequency(FileScan& scan, std::uint64_t line, float frequency) {
    FileReport& report = scan.Report;
    if (!report.HasFrequencies) {
        report.HasFrequencies = true;
        report.FirstFrequency = frequency;
    } else {
        // Written so that a not-a-number counts as a decrease.
        if (!(scan.PreviousFrequency <= frequency) && report.Ascending) {
            report.Ascending = false;
            scan.FirstDecrease = line;
            scan.DecreaseFrom = scan.PreviousFrequency;
            scan.DecreaseTo = frequency;
        }
        if (scan.PreviousFrequency == frequency && scan.FirstRepeat == 0) {
            scan.FirstRepeat = line;
            scan.Repeated = frequency;
        }
    }
    report.LastFrequency = frequency;
    scan.PreviousFrequency = frequency;
}

void SeeData(FileScan& scan, std::uint64_t line, const TextLine& text, const JudgedLine& judged) {
    ++scan.Report.DataLines;
    SeeFrequency(scan, line, judged.Values[0]);
    float values[MyMicInValueCount + 1];
    const std::string_view scanned = text.Text;
    if (ScanValues(scanned.data(), scanned.data() + scanned.size(), values, scan.ValueCount + 1) >
        scan.ValueCount) {
        Add(scan.ExtraValues, line, text.Text);
    }
    if (HasDecimalComma(text.Text)) {
        Add(scan.DecimalCommaData, line, text.Text, &judged);
    }
    for (int i = 0; i < judged.Count; ++i) {
        if (!std::isfinite(judged.Values[i])) {
            Add(scan.NotFinite, line, text.Text, &judged);
            break;
        }
    }
    if (scan.Points.Seen != nullptr) {
        scan.Points.Seen(scan.Points.Context, line, judged);
    }
}

void SeeDropped(FileScan& scan, std::uint64_t line, std::string_view text) {
    ++scan.Report.DroppedLines;
    if (IsDecimalCommaLine(text, scan.ValueCount)) {
        Add(scan.DecimalCommaDropped, line, text);
    } else if (IsCommaSeparatedLine(text, scan.ValueCount)) {
        Add(scan.CommaSeparated, line, text);
    } else if (const HeaderShape shape = UnquotedHeaderShape(text); shape != HeaderShape::None) {
        Add(shape == HeaderShape::SensFactor ? scan.UnquotedSensFactor : scan.UnquotedHeader, line,
            text);
    } else if (!IsBlankLine(text)) {
        Add(scan.OtherDropped, line, text);
    }
}

bool SeeLine(void* context, const TextReader&, const TextLine& line, const JudgedLine& judged) {
    auto& scan = *static_cast<FileScan*>(context);
    const std::uint64_t number = ++scan.Report.Lines;
    NoteLineEnd(scan, line.End);
    if (judged.Kind == LineKind::Header) {
        SeeHeader(scan, number, line.Text);
        return true;
    }
    if (!line.Whole) {
        Add(scan.LongLines, number, line.Text);
    }
    if (judged.Kind == LineKind::Data) {
        SeeData(scan, number, line, judged);
    } else {
        SeeDropped(scan, number, line.Text);
    }
    return true;
}

// A byte 0x1A that ends its read leaves open whether more follows; one more
// byte tells.
void SeeEnd(void* context, TextReader& reader) {
    auto& scan = *static_cast<FileScan*>(context);
    scan.Finished = true;
    scan.Report.ByteOrderMark = reader.HadByteOrderMark;
    char byte;
    scan.CutAtEndOfText = reader.EndedAtEndOfText &&
                          (reader.BytesAfterEndOfText || ReadSome(reader.File, &byte, 1) > 0);
}

void Conclude(FileScan& scan, bool read) {
    FileReport& report = scan.Report;
    report.Read = read;
    const int kinds = (scan.SawCrLf ? 1 : 0) + (scan.SawLf ? 1 : 0) + (scan.SawCr ? 1 : 0);
    report.LineEnds = kinds > 1      ? LineEndKind::Mixed
                      : scan.SawCrLf ? LineEndKind::CrLf
                      : scan.SawLf   ? LineEndKind::Lf
                      : scan.SawCr   ? LineEndKind::Cr
                                     : LineEndKind::None;
    while (!scan.Failure.empty() && scan.Failure.back() == '\n') {
        scan.Failure.pop_back();
    }
}

} // namespace

void ScanReference(FileScan& scan, CalibrationCurve& curve) {
    scan.ValueCount = ReferenceValueCount;
    const LineWatcher watcher = {SeeLine, &scan, SeeEnd};
    KeptMessages = &scan.Failure;
    const bool loaded = LoadReferenceCurve(scan.Report.Path.c_str(), curve, &watcher);
    KeptMessages = nullptr;
    // Too few points is the one failure after which the whole file was read.
    Conclude(scan, loaded || (scan.Finished && scan.Report.DataLines < 2));
}

void ScanUserFile(FileScan& scan) {
    scan.ValueCount = MyMicInValueCount;
    KeptMessages = &scan.Failure;
    const bool read =
        ScanCalibrationFile(scan.Report.Path.c_str(), MyMicInValueCount, {SeeLine, &scan, SeeEnd});
    KeptMessages = nullptr;
    Conclude(scan, read);
}
