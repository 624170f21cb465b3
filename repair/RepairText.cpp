#include "RepairText.h"

#include "AuthorsReading.h"
#include "CalibrationFileScan.h"
#include "Catalogue.h"
#include "CheckCalibration.h"
#include "DataLineScan.h"
#include "DroppedLines.h"
#include "FileFacts.h"
#include "LineKind.h"
#include "Messages.h"
#include "OverwriteGuard.h"
#include "PlatformFile.h"
#include "ReadingWords.h"
#include "ShownText.h"
#include "TextReader.h"
#include "Utf8.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

constexpr std::size_t FirstLinesShown = 5;
constexpr std::string_view Replacement = "\xEF\xBF\xBD";

std::string Shown(std::string_view text) {
    std::string shown;
    AppendShownText(shown, text);
    return shown;
}

void Note(RepairOutcome& outcome, RepairKind kind, std::uint64_t line) {
    RepairTally& tally = outcome.Changes[static_cast<int>(kind)];
    ++tally.Count;
    if (tally.FirstLines.size() < FirstLinesShown) {
        tally.FirstLines.push_back(line);
    }
}

// UTF-16 as UTF-8, without a byte-order mark. The byte order is the mark's
// or, without one, the one that puts the zero bytes of plain text high; a
// lone surrogate, and a last odd byte, become U+FFFD.
std::string Utf8FromUtf16(std::string_view bytes) {
    bool bigEndian = bytes.starts_with("\xFE\xFF");
    if (bytes.starts_with("\xFF\xFE") || bigEndian) {
        bytes.remove_prefix(2);
    } else {
        bigEndian = bytes.size() >= 2 && bytes[0] == '\0';
    }
    const auto unit = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<std::uint32_t>(bigEndian ? first << 8 | second : second << 8 | first);
    };
    std::string out;
    out.reserve(bytes.size() / 2);
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const std::uint32_t high = unit(i);
        if (high >= 0xD800 && high < 0xDC00 && i + 3 < bytes.size()) {
            const std::uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                AppendUtf8(out, 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        if (high >= 0xD800 && high < 0xE000) {
            out += Replacement;
        } else {
            AppendUtf8(out, high);
        }
    }
    if (i < bytes.size()) {
        out += Replacement;
    }
    return out;
}

// The first line that the file's two readings read apart.
void SeeTwoWays(RepairOutcome& outcome, const ReadingVerdict& verdict, std::string_view text,
                std::uint64_t number) {
    if (outcome.TwoWaysLine != 0) {
        return;
    }
    StyledLine readings[2];
    const int styles[2] = {verdict.Style, verdict.Other};
    bool read[2];
    for (int k = 0; k < 2; ++k) {
        read[k] = ReadInStyle(text, NumberStyles[styles[k]], true, readings[k]);
    }
    if ((!read[0] && !read[1]) ||
        (read[0] && read[1] && readings[0].Mended == readings[1].Mended)) {
        return;
    }
    // A decimal comma's reading is named first.
    const int first =
        NumberStyles[styles[1]].Decimal == ',' && NumberStyles[styles[0]].Decimal != ',' ? 1 : 0;
    outcome.TwoWaysLine = number;
    outcome.TwoWaysText = text;
    for (int k = 0; k < 2; ++k) {
        const int which = k == 0 ? first : 1 - first;
        outcome.Readings[k] = read[which] ? readings[which].Mended : std::string(text);
        outcome.ReadingWords[k] = StyleWords(styles[which]);
        outcome.TwoWaysGrouping =
            outcome.TwoWaysGrouping || NumberStyles[styles[which]].Group != GroupMark::None;
    }
}

// Where a line's mending goes: straight into the copy, and to the check's
// scan of the copy, which sees each line as the converter would judge it,
// and so also tells whether the data lines need sorting.
struct Mending {
    RepairOutcome* Outcome = nullptr;
    std::string* Copy = nullptr;
    FileFacts* Check = nullptr;
    ReadingVerdict Verdict;
    StyledLine Meant; // one for every line, so that its texts keep their room
    std::uint64_t Lines = 0;
    // The last data lines of the copy: their frequencies, whether they were
    // mended, and where they stand in the copy, for the order's self-check.
    struct DataLine {
        float Frequency = 0.0f;
        bool Mended = false;
        MeantChanges Changes;
        std::uint64_t Number = 0;
        std::size_t Begin = 0;
        std::size_t End = 0;
        std::string Original; // the line as the file writes it, once mended
    };
    DataLine Window[3];
    int InWindow = 0;
    bool Refused = false;
};

