#include "RepairText.h"

#include "DataLineScan.h"
#include "LineKind.h"
#include "LineShapes.h"
#include "Messages.h"
#include "ShownText.h"
#include "TextReader.h"

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

void AppendUtf8(std::string& out, std::uint32_t character) {
    if (character < 0x80) {
        out += static_cast<char>(character);
    } else if (character < 0x800) {
        out += static_cast<char>(0xC0 | (character >> 6));
        out += static_cast<char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        out += static_cast<char>(0xE0 | (character >> 12));
        out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (character >> 18));
        out += static_cast<char>(0x80 | ((character >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (character & 0x3F));
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

bool IsDataLine(std::string_view text) {
    float values[MyMicInValueCount];
    return ScanDataLine(text, values, MyMicInValueCount) > 0;
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

// A spreadsheet's quoted fields are a header line to the converter; without
// their quotes, and mended as any other line, they are the point meant. A
// line that would be no point without its quotes keeps them.
std::string MendQuotedNumbers(std::string_view text, std::uint64_t number, RepairOutcome& outcome) {
    std::string unquoted(text);
    unquoted.erase(std::remove(unquoted.begin(), unquoted.end(), '"'), unquoted.end());
    const MeantLine meant = ReadAsMeant(unquoted, MyMicInValueCount);
    if (SeeTwoWays(outcome, meant, text, number)) {
        return std::string(text);
    }
    std::string mended = meant.Reading == LineReading::Mended ? meant.Text : unquoted;
    if (!IsDataLine(mended)) {
        return std::string(text);
    }
    Note(outcome, RepairKind::QuotedNumbers, number);
    NoteMeant(outcome, meant, number);
    return mended;
}

// The line as it will be written.
std::string MendLine(std::string_view text, std::uint64_t number, RepairOutcome& outcome) {
    if (IsHeaderLine(text)) {
        return IsQuotedNumbersLine(text) ? MendQuotedNumbers(text, number, outcome)
                                         : std::string(text);
    }
    if (UnquotedHeaderShape(text) == HeaderShape::SensFactor) {
        Note(outcome, RepairKind::SensFactorQuote, number);
        std::string quoted = "\"";
        quoted += text;
        return quoted;
    }
    const MeantLine meant = ReadAsMeant(text, MyMicInValueCount);
    if (SeeTwoWays(outcome, meant, text, number) || meant.Reading != LineReading::Mended) {
        return std::string(text);
    }
    NoteMeant(outcome, meant, number);
    return meant.Text;
}

struct Line {
    std::string Text;
    std::string End; // the bytes that ended it, as the file has them
    bool Data = false;
    float Frequency = 0.0f;
};

std::string_view EndBytes(const TextReader& reader, LineEnd end) {
    if (reader.Detection.Ends == LineEnds::ClassicMac) {
        // The LF of a CR LF comes as a skipped LF.
        return end == LineEnd::Lf ? "\n" : end == LineEnd::None ? "" : "\r";
    }
    return end == LineEnd::CrLf ? "\r\n" : end == LineEnd::Lf ? "\n" : "";
}

// Every line with its own bytes; a line longer than the reader takes whole
// is kept as it is, pieces and all.
std::vector<Line> ReadLines(TextReader& reader, RepairOutcome& outcome) {
    std::vector<Line> lines;
    std::uint64_t skipped = 0;
    const auto takeSkipped = [&] {
        if (reader.SkippedLineFeeds != skipped && !lines.empty()) {
            lines.back().End += "\n";
        }
        skipped = reader.SkippedLineFeeds;
    };
    TextLine line;
    while (NextLine(reader, line) == ReadResult::Line) {
        takeSkipped();
        Line kept;
        if (line.Whole) {
            kept.Text = MendLine(line.Text, lines.size() + 1, outcome);
        } else {
            kept.Text = line.Text;
            TextLine piece;
            while (NextLinePiece(reader, piece) == ReadResult::Line) {
                kept.Text += piece.Text;
                line.End = piece.End;
            }
        }
        kept.End = EndBytes(reader, line.End);
        float values[MyMicInValueCount];
        if (line.Whole && !IsHeaderLine(kept.Text) &&
            ScanDataLine(kept.Text, values, MyMicInValueCount) > 0) {
            kept.Data = true;
            kept.Frequency = values[0];
        }
        lines.push_back(std::move(kept));
    }
    takeSkipped();
    return lines;
}

// Data lines in rising order of frequency, by a stable sort, when they
// stand together: each place keeps its own line end.
void SortDataLines(std::vector<Line>& lines, RepairOutcome& outcome) {
    const auto isData = [](const Line& line) { return line.Data; };
    const auto first = std::find_if(lines.begin(), lines.end(), isData);
    const auto last = std::find_if(lines.rbegin(), lines.rend(), isData).base();
    bool falls = false;
    std::uint64_t among = 0;
    const Line* previous = nullptr;
    for (auto line = first; line < last; ++line) {
        if (!line->Data) {
            among = among != 0 ? among : static_cast<std::uint64_t>(line - lines.begin()) + 1;
            continue;
        }
        falls = falls || (previous != nullptr && line->Frequency < previous->Frequency);
        previous = &*line;
    }
    if (!falls) {
        return;
    }
    if (among != 0) {
        outcome.UnsortedBecauseOf = among;
        return;
    }
    std::vector<std::size_t> order(static_cast<std::size_t>(last - first));
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    const auto at = [&](std::size_t i) -> Line& { return first[static_cast<std::ptrdiff_t>(i)]; };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return at(a).Frequency < at(b).Frequency;
    });
    std::vector<std::string> texts;
    texts.reserve(order.size());
    const auto offset = static_cast<std::uint64_t>(first - lines.begin());
    std::vector<std::uint64_t> moved;
    for (std::size_t i = 0; i < order.size(); ++i) {
        texts.push_back(std::move(at(order[i]).Text));
        if (order[i] != i) {
            moved.push_back(offset + order[i] + 1);
        }
    }
    std::sort(moved.begin(), moved.end());
    for (const std::uint64_t line : moved) {
        Note(outcome, RepairKind::Sorted, line);
    }
    for (std::size_t i = 0; i < order.size(); ++i) {
        at(i).Text = std::move(texts[i]);
    }
}

bool Repair(const char* path, std::string_view bytes, RepairOutcome& outcome) {
    std::string decoded;
    std::string_view text = bytes;
    const bool utf16 = LooksLikeUtf16(bytes.substr(0, FirstBytesKept));
    if (utf16) {
        decoded = Utf8FromUtf16(bytes);
        text = decoded;
    }
    // The reader holds a block and a whole line: too large for some stacks.
    const auto reader = std::make_unique<TextReader>();
    OpenTextReaderOnText(path, text, *reader);
    std::vector<Line> lines = ReadLines(*reader, outcome);
    if (outcome.TwoWaysLine != 0) {
        std::string shown;
        std::string said = "\"";
        said += outcome.TwoWaysText;
        said += "\", can be read as \"";
        said += outcome.DecimalReading;
        said += "\" with decimal commas or as \"";
        said += outcome.SeparatorReading;
        said += "\" with commas between the numbers";
        AppendShownText(shown, said);
        PrintMessage("Error - line %llu of %s, %s: nothing was written. Write that line's "
                     "numbers with full stops, or with semicolons between them, then repair "
                     "again.\n",
                     static_cast<unsigned long long>(outcome.TwoWaysLine), path, shown.c_str());
        return false;
    }
    if (utf16) {
        outcome.Changes[static_cast<int>(RepairKind::Utf16)].Count = lines.size();
    }
    SortDataLines(lines, outcome);
    std::string& out = outcome.Repaired;
    out.reserve(text.size() + lines.size());
    if (reader->HadByteOrderMark) {
        out += ByteOrderMark;
    }
    for (const Line& line : lines) {
        out += line.Text;
        out += line.End;
    }
    // The converter stops at a byte 0x1A; what follows it stays too.
    if (reader->EndedAtEndOfText) {
        out += text.substr(text.find('\x1A'));
    }
    return true;
}

} // namespace

bool RepairCalibrationText(const char* path, std::string_view bytes, RepairOutcome& outcome) {
    try {
        return Repair(path, bytes, outcome);
    } catch (const std::bad_alloc&) {
        PrintMessage("Error - out of memory reading %s\n", path);
        return false;
    }
}
