#include "FileScan.h"

#include "Messages.h"
#include "NumberScanner.h"
#include "ReferenceLoader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr std::size_t FirstLinesShown = 5;
// The pattern of a column is trusted from this many data lines on.
constexpr std::uint64_t PatternLinesNeeded = 3;

// A response that jumps by this much from its neighbour wrapped around, as
// a phase in degrees does; no level of a microphone does.
constexpr float PhaseWrapJump = 270.0f;
// Linear values of a microphone (pascals, volts per pascal, a ratio to the
// reference) lie far below this; decibels of a response do not all do.
constexpr float TinyResponse = 0.05f;
// A lone point that leaves its agreeing neighbours by at least this much
// with its sign flipped has lost or gained a minus sign.
constexpr float SignFlipJump = 1.0f;

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

// Takes the last line back out of the tally it went to.
void Withdraw(LineTally& tally, std::uint64_t line) {
    --tally.Count;
    if (!tally.FirstLines.empty() && tally.FirstLines.back() == line) {
        tally.FirstLines.pop_back();
    }
    if (tally.Count == 0) {
        tally = {};
    }
}

void NoteLineEnd(FileScan& scan, LineEnd end) {
    scan.SawCrLf = scan.SawCrLf || end == LineEnd::CrLf;
    scan.SawLf = scan.SawLf || end == LineEnd::Lf;
    scan.SawCr = scan.SawCr || end == LineEnd::Cr;
}

// Header lines and the lines dropped as words both tell about the
// microphone: a reference's unquoted Sens Factor line is as good as a
// quoted one, since a reference's header lines are only read.
void SeeDescription(FileScan& scan, std::uint64_t line, std::string_view text, bool header) {
    float decibels = 0.0f;
    if (!scan.HasSensitivity && SensitivityOf(text, decibels)) {
        scan.HasSensitivity = true;
        scan.SensitivityInHeader = header;
        scan.Sensitivity = decibels;
        scan.SensitivityLine = line;
    }
    if (scan.SerialLine == 0 && SerialNumberOf(text, scan.Serial)) {
        scan.SerialLine = line;
    }
    if (scan.AngleLine == 0) {
        if (const Incidence angle = IncidenceOf(text); angle.Kind != IncidenceKind::None) {
            scan.Angle = angle;
            scan.AngleLine = line;
        }
    }
    if (scan.PhaseNamedLine == 0 && NamesPhaseSecond(text)) {
        scan.PhaseNamedLine = line;
    }
}

void SeeHeader(FileScan& scan, std::uint64_t line, std::string_view text) {
    ++scan.Report.HeaderLines;
    if (IsQuotedNumbersLine(text)) {
        Add(scan.QuotedNumbers, line, text);
        return;
    }
    SeeDescription(scan, line, text, true);
}

void SeeFrequency(FileScan& scan, std::uint64_t line, float frequency, float response) {
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
        if (scan.PreviousFrequency == frequency) {
            if (scan.FirstRepeat == 0) {
                scan.FirstRepeat = line;
                scan.Repeated = frequency;
            }
            if (scan.FirstDifferingRepeat == 0 && scan.PreviousResponse != response) {
                scan.FirstDifferingRepeat = line;
                scan.DifferingRepeat = frequency;
                scan.DifferingResponses[0] = scan.PreviousResponse;
                scan.DifferingResponses[1] = response;
            }
        }
    }
    report.LastFrequency = frequency;
    scan.PreviousFrequency = frequency;
    // Comparisons rather than fmin and fmax, which are calls: a not-a-number
    // is passed over all the same.
    scan.Span.Lowest = frequency < scan.Span.Lowest ? frequency : scan.Span.Lowest;
    scan.Span.Highest = frequency > scan.Span.Highest ? frequency : scan.Span.Highest;
}

bool Agree(float a, float b, float tolerance) {
    return std::fabs(a - b) <= tolerance;
}