JudgedLine Judged(LineKind kind, int count, const float* values, const std::string_view* texts) {
    JudgedLine judged;
    judged.Kind = count > 0 ? LineKind::Data : kind;
    judged.Count = count;
    std::copy(values, values + count, judged.Values);
    std::copy(texts, texts + count, judged.Texts);
    return judged;
}

// The line that the copy now ends with, and its line end, as written; the
// judgement's texts, read from source, are moved onto the copy's bytes.
void Written(Mending& mending, std::size_t begin, bool whole, LineEnd end, const char* source,
             JudgedLine judged) {
    TextLine line;
    line.Text = std::string_view(*mending.Copy).substr(begin);
    for (int i = 0; i < judged.Count; ++i) {
        judged.Texts[i] = line.Text.substr(
            static_cast<std::size_t>(judged.Texts[i].data() - source), judged.Texts[i].size());
    }
    if (!whole) {
        line.Text = line.Text.substr(0, ReadLimit);
    }
    line.Whole = whole;
    line.End = end;
    line.HasLineEnd = end != LineEnd::None;
    SeeJudgedLine(*mending.Check, line, judged);
}

// Kept as it is, and judged as the converter would.
void Keep(Mending& mending, std::string_view text, bool whole, LineEnd end) {
    const std::size_t begin = mending.Copy->size();
    *mending.Copy += text;
    const std::string_view judgedText = whole ? text : text.substr(0, ReadLimit);
    float values[MyMicInValueCount];
    std::string_view texts[MyMicInValueCount];
    const int count =
        IsHeaderLine(judgedText) ? 0 : ScanDataLine(judgedText, values, MyMicInValueCount, texts);
    const LineKind kind = IsHeaderLine(judgedText) ? LineKind::Header : LineKind::Other;
    Written(mending, begin, whole, end, judgedText.data(), Judged(kind, count, values, texts));
}

// Kept as it is, with the converter's judgement already made of it.
void KeepJudged(Mending& mending, std::string_view text, LineEnd end, const JudgedLine& judged) {
    const std::size_t begin = mending.Copy->size();
    *mending.Copy += text;
    Written(mending, begin, true, end, text.data(), judged);
}

// The kinds of repair a line's reading made, by kind.
constexpr int ReadingKinds = 6;
constexpr RepairKind ReadingKindOrder[ReadingKinds] = {
    RepairKind::QuotedNumbers, RepairKind::Separators, RepairKind::DecimalCommas,
    RepairKind::Grouping,      RepairKind::Units,      RepairKind::Typographic,
};

bool Made(const MeantChanges& changes, int kind) {
    const bool made[ReadingKinds] = {changes.Quotes,   changes.Separators, changes.DecimalCommas,
                                     changes.Grouping, changes.Units,      changes.Typographic};
    return made[kind];
}

void NoteChanges(RepairOutcome& outcome, const MeantChanges& changes, std::uint64_t number) {
    for (int kind = 0; kind < ReadingKinds; ++kind) {
        if (Made(changes, kind)) {
            Note(outcome, ReadingKindOrder[kind], number);
        }
    }
}

void RefuseMending(Mending& mending, Mending::DataLine& line, Mending::DataLine& after);

// Each data line as written; the one before it is judged by its neighbours.
void NoteData(Mending& mending, const JudgedLine& judged, bool mended, std::size_t begin,
              std::string_view original) {
    if (judged.Kind != LineKind::Data) {
        return;
    }
    Mending::DataLine* window = mending.Window;
    if (mending.InWindow == 3) {
        std::swap(window[0], window[1]);
        std::swap(window[1], window[2]);
        --mending.InWindow;
    }
    Mending::DataLine& line = window[mending.InWindow++];
    line.Frequency = judged.Values[0];
    line.Mended = mended;
    line.Changes = mended ? mending.Meant.Changes : MeantChanges{};
    line.Number = mending.Lines;
    line.Begin = begin;
    line.End = mending.Copy->size();
    line.Original.assign(mended ? original : std::string_view());
    if (mending.InWindow < 3) {
        return;
    }
    // A mended line whose frequency leaves the order of the lines around it,
    // while they keep it, was read wrongly: it goes back to what it was.
    const float before = window[0].Frequency;
    const float after = window[2].Frequency;
    const float f = window[1].Frequency;
    if (window[1].Mended && before <= after && !(before <= f && f <= after)) {
        RefuseMending(mending, window[1], window[2]);
    }
}

