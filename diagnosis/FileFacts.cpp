#include "FileFacts.h"

#include "DroppedLines.h"
#include "LineText.h"
#include "Messages.h"
#include "NumberScanner.h"
#include "ReferenceLoader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// A decimal comma typed among full stops ("50\t-0,45\t2.0"), where the
// converter's scan of a data line stops: with that comma a full stop, the
// line reads other values, or more of them.
bool CutByDecimalComma(std::string_view text, const JudgedLine& judged, int valueCount) {
    if (judged.Count == 0) {
        return false;
    }
    const std::string_view last = judged.Texts[judged.Count - 1];
    const std::size_t at = static_cast<std::size_t>(last.data() + last.size() - text.data());
    if (at >= text.size() || !IsDecimalCommaAt(text, at)) {
        return false;
    }
    std::string meant(text);
    meant[at] = '.';
    const JudgedLine reread = JudgeLine(meant, valueCount);
    if (reread.Kind != LineKind::Data || reread.Count != judged.Count) {
        return true;
    }
    return std::memcmp(reread.Values, judged.Values, sizeof(float) * judged.Count) != 0;
}

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
// A lone point this far beyond both neighbours, and twice as far as they
// are apart, is a typing error rather than a measurement: a lost decimal
// point or a doubled digit.
constexpr float SpikeJump = 3.0f;
// No microphone's response and no sound level reaches this.
constexpr float ImpossibleResponse = 200.0f;

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

void NoteLineEnd(FileFacts& scan, LineEnd end) {
    scan.SawCrLf = scan.SawCrLf || end == LineEnd::CrLf;
    scan.SawLf = scan.SawLf || end == LineEnd::Lf;
    scan.SawCr = scan.SawCr || end == LineEnd::Cr;
}