// The middle of the last three points is alone on the other side of zero,
// far from both neighbours, which agree with each other and with it once
// its sign is flipped back.
void SeeSignFlip(FileScan& scan, const ScannedPoint& next) {
    const ScannedPoint& before = scan.Recent[0];
    const ScannedPoint& middle = scan.Recent[1];
    const float neighbours = (before.Response + next.Response) / 2.0f;
    const float tolerance = std::fmax(0.5f, 0.2f * std::fabs(neighbours));
    if (std::signbit(middle.Response) == std::signbit(neighbours) ||
        std::signbit(before.Response) != std::signbit(next.Response) ||
        std::fabs(middle.Response - neighbours) < SignFlipJump ||
        !Agree(before.Response, next.Response, tolerance) ||
        !Agree(-middle.Response, neighbours, tolerance)) {
        return;
    }
    if (scan.SignFlips.Count == 0) {
        scan.SignFlipNeighbours[0] = before.Response;
        scan.SignFlipNeighbours[1] = next.Response;
        scan.SignFlips.FirstValues[0] = middle.Frequency;
        scan.SignFlips.FirstValues[1] = middle.Response;
        scan.SignFlips.FirstValueCount = 2;
    }
    Add(scan.SignFlips, middle.Line, {});
}

void SeeResponse(FileScan& scan, std::uint64_t line, float frequency, float response) {
    const std::uint64_t data = scan.Report.DataLines;
    if (data == 1) {
        scan.LowestResponse = scan.HighestResponse = response;
    } else {
        scan.LowestResponse = response < scan.LowestResponse ? response : scan.LowestResponse;
        scan.HighestResponse = response > scan.HighestResponse ? response : scan.HighestResponse;
        if (std::fabs(response - scan.PreviousResponse) > PhaseWrapJump && scan.PhaseWraps++ == 0) {
            scan.WrapFrom = scan.Recent[1];
            scan.WrapTo = {line, frequency, response};
        }
    }
    scan.AllTinyAndPositive = scan.AllTinyAndPositive && response > 0.0f && response < TinyResponse;
    const ScannedPoint point = {line, frequency, response};
    if (data >= 3) {
        SeeSignFlip(scan, point);
    }
    scan.Recent[0] = scan.Recent[1];
    scan.Recent[1] = point;
    scan.PreviousResponse = response;
}

// Folds the line before into the pattern of the data lines, once the next
// line shows that it was not the last.
void FoldIntoPattern(FileScan& scan) {
    const LastLine& last = scan.Last;
    ColumnPattern& pattern = scan.Pattern;
    if (!last.Data || !pattern.Agree) {
        return;
    }
    const int count = std::min(last.Count, scan.ValueCount);
    if (pattern.Lines++ == 0) {
        pattern.Count = count;
        std::copy(last.Shapes, last.Shapes + count, pattern.Shapes);
        return;
    }
    pattern.Agree = pattern.Count == count;
    for (int i = 0; pattern.Agree && i < count; ++i) {
        pattern.Agree = pattern.Shapes[i].Decimals == last.Shapes[i].Decimals &&
                        pattern.Shapes[i].ExponentDigits == last.Shapes[i].ExponentDigits;
    }
}

// Remembers a line, its numbers and how they are written, until the next one
// comes. A data line's numbers come as the converter read them; only a
// dropped line is scanned again.
void KeepAsLast(FileScan& scan, std::uint64_t number, const TextLine& line,
                const JudgedLine& judged) {
    FoldIntoPattern(scan);
    LastLine& last = scan.Last;
    last.Number = number;
    last.HasLineEnd = line.HasLineEnd || !line.Whole;
    last.Header = judged.Kind == LineKind::Header;
    last.Data = judged.Kind == LineKind::Data;
    last.DroppedInto = nullptr;
    last.Count = 0;
    if (last.Header) {
        return;
    }
    last.TextSize = std::min(line.Text.size(), sizeof last.Text);
    std::memcpy(last.Text, line.Text.data(), last.TextSize);
    const std::string_view* texts = judged.Texts;
    last.Count = judged.Count;
    float values[MyMicInValueCount];
    std::string_view written[MyMicInValueCount];
    if (!last.Data) {
        const std::string_view text = line.Text;
        last.Count = std::max(0, ScanValueTexts(text.data(), text.data() + text.size(), values,
                                                written, scan.ValueCount));
        texts = written;
    }
    for (int i = 0; i < last.Count; ++i) {
        last.Shapes[i] = ShapeOf(texts[i]);
    }
}