void RefuseMending(Mending& mending, Mending::DataLine& line, Mending::DataLine& after) {
    std::string& copy = *mending.Copy;
    const std::size_t mendedSize = line.End - line.Begin;
    copy.replace(line.Begin, mendedSize, line.Original);
    const std::size_t shift = line.Original.size() - mendedSize;
    after.Begin += shift;
    after.End += shift;
    line.Mended = false;
    mending.Refused = true;
    // What was said of the line goes with the mending.
    for (int kind = 0; kind < ReadingKinds; ++kind) {
        if (!Made(line.Changes, kind)) {
            continue;
        }
        RepairTally& change = mending.Outcome->Changes[static_cast<int>(ReadingKindOrder[kind])];
        --change.Count;
        const auto at = std::find(change.FirstLines.begin(), change.FirstLines.end(), line.Number);
        if (at != change.FirstLines.end()) {
            change.FirstLines.erase(at);
        }
    }
    RepairTally& tally = mending.Outcome->OutOfOrder;
    ++tally.Count;
    if (tally.FirstLines.size() < FirstLinesShown) {
        tally.FirstLines.push_back(line.Number);
    }
}

// The line mended where the file has one reading of it, kept as it is
// otherwise.
void MendLine(Mending& mending, std::string_view text, LineEnd end) {
    RepairOutcome& outcome = *mending.Outcome;
    const std::uint64_t number = mending.Lines;
    if (UnquotedHeaderShape(text) == HeaderShape::SensFactor) {
        Note(outcome, RepairKind::SensFactorQuote, number);
        const std::size_t begin = mending.Copy->size();
        *mending.Copy += '"';
        *mending.Copy += text;
        Written(mending, begin, true, end, text.data(),
                Judged(LineKind::Header, 0, nullptr, nullptr));
        return;
    }
    const JudgedLine judged = JudgeLine(text, MyMicInValueCount);
    if (mending.Verdict.TwoWays) {
        SeeTwoWays(outcome, mending.Verdict, text, number);
    }
    StyledLine& meant = mending.Meant;
    if (!ReadsOtherwise(mending.Verdict, text, judged, MyMicInValueCount, true, meant)) {
        const std::size_t begin = mending.Copy->size();
        KeepJudged(mending, text, end, judged);
        NoteData(mending, judged, false, begin, {});
        return;
    }
    const JudgedLine mended = JudgeLine(meant.Mended, MyMicInValueCount);
    if (mended.Kind != LineKind::Data) {
        KeepJudged(mending, text, end, judged);
        return;
    }
    NoteChanges(outcome, meant.Changes, number);
    const std::size_t begin = mending.Copy->size();
    *mending.Copy += meant.Mended;
    Written(mending, begin, true, end, meant.Mended.data(), mended);
    NoteData(mending, mended, true, begin, text);
}

std::string_view EndBytes(const TextReader& reader, LineEnd end) {
    if (reader.Detection.Ends == LineEnds::ClassicMac) {
        // The LF of a CR LF comes as a skipped LF.
        return end == LineEnd::Lf ? "\n" : end == LineEnd::None ? "" : "\r";
    }
    return end == LineEnd::CrLf ? "\r\n" : end == LineEnd::Lf ? "\n" : "";
}

