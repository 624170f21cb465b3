#include "RepairText.h"

#include "CheckCalibration.h"
#include "DataLineScan.h"
#include "FileScan.h"
#include "LineKind.h"
#include "LineShapes.h"
#include "Messages.h"
#include "OverwriteGuard.h"
#include "PlatformFile.h"
#include "ShownText.h"
#include "TextReader.h"
#include "Utf8.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

constexpr std::size_t FirstLinesShown = 5;
constexpr std::string_view Replacement = "\xEF\xBF\xBD";

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

void NoteMeant(RepairOutcome& outcome, const MeantLine& meant, std::uint64_t number) {
    if (meant.Separators) {
        Note(outcome, RepairKind::Separators, number);
    }
    if (meant.DecimalCommas) {
        Note(outcome, RepairKind::DecimalCommas, number);
    }
}

bool SeeTwoWays(RepairOutcome& outcome, const MeantLine& meant, std::string_view text,
                std::uint64_t number) {
    if (meant.Reading != LineReading::TwoWays) {
        return false;
    }
    if (outcome.TwoWaysLine == 0) {
        outcome.TwoWaysLine = number;
        outcome.TwoWaysText = text;
        outcome.DecimalReading = meant.Text;
        outcome.SeparatorReading = meant.Other;
    }
    return true;
}

// Where a line's mending goes: straight into the copy, and to the check's
// scan of the copy, which sees each line as the converter would judge it,
// and so also tells whether the data lines need sorting.
struct Mending {
    RepairOutcome* Outcome = nullptr;
    std::string* Copy = nullptr;
    FileScan* Check = nullptr;
    MeantLine Meant; // one for every line, so that its texts keep their room
    std::uint64_t Lines = 0;
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

// A spreadsheet's quoted fields are a header line to the converter; without
// their quotes they are the point meant. A line that would be no point
// without its quotes keeps them.
void MendQuotedNumbers(Mending& mending, std::string_view text, LineEnd end) {
    RepairOutcome& outcome = *mending.Outcome;
    const std::uint64_t number = mending.Lines;
    MeantLine& meant = mending.Meant;
    meant.Separators = meant.DecimalCommas = false;
    float values[MyMicInValueCount];
    std::string_view texts[MyMicInValueCount];
    const int count = ReadQuotedNumbers(text, &meant)
                          ? ScanDataLine(meant.Text, values, MyMicInValueCount, texts)
                          : 0;
    if (count == 0) {
        Keep(mending, text, true, end);
        return;
    }
    Note(outcome, RepairKind::QuotedNumbers, number);
    NoteMeant(outcome, meant, number);
    const std::size_t begin = mending.Copy->size();
    *mending.Copy += meant.Text;
    Written(mending, begin, true, end, meant.Text.data(),
            Judged(LineKind::Data, count, values, texts));
}

// The line mended where it has one reading, kept as it is otherwise.
void MendLine(Mending& mending, std::string_view text, LineEnd end) {
    RepairOutcome& outcome = *mending.Outcome;
    const std::uint64_t number = mending.Lines;
    if (IsHeaderLine(text)) {
        if (IsQuotedNumbersLine(text)) {
            MendQuotedNumbers(mending, text, end);
        } else {
            Keep(mending, text, true, end);
        }
        return;
    }
    if (UnquotedHeaderShape(text) == HeaderShape::SensFactor) {
        Note(outcome, RepairKind::SensFactorQuote, number);
        const std::size_t begin = mending.Copy->size();
        *mending.Copy += '"';
        *mending.Copy += text;
        Written(mending, begin, true, end, text.data(),
                Judged(LineKind::Header, 0, nullptr, nullptr));
        return;
    }
    MeantLine& meant = mending.Meant;
    ReadAsMeant(text, MyMicInValueCount, meant);
    if (meant.Reading != LineReading::Mended) {
        SeeTwoWays(outcome, meant, text, number);
        Keep(mending, text, true, end);
        return;
    }
    NoteMeant(outcome, meant, number);
    const std::size_t begin = mending.Copy->size();
    *mending.Copy += meant.Text;
    Written(mending, begin, true, end, meant.Text.data(),
            Judged(LineKind::Data, meant.Count, meant.Values, meant.Texts));
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
    std::string said = "\"";
    said += outcome.TwoWaysText;
    said += "\", can be read as \"";
    said += outcome.DecimalReading;
    said += "\" with decimal commas or as \"";
    said += outcome.SeparatorReading;
    said += "\" with commas between the numbers";
    std::string shown;
    AppendShownText(shown, said);
    PrintMessage("Error - line %llu of %s, %s: nothing was written. Write that line's "
                 "numbers with full stops, or with semicolons between them, then repair "
                 "again.\n",
                 static_cast<unsigned long long>(outcome.TwoWaysLine), path, shown.c_str());
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

bool Repair(TextReader& reader, const char* path, const char* copyPath, std::string_view decoded,
            RepairOutcome& outcome) {
    std::string& copy = outcome.Repaired;
    if (reader.HadByteOrderMark) {
        copy += ByteOrderMark;
    }
    const std::size_t start = copy.size();
    FileScan check;
    check.Report.Role = FileRole::File;
    check.Report.Path = copyPath;
    Mending mending;
    mending.Outcome = &outcome;
    mending.Copy = &copy;
    mending.Check = &check;
    const bool read = ForEachLine(reader, [&](std::string_view text, bool whole, LineEnd ending,
                                              std::string_view end, bool lineFeed) {
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
        return false;
    }
    if (outcome.TwoWaysLine != 0) {
        SayTwoWays(path, outcome);
        return false;
    }
    if (!decoded.empty()) {
        outcome.Changes[static_cast<int>(RepairKind::Utf16)].Count = mending.Lines;
    }
    const bool falls = !check.Report.Ascending;
    if (falls && check.Interruption != 0) {
        outcome.UnsortedBecauseOf = check.Interruption;
    }
    const bool sorts = falls && check.Interruption == 0 && SortDataLines(path, start, outcome);
    const std::size_t tail = copy.size();
    if (reader.EndedAtEndOfText && !AppendEndOfText(path, decoded, copy)) {
        return false;
    }
    // The lines the check saw are the copy's, unless the sort moved them.
    if (sorts) {
        outcome.Remaining = CheckCalibrationText(copyPath, copy);
        return true;
    }
    SeeFileEnd(check, reader.HadByteOrderMark, copy.size() - tail > 1);
    ConcludeScannedFile(check);
    outcome.Remaining = ReportOnScannedFile(check);
    return true;
}

} // namespace

bool ReadWholeFile(const char* path, std::string& bytes) {
    PlatformFile file;
    if (!OpenForReading(path, file)) {
        PrintMessage("Error - could not open %s\n", path);
        return false;
    }
    char block[64 * 1024];
    for (;;) {
        const long count = ReadSome(file, block, sizeof block);
        if (count < 0) {
            CloseFile(file);
            PrintMessage("Error - could not read %s\n", path);
            return false;
        }
        if (count == 0) {
            break;
        }
        bytes.append(block, static_cast<std::size_t>(count));
    }
    if (!CloseFile(file)) {
        PrintMessage("Error - could not read %s\n", path);
        return false;
    }
    return true;
}

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
        if (!Repair(*reader, path, copyPath, decoded, outcome)) {
            if (!reader->FromMemory) {
                CloseFile(reader->File);
            }
            return false;
        }
        return CloseTextReader(*reader);
    } catch (const std::bad_alloc&) {
        PrintMessage("Error - out of memory reading %s\n", path);
        return false;
    }
}