void SeeData(FileScan& scan, std::uint64_t line, const TextLine& text, const JudgedLine& judged) {
    ++scan.Report.DataLines;
    SeeFrequency(scan, line, judged.Values[0], judged.Values[1]);
    SeeResponse(scan, line, judged.Values[0], judged.Values[1]);
    // A scan that stopped short of its count stopped at something that is no
    // number; one that took them all may have left more.
    if (judged.Count == scan.ValueCount) {
        const std::string_view last = judged.Texts[judged.Count - 1];
        const char* const rest = last.data() + last.size();
        float extra;
        if (ScanValues(rest, text.Text.data() + text.Text.size(), &extra, 1) == 1) {
            Add(scan.ExtraValues, line, text.Text);
        }
    }
    // A decimal comma that changes what is read: not one in a comment.
    if (HasDecimalComma(text.Text)) {
        MeantLine meant;
        ReadAsMeant(text.Text, scan.ValueCount, meant);
        if (meant.Reading == LineReading::Mended) {
            Add(scan.DecimalCommaData, line, text.Text, &judged);
        }
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

// The one tally that names a dropped line, so that the findings account for
// every dropped line once.
LineTally& DroppedTally(FileScan& scan, std::string_view text) {
    switch (DroppedShapeOf(text, scan.ValueCount)) {
    case DroppedShape::DecimalComma:
        return scan.DecimalCommaDropped;
    case DroppedShape::Separators:
    case DroppedShape::SpreadsheetCsv: {
        MeantLine meant;
        ReadAsMeant(text, scan.ValueCount, meant);
        scan.TwoWayLines += meant.Reading == LineReading::TwoWays ? 1 : 0;
        return HasDecimalComma(text) ? scan.SpreadsheetCsv : scan.CommaSeparated;
    }
    case DroppedShape::UnquotedSensFactor:
        return scan.UnquotedSensFactor;
    case DroppedShape::MisplacedQuote:
        return scan.UnquotedHeader;
    case DroppedShape::UnreadableNumber:
        return scan.UnreadableNumbers;
    case DroppedShape::Words:
        return scan.Dropped[static_cast<int>(DropReason::Words)];
    case DroppedShape::OneNumber:
        return scan.Dropped[static_cast<int>(DropReason::OneNumber)];
    case DroppedShape::ZeroFrequency:
        return scan.Dropped[static_cast<int>(DropReason::ZeroFrequency)];
    case DroppedShape::Blank:
        break;
    }
    return scan.Dropped[static_cast<int>(DropReason::Blank)];
}

void SeeDropped(FileScan& scan, std::uint64_t line, std::string_view text) {
    ++scan.Report.DroppedLines;
    LineTally& tally = scan.Report.Utf16 ? scan.Utf16Lines : DroppedTally(scan, text);
    Add(tally, line, text);
    scan.Last.DroppedInto = &tally;
    if (!scan.Report.Utf16 && &tally != &scan.Dropped[static_cast<int>(DropReason::Blank)]) {
        SeeDescription(scan, line, text, false);
    }
}

bool SeeLine(void* context, const TextReader& reader, const TextLine& line,
             const JudgedLine& judged) {
    auto& scan = *static_cast<FileScan*>(context);
    if (scan.Report.Lines == 0) {
        scan.Report.Utf16 = ReaderSawUtf16(reader);
    }
    SeeJudgedLine(scan, line, judged);
    return true;
}

void SeeEnd(void* context, TextReader& reader) {
    auto& scan = *static_cast<FileScan*>(context);
    SeeFileEnd(scan, reader.HadByteOrderMark, BytesFollowEndOfText(reader));
}

// A machine writes every line alike: a last line without its line end that
// holds fewer numbers, or fewer digits in its last one, was cut short.
void SeeCutOff(FileScan& scan) {
    const LastLine& last = scan.Last;
    const ColumnPattern& pattern = scan.Pattern;
    if (scan.Report.Utf16 || last.HasLineEnd || last.Header || last.Count < 1 ||
        pattern.Lines < PatternLinesNeeded || !pattern.Agree || last.Count > pattern.Count) {
        return;
    }
    const NumberShape& shape = last.Shapes[last.Count - 1];
    const NumberShape& expected = pattern.Shapes[last.Count - 1];
    scan.CutOffFewerValues = last.Count < pattern.Count;
    scan.CutOff = scan.CutOffFewerValues || shape.Decimals < expected.Decimals ||
                  shape.ExponentDigits < expected.ExponentDigits;
    if (scan.CutOff && last.DroppedInto != nullptr) {
        Withdraw(*last.DroppedInto, last.Number);
        scan.CutOffDropped = true;
    }
}

void Conclude(FileScan& scan, bool read) {
    FileReport& report = scan.Report;
    report.Read = read;
    if (read) {
        SeeCutOff(scan);
    }
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

void SeeJudgedLine(FileScan& scan, const TextLine& line, const JudgedLine& judged) {
    const std::uint64_t number = ++scan.Report.Lines;
    NoteLineEnd(scan, line.End);
    KeepAsLast(scan, number, line, judged);
    if (judged.Kind == LineKind::Data) {
        scan.Interruption = scan.Interruption != 0 ? scan.Interruption : scan.OtherAfterData;
        scan.FirstLineIsData = scan.FirstLineIsData || number == 1;
        if (scan.Report.DataLines == 0 || judged.Values[0] < scan.SortedFirstFrequency) {
            scan.SortedFirstFrequency = judged.Values[0];
            scan.SortedFirstHoldsLoneCr = ReadsWithClassicMacLineEnds(line.Text);
        }
    } else if (scan.OtherAfterData == 0 && scan.Report.DataLines > 0) {
        scan.OtherAfterData = number;
    }
    if (judged.Kind == LineKind::Header) {
        SeeHeader(scan, number, line.Text);
        return;
    }
    if (!line.Whole) {
        Add(scan.LongLines, number, line.Text);
    }
    if (judged.Kind == LineKind::Data) {
        SeeData(scan, number, line, judged);
    } else {
        SeeDropped(scan, number, line.Text);
    }
}

void SeeFileEnd(FileScan& scan, bool byteOrderMark, bool bytesAfterEndOfText) {
    scan.Finished = true;
    scan.Report.ByteOrderMark = byteOrderMark;
    scan.CutAtEndOfText = bytesAfterEndOfText;
}

void ConcludeScannedFile(FileScan& scan) {
    Conclude(scan, true);
}

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
    const LineWatcher watcher = {SeeLine, &scan, SeeEnd};
    const char* const path = scan.Report.Path.c_str();
    const bool read = scan.FromText
                          ? ScanCalibrationText(path, scan.Text, MyMicInValueCount, watcher)
                          : ScanCalibrationFile(path, MyMicInValueCount, watcher);
    KeptMessages = nullptr;
    Conclude(scan, read);
}

bool LooksLikeKilohertz(const FileScan& scan) {
    return scan.Report.Read && scan.Report.DataLines >= 2 && scan.Span.Lowest > 0.0f &&
           scan.Span.Lowest <= 0.2f && scan.Span.Highest >= 5.0f && scan.Span.Highest < 50.0f;
}