// Each line of the reader, whole with its own bytes, to see; a line longer
// than the reader takes whole comes as its pieces, and is kept as it is.
// False at a read error.
template <typename SeeLine> bool ForEachLine(TextReader& reader, SeeLine see) {
    std::uint64_t skipped = 0;
    TextLine line;
    ReadResult result;
    while ((result = NextLine(reader, line)) == ReadResult::Line) {
        // A classic Mac CR LF whose LF was passed over ends the line before.
        const bool lineFeed = reader.SkippedLineFeeds != skipped;
        skipped = reader.SkippedLineFeeds;
        std::string whole;
        std::string_view text = line.Text;
        if (!line.Whole) {
            whole = line.Text;
            TextLine piece;
            while ((result = NextLinePiece(reader, piece)) == ReadResult::Line) {
                whole += piece.Text;
                line.End = piece.End;
            }
            if (result == ReadResult::Failed) {
                return false;
            }
            text = whole;
        }
        see(text, line.Whole, line.End, EndBytes(reader, line.End), lineFeed);
    }
    if (reader.SkippedLineFeeds != skipped) {
        see({}, true, LineEnd::None, {}, true);
    }
    return result == ReadResult::End;
}

// The copy's lines, where each starts in it, and the data lines' frequencies.
struct CopyLine {
    std::size_t Begin = 0;
    std::size_t TextLength = 0;
    std::string_view End;
    bool Data = false;
    float Frequency = 0.0f;
};

// Data lines in rising order of frequency, by a stable sort; each place keeps
// its own line end. They stand together, the mending has seen. False, with
// nothing moved, when the sort would change how the copy's line ends read.
bool SortDataLines(const char* path, std::size_t start, RepairOutcome& outcome) {
    std::string& copy = outcome.Repaired;
    std::vector<CopyLine> lines;
    const auto reader = std::make_unique<TextReader>();
    OpenTextReaderOnText(path, std::string_view(copy).substr(start), *reader);
    std::size_t at = start;
    ForEachLine(*reader, [&](std::string_view text, bool whole, LineEnd, std::string_view end,
                             bool lineFeed) {
        if (lineFeed && !lines.empty()) {
            lines.back().End = "\r\n";
            ++at;
        }
        if (text.empty() && end.empty()) {
            return;
        }
        CopyLine line{at, text.size(), end};
        // A long line is a point of its start, as the converter reads it.
        const std::string_view judged = whole ? text : text.substr(0, ReadLimit);
        float values[MyMicInValueCount];
        line.Data = !IsHeaderLine(judged) && ScanDataLine(judged, values, MyMicInValueCount) > 0;
        line.Frequency = line.Data ? values[0] : 0.0f;
        at += text.size() + end.size();
        lines.push_back(line);
    });
    const auto isData = [](const CopyLine& line) { return line.Data; };
    const auto first = std::find_if(lines.begin(), lines.end(), isData);
    const auto last = std::find_if(lines.rbegin(), lines.rend(), isData).base();
    const auto offset = static_cast<std::size_t>(first - lines.begin());
    std::vector<std::size_t> order(static_cast<std::size_t>(last - first));
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = offset + i;
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return lines[a].Frequency < lines[b].Frequency;
    });
    // The reader tells line ends from the first line alone, and a lone CR is
    // text in a file with LF line ends.
    const CopyLine& comesFirst = lines[order.front()];
    if (first->Begin == start && reader->Detection.Ends != LineEnds::ClassicMac &&
        ReadsWithClassicMacLineEnds(
            std::string_view(copy).substr(comesFirst.Begin, comesFirst.TextLength))) {
        outcome.UnsortedLoneCarriageReturn = order.front() + 1;
        return false;
    }
    const std::size_t blockBegin = first->Begin;
    const std::size_t blockEnd =
        (last - 1)->Begin + (last - 1)->TextLength + (last - 1)->End.size();
    std::string block;
    block.reserve(blockEnd - blockBegin);
    std::vector<std::uint64_t> moved;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const CopyLine& line = lines[order[i]];
        block.append(copy, line.Begin, line.TextLength);
        block += lines[offset + i].End;
        if (order[i] != offset + i) {
            moved.push_back(order[i] + 1);
        }
    }
    copy.replace(blockBegin, blockEnd - blockBegin, block);
    std::sort(moved.begin(), moved.end());
    for (const std::uint64_t line : moved) {
        Note(outcome, RepairKind::Sorted, line);
    }
    return true;
}