// Header lines and the lines dropped as words both tell about the
// microphone: a reference's unquoted Sens Factor line is as good as a
// quoted one, since a reference's header lines are only read.
void SeeDescription(FileFacts& scan, std::uint64_t line, std::string_view text, bool header) {
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

void SeeHeader(FileFacts& scan, std::uint64_t line, std::string_view text) {
    ++scan.Report.HeaderLines;
    if (IsQuotedNumbersLine(text)) {
        Add(scan.QuotedNumbers, line, text);
        return;
    }
    SeeDescription(scan, line, text, true);
}

void SeeFrequency(FileFacts& scan, std::uint64_t line, float frequency, float response) {
    FileReport& report = scan.Report;
    if (!report.HasFrequencies) {
        report.HasFrequencies = true;
        report.FirstFrequency = frequency;
    } else {
        if (FrequencyFalls(scan.PreviousFrequency, frequency) && report.Ascending) {
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
    // A lone frequency out of the order of those around it, in a file whose
    // order the converter keeps: a typing error in that frequency.
    if (scan.ValueCount == MyMicInValueCount && report.DataLines >= 4) {
        const SeenPoint& before = scan.Recent[0];
        const SeenPoint& middle = scan.Recent[1];
        if (!FrequencyFalls(scan.EarlierFrequency, before.Frequency) &&
            before.Frequency < frequency &&
            (FrequencyFalls(before.Frequency, middle.Frequency) ||
             FrequencyFalls(middle.Frequency, frequency))) {
            if (scan.LoneFrequencies.Count == 0) {
                scan.LoneFrequencyNeighbours[0] = before.Frequency;
                scan.LoneFrequencyNeighbours[1] = frequency;
                scan.LoneFrequencies.FirstValues[0] = middle.Frequency;
                scan.LoneFrequencies.FirstValueCount = 1;
            }
            Add(scan.LoneFrequencies, middle.Line, {});
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

// The lower and the higher response of a point's two neighbours.
struct Neighbours {
    float Low = 0.0f;
    float High = 0.0f;
};

Neighbours NeighboursOf(const SeenPoint& before, const SeenPoint& next) {
    return before.Response < next.Response ? Neighbours{before.Response, next.Response}
                                           : Neighbours{next.Response, before.Response};
}

// The middle of the last three points, counted in tally; the first one
// counted keeps its point and its neighbours' responses.
void CountMiddle(FileFacts& scan, LineTally& tally, float (&neighbours)[2], const SeenPoint& next) {
    const SeenPoint& before = scan.Recent[0];
    const SeenPoint& middle = scan.Recent[1];
    if (tally.Count == 0) {
        neighbours[0] = before.Response;
        neighbours[1] = next.Response;
        tally.FirstValues[0] = middle.Frequency;
        tally.FirstValues[1] = middle.Response;
        tally.FirstValueCount = 2;
    }
    Add(tally, middle.Line, {});
}

// The middle of the last three points is alone on the other side of zero,
// far from both neighbours, which agree with each other and with it once
// its sign is flipped back.
bool SeeSignFlip(FileFacts& scan, const SeenPoint& next) {
    const SeenPoint& before = scan.Recent[0];
    const SeenPoint& middle = scan.Recent[1];
    const float neighbours = (before.Response + next.Response) / 2.0f;
    const float tolerance = std::fmax(0.5f, 0.2f * std::fabs(neighbours));
    // Flipped back, it agrees with its neighbours, or lies between them
    // where they are far apart.
    const auto [low, high] = NeighboursOf(before, next);
    const float margin = 0.1f * (high - low) + 0.05f;
    const bool between = -middle.Response >= low - margin && -middle.Response <= high + margin;
    if (std::signbit(middle.Response) == std::signbit(neighbours) ||
        std::signbit(before.Response) != std::signbit(next.Response) ||
        std::fabs(middle.Response - neighbours) < SignFlipJump ||
        std::fmin(std::fabs(middle.Response - low), std::fabs(middle.Response - high)) <
            SignFlipJump ||
        !((Agree(before.Response, next.Response, tolerance) &&
           Agree(-middle.Response, neighbours, tolerance)) ||
          between)) {
        return false;
    }
    CountMiddle(scan, scan.SignFlips, scan.SignFlipNeighbours, next);
    return true;
}

// The middle of the last three points stands far beyond both neighbours.
void SeeSpike(FileFacts& scan, const SeenPoint& next) {
    const SeenPoint& before = scan.Recent[0];
    const SeenPoint& middle = scan.Recent[1];
    const auto [low, high] = NeighboursOf(before, next);
    const float jump = middle.Response > high  ? middle.Response - high
                       : middle.Response < low ? low - middle.Response
                                               : 0.0f;
    // Neighbours in the file are neighbours in frequency only where the
    // frequencies rise.
    if (!(before.Frequency < middle.Frequency && middle.Frequency < next.Frequency) ||
        !(jump >= SpikeJump && jump >= 2.0f * (high - low)) ||
        std::fabs(middle.Response) > ImpossibleResponse) {
        return;
    }
    CountMiddle(scan, scan.Spikes, scan.SpikeNeighbours, next);
}

void SeeResponse(FileFacts& scan, std::uint64_t line, float frequency, float response) {
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
    scan.SecondColumnRises =
        scan.SecondColumnRises && (data == 1 || response > scan.PreviousResponse);
    if (std::fabs(response) > ImpossibleResponse) {
        if (scan.Impossible.Count == 0) {
            scan.Impossible.FirstValues[0] = frequency;
            scan.Impossible.FirstValues[1] = response;
            scan.Impossible.FirstValueCount = 2;
        }
        Add(scan.Impossible, line, {});
    }
    const SeenPoint point = {line, frequency, response};
    if (data >= 3 && !SeeSignFlip(scan, point)) {
        SeeSpike(scan, point);
    }
    scan.EarlierFrequency = scan.Recent[0].Frequency;
    scan.Recent[0] = scan.Recent[1];
    scan.Recent[1] = point;
    scan.PreviousResponse = response;
}

// Folds the line before into the pattern of the data lines, once the next
// line shows that it was not the last.
void FoldIntoPattern(FileFacts& scan) {
    const LastLine& last = scan.Last;
    ColumnPattern& pattern = scan.Pattern;
    if (!last.Data) {
        return;
    }
    const int count = std::min(last.Count, scan.ValueCount);
    if (pattern.Lines++ == 0) {
        pattern.Count = count;
        std::copy(last.Shapes, last.Shapes + count, pattern.Shapes);
        return;
    }
    pattern.CountsAgree = pattern.CountsAgree && pattern.Count == count;
    for (int i = 0; i < std::min(count, pattern.Count); ++i) {
        pattern.Agree[i] = pattern.Agree[i] &&
                           pattern.Shapes[i].Decimals == last.Shapes[i].Decimals &&
                           pattern.Shapes[i].ExponentDigits == last.Shapes[i].ExponentDigits;
    }
}

// Remembers a line, its numbers and how they are written, until the next one
// comes. A data line's numbers come as the converter read them; only a
// dropped line is scanned again.
void KeepAsLast(FileFacts& scan, std::uint64_t number, const TextLine& line,
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

void SeeData(FileFacts& scan, std::uint64_t line, const TextLine& text, const JudgedLine& judged) {
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
    } else if (CutByDecimalComma(text.Text, judged, scan.ValueCount)) {
        Add(scan.DecimalCommaData, line, text.Text, &judged);
        ++scan.DecimalCommaAmongPoints;
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

// A number after blanks, or after the marks a spreadsheet or a word
// processor puts before one.
bool BeginsLikeData(std::string_view text) {
    std::size_t i = 0;
    for (;;) {
        while (i < text.size() && IsScanWhitespace(text[i])) {
            ++i;
        }
        if (i < text.size() && (text[i] == '\'' || text[i] == '=')) {
            ++i;
        } else if (text.substr(i).starts_with("\xC2\xA0") ||
                   text.substr(i).starts_with("\xE2\x80")) {
            i += text.substr(i).starts_with("\xC2") ? 2 : 3;
        } else if (text.substr(i).starts_with("\xE2\x88\x92")) {
            i += 3;
        } else {
            break;
        }
    }
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        ++i;
    }
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

// The one tally that names a dropped line, so that the findings account for
// every dropped line once.
LineTally& DroppedTally(FileFacts& scan, std::string_view text) {
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
        return BeginsLikeData(text) ? scan.UnreadPoints
                                    : scan.Dropped[static_cast<int>(DropReason::Words)];
    case DroppedShape::OneNumber:
        return scan.Dropped[static_cast<int>(DropReason::OneNumber)];
    case DroppedShape::ZeroFrequency:
        return scan.Dropped[static_cast<int>(DropReason::ZeroFrequency)];
    case DroppedShape::Blank:
        break;
    }
    return scan.Dropped[static_cast<int>(DropReason::Blank)];
}

void SeeDropped(FileFacts& scan, std::uint64_t line, std::string_view text) {
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
    auto& scan = *static_cast<FileFacts*>(context);
    if (scan.Report.Lines == 0) {
        scan.Report.Utf16 = ReaderSawUtf16(reader);
    }
    SeeJudgedLine(scan, line, judged);
    return true;
}

void SeeEnd(void* context, TextReader& reader) {
    auto& scan = *static_cast<FileFacts*>(context);
    SeeFileEnd(scan, reader.HadByteOrderMark, BytesFollowEndOfText(reader));
}

// A machine writes every line alike: a last line without its line end that
// holds fewer numbers, or fewer digits in its last one, was cut short.
void SeeCutOff(FileFacts& scan) {
    const LastLine& last = scan.Last;
    const ColumnPattern& pattern = scan.Pattern;
    if (scan.Report.Utf16 || last.HasLineEnd || last.Header || last.Count < 1 ||
        pattern.Lines < PatternLinesNeeded || last.Count > pattern.Count) {
        return;
    }
    const int column = last.Count - 1;
    const NumberShape& shape = last.Shapes[column];
    const NumberShape& expected = pattern.Shapes[column];
    scan.CutOffFewerValues = pattern.CountsAgree && last.Count < pattern.Count;
    scan.CutOff = scan.CutOffFewerValues ||
                  (pattern.Agree[column] && (shape.Decimals < expected.Decimals ||
                                             shape.ExponentDigits < expected.ExponentDigits));
    if (scan.CutOff && last.DroppedInto != nullptr) {
        Withdraw(*last.DroppedInto, last.Number);
        scan.CutOffDropped = true;
    }
}

void Conclude(FileFacts& scan, bool read) {
    FileReport& report = scan.Report;
    report.Read = read;
    if (read) {
        SeeCutOff(scan);
    }
    scan.ColumnsSwapped = report.DataLines >= 3 && !report.Ascending && scan.SecondColumnRises &&
                          scan.LowestResponse > 0.0f;
    scan.Verdict = ConcludeReading(scan.Reading);
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

void SeeJudgedLine(FileFacts& scan, const TextLine& line, const JudgedLine& judged) {
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
    if (!scan.Report.Utf16) {
        SeeLineForReading(scan.Reading, line.Text, judged, scan.ValueCount);
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

void SeeFileEnd(FileFacts& scan, bool byteOrderMark, bool bytesAfterEndOfText) {
    scan.Finished = true;
    scan.Report.ByteOrderMark = byteOrderMark;
    scan.CutAtEndOfText = bytesAfterEndOfText;
}

void ConcludeScannedFile(FileFacts& scan) {
    Conclude(scan, true);
}

void ScanReference(FileFacts& scan, CalibrationCurve& curve) {
    scan.ValueCount = ReferenceValueCount;
    const LineWatcher watcher = {SeeLine, &scan, SeeEnd};
    KeptMessages = &scan.Failure;
    const bool loaded = LoadReferenceCurve(scan.Report.Path.c_str(), curve, &watcher);
    KeptMessages = nullptr;
    // Too few points is the one failure after which the whole file was read.
    Conclude(scan, loaded || (scan.Finished && scan.Report.DataLines < LeastCurvePoints));
}

void ScanUserFile(FileFacts& scan) {
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

bool LooksLikeKilohertz(const FileFacts& scan) {
    return scan.Report.Read && scan.Report.DataLines >= LeastCurvePoints &&
           scan.Span.Lowest > 0.0f && scan.Span.Lowest <= 0.2f && scan.Span.Highest >= 5.0f &&
           scan.Span.Highest < 50.0f;
}