void SayTwoWays(const char* path, const RepairOutcome& outcome) {
    // The path stands as given, as in the converter's own messages.
    const std::initializer_list<Named> named = {
        {"line", std::to_string(outcome.TwoWaysLine)}, {"file", path},
        {"text", Shown(outcome.TwoWaysText)},          {"first", Shown(outcome.Readings[0])},
        {"firstWay", outcome.ReadingWords[0]},         {"second", Shown(outcome.Readings[1])},
        {"secondWay", outcome.ReadingWords[1]},
    };
    std::string said;
    if (outcome.TwoWaysGrouping) {
        // TRANSLATORS: {text} is the line as the file writes it, {first} and
        // {second} its two readings, each followed by how it reads the
        // numbers ({firstWay}, {secondWay}: "with decimal commas", "with
        // full stops").
        said = Say("Error - line {line} of {file}, \"{text}\", can be read as \"{first}\" "
                   "{firstWay} or as \"{second}\" {secondWay}: nothing was written. Write that "
                   "line's numbers without marks between their digits, with full stops as "
                   "decimal points, then repair again.",
                   named);
    } else {
        // TRANSLATORS: {text} is the line as the file writes it, {first} and
        // {second} its two readings, each followed by how it reads the
        // numbers ({firstWay}, {secondWay}: "with full stops").
        said = Say("Error - line {line} of {file}, \"{text}\", can be read as \"{first}\" "
                   "{firstWay} or as \"{second}\" {secondWay}: nothing was written. Write that "
                   "line's numbers with full stops, or with semicolons between them, then repair "
                   "again.",
                   named);
    }
    PrintMessage("%s\n", said.c_str());
}

// The file's bytes from its first 0x1A on, which the converter never reads.
bool AppendEndOfText(const char* path, std::string_view decoded, std::string& copy) {
    if (!decoded.empty()) {
        copy += decoded.substr(decoded.find('\x1A'));
        return true;
    }
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        return false;
    }
    copy += std::string_view(bytes).substr(bytes.find('\x1A'));
    return true;
}

enum class Pass { Done, Failed, Again };

// A file whose first lines already need mending is read for its reading
// alone first, rather than checked line by line while kept as it stands.
constexpr std::uint64_t LinesLearnedFirst = 1024;

bool SeeForVerdict(void* context, const TextReader&, const TextLine& line,
                   const JudgedLine& judged) {
    SeeLineForReading(*static_cast<FileReading*>(context), line.Text, judged, MyMicInValueCount);
    return true;
}

// Writes the copy with the file's reading. Without one (no style), every
// line is kept as it stands while the check of the copy learns the reading,
// which is the file's too; where that reading mends a line, verdict gets it
// and the file is to be read Again.
Pass Repair(TextReader& reader, const char* path, const char* copyPath, std::string_view decoded,
            ReadingVerdict& verdict, RepairOutcome& outcome) {
    std::string& copy = outcome.Repaired;
    if (reader.HadByteOrderMark) {
        copy += ByteOrderMark;
    }
    const std::size_t start = copy.size();
    FileFacts check;
    check.Report.Role = FileRole::File;
    check.Report.Path = copyPath;
    Mending mending;
    mending.Outcome = &outcome;
    mending.Copy = &copy;
    mending.Check = &check;
    mending.Verdict = verdict;
    bool learnApart = false;
    const bool read = ForEachLine(reader, [&](std::string_view text, bool whole, LineEnd ending,
                                              std::string_view end, bool lineFeed) {
        if (learnApart) {
            return;
        }
        if (verdict.Style < 0 && mending.Lines == LinesLearnedFirst) {
            const ReadingVerdict learned = ConcludeReading(check.Reading);
            learnApart = learned.Otherwise || learned.TwoWays;
            if (learnApart) {
                return;
            }
        }
        if (lineFeed) {
            copy += '\n';
        }
        if (text.empty() && end.empty()) {
            return;
        }
        ++mending.Lines;
        if (whole) {
            MendLine(mending, text, ending);
        } else {
            Keep(mending, text, false, ending);
        }
        copy += end;
    });
    if (!read) {
        return Pass::Failed;
    }
    if (learnApart) {
        return Pass::Again;
    }
    if (verdict.Style < 0) {
        // The copy's lines so far are the file's, but for a Sens Factor
        // line's quote, which no reading looks at.
        const ReadingVerdict learned = ConcludeReading(check.Reading);
        if (learned.Otherwise || learned.TwoWays) {
            verdict = learned;
            return Pass::Again;
        }
    }
    if (outcome.TwoWaysLine != 0) {
        SayTwoWays(path, outcome);
        return Pass::Failed;
    }
    if (!decoded.empty()) {
        outcome.Changes[static_cast<int>(RepairKind::Utf16)].Count = mending.Lines;
    }
    const bool refused = mending.Refused;
    SeeFileEnd(check, reader.HadByteOrderMark, false);
    ConcludeScannedFile(check);
    // Order is sorted only where it is the only fault: a sort would hide
    // swapped columns and a lone frequency out of place.
    const bool falls = !check.Report.Ascending && !refused;
    if (falls && check.Interruption != 0) {
        outcome.UnsortedBecauseOf = check.Interruption;
    }
    outcome.UnsortedColumnsSwapped = falls && check.ColumnsSwapped;
    outcome.UnsortedLoneFrequency =
        falls && !check.ColumnsSwapped
            ? check.LoneFrequencies.Count > 0 ? check.LoneFrequencies.FirstLines[0] : 0
            : 0;
    const bool sorts = falls && check.Interruption == 0 && !outcome.UnsortedColumnsSwapped &&
                       outcome.UnsortedLoneFrequency == 0 && SortDataLines(path, start, outcome);
    const std::size_t tail = copy.size();
    if (reader.EndedAtEndOfText && !AppendEndOfText(path, decoded, copy)) {
        return Pass::Failed;
    }
    // The lines the check saw are the copy's, unless the sort or the
    // self-check moved them.
    if (sorts || refused) {
        outcome.Remaining = CheckCalibrationText(copyPath, copy);
        return Pass::Done;
    }
    check.CutAtEndOfText = copy.size() - tail > 1;
    outcome.Remaining = ReportOnScannedFile(check);
    return Pass::Done;
}

} // namespace

bool RepairCalibrationFile(const char* path, const char* copyPath, RepairOutcome& outcome) {
    try {
        // The reader holds a block and a whole line: too large for some stacks.
        const auto reader = std::make_unique<TextReader>();
        if (!OpenTextReader(path, *reader)) {
            return false;
        }
        if (WouldOverwriteInput(copyPath, {}, &reader->File)) {
            CloseFile(reader->File);
            return false;
        }
        // UTF-16 is read whole and read again as UTF-8; anything else streams.
        std::string decoded;
        if (ReaderSawUtf16(*reader)) {
            CloseFile(reader->File);
            std::string bytes;
            if (!ReadWholeFile(path, bytes)) {
                return false;
            }
            decoded = Utf8FromUtf16(bytes);
            *reader = TextReader();
            OpenTextReaderOnText(path, decoded, *reader);
        }
        ReadingVerdict verdict;
        Pass pass = Repair(*reader, path, copyPath, decoded, verdict, outcome);
        if (pass == Pass::Again) {
            // Read again from the start, now that the reading is known.
            if (!reader->FromMemory) {
                CloseFile(reader->File);
            }
            *reader = TextReader();
            if (decoded.empty() ? !OpenTextReader(path, *reader)
                                : (OpenTextReaderOnText(path, decoded, *reader), false)) {
                return false;
            }
            if (verdict.Style < 0) {
                FileReading reading;
                const LineWatcher watcher = {SeeForVerdict, &reading, nullptr};
                if (!(decoded.empty()
                          ? ScanCalibrationFile(path, MyMicInValueCount, watcher)
                          : ScanCalibrationText(path, decoded, MyMicInValueCount, watcher))) {
                    CloseTextReader(*reader);
                    return false;
                }
                verdict = ConcludeReading(reading);
                // A reading that mends nothing still counts as known.
                verdict.Style = std::max(verdict.Style, 0);
            }
            outcome = RepairOutcome();
            pass = Repair(*reader, path, copyPath, decoded, verdict, outcome);
        }
        if (pass != Pass::Done) {
            if (!reader->FromMemory) {
                CloseFile(reader->File);
            }
            return false;
        }
        return CloseTextReader(*reader);
    } catch (const std::bad_alloc&) {
        return ReportOutOfMemory(path);
    }
}
