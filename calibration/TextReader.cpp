#include "TextReader.h"

#include "Messages.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

namespace {

constexpr char EndOfTextByte = 0x1A;

// A whole line is at most ReadLimit bytes of text followed by CR LF.
constexpr std::size_t WholeLineWindow = ReadLimit + 2;

// Where counted CRs are handed out as text.
constexpr auto CarriageReturnRun = [] {
    std::array<char, 4096> run{};
    run.fill('\r');
    return run;
}();

bool ReportReadFailure(TextReader& reader) {
    return ReportCouldNotRead(reader.Path);
}

void KeepFirstBytes(TextReader& reader, const char* bytes, std::size_t count) {
    const std::size_t kept = std::min(count, FirstBytesKept - reader.FirstByteCount);
    std::memcpy(reader.FirstBytes + reader.FirstByteCount, bytes, kept);
    reader.FirstByteCount += kept;
}

long ReadMore(TextReader& reader, char* buffer, std::size_t size) {
    if (!reader.FromMemory) {
        return ReadSome(reader.File, buffer, size);
    }
    const std::size_t count = std::min(size, reader.Memory.size());
    std::memcpy(buffer, reader.Memory.data(), count);
    reader.Memory.remove_prefix(count);
    return static_cast<long>(count);
}

// Appends what the file has ready to the buffered bytes.
bool Fill(TextReader& reader) {
    if (reader.Begin > 0) {
        std::memmove(reader.Buffer, reader.Buffer + reader.Begin, reader.End - reader.Begin);
        reader.End -= reader.Begin;
        if (reader.Detection.Ends == LineEnds::Undecided) {
            reader.Detection.Scanned -= reader.Begin;
            reader.Detection.FirstCarriageReturn -=
                reader.Detection.SawCarriageReturn ? reader.Begin : 0;
        }
        if (reader.Detection.HeldCarriageReturns > 0) {
            reader.Detection.HeldAt -= reader.Begin;
        }
        reader.Begin = 0;
    }
    if (reader.BeforeWaiting != nullptr && !reader.BeforeWaiting(reader.BeforeWaitingContext)) {
        return false;
    }
    char* const start = reader.Buffer + reader.End;
    const long count = ReadMore(reader, start, sizeof reader.Buffer - reader.End);
    if (count < 0) {
        return ReportReadFailure(reader);
    }
    if (count == 0) {
        reader.AtEnd = true;
        return true;
    }
    KeepFirstBytes(reader, start, static_cast<std::size_t>(count));
    const auto* endOfText = static_cast<const char*>(
        std::memchr(start, EndOfTextByte, static_cast<std::size_t>(count)));
    if (endOfText != nullptr) {
        reader.End += static_cast<std::size_t>(endOfText - start);
        reader.AtEnd = true;
        reader.EndedAtEndOfText = true;
        reader.BytesAfterEndOfText = endOfText + 1 < start + count;
    } else {
        reader.End += static_cast<std::size_t>(count);
    }
    return true;
}

// Looks at the bytes read since the last look: the first LF, or a CR followed
// by a byte other than CR and LF before it, decides.
void ScanForLineEnds(TextReader& reader) {
    for (; reader.Detection.Scanned < reader.End; ++reader.Detection.Scanned) {
        const char c = reader.Buffer[reader.Detection.Scanned];
        if (c == '\n') {
            reader.Detection.Ends = LineEnds::CrLf;
            return;
        }
        if (reader.Detection.SawCarriageReturn) {
            if (c != '\r') {
                reader.Detection.Ends = LineEnds::ClassicMac;
                return;
            }
        } else if (c == '\r') {
            reader.Detection.SawCarriageReturn = true;
            reader.Detection.FirstCarriageReturn = reader.Detection.Scanned;
        }
    }
}

// The buffer is full, and from the first CR on it holds only CRs, which still
// decide nothing. Beyond the first WholeLineWindow bytes they are counted, so
// that either reading can still be handed out; the last one stays, to be
// looked at with the byte after it.
void HoldCarriageReturns(TextReader& reader) {
    if (reader.Detection.HeldCarriageReturns == 0) {
        reader.Detection.HeldAt = reader.Begin + WholeLineWindow;
    }
    reader.Detection.HeldCarriageReturns += reader.End - 1 - reader.Detection.HeldAt;
    reader.End = reader.Detection.HeldAt + 1;
    reader.Detection.Scanned = reader.End;
}

// Reads on until the line ends are known; the end of the input decides for CR
// LF, since no CR was followed by another byte.
bool DecideLineEnds(TextReader& reader) {
    for (;;) {
        ScanForLineEnds(reader);
        if (reader.Detection.Ends != LineEnds::Undecided) {
            return true;
        }
        if (reader.AtEnd) {
            reader.Detection.Ends = LineEnds::CrLf;
            return true;
        }
        if (reader.End - reader.Begin == sizeof reader.Buffer) {
            HoldCarriageReturns(reader);
        }
        if (!Fill(reader)) {
            return false;
        }
    }
}

std::size_t TextLengthBeforeLineEnd(const char* text, std::size_t length) {
    return length > 0 && text[length - 1] == '\r' ? length - 1 : length;
}

LineEnd CrLfLineEnd(const char* text, std::size_t length) {
    return length > 0 && text[length - 1] == '\r' ? LineEnd::CrLf : LineEnd::Lf;
}

// lineEnd is the CR or LF that ends a classic Mac OS line.
LineEnd MacLineEnd(const TextReader& reader, const char* lineEnd) {
    if (*lineEnd == '\n') {
        return LineEnd::Lf;
    }
    const char* const next = lineEnd + 1;
    return next < reader.Buffer + reader.End && *next == '\n' ? LineEnd::CrLf : LineEnd::Cr;
}

// The first size bytes of a line that goes on beyond them; the rest comes
// piece by piece.
ReadResult TakeLongLineStart(TextReader& reader, std::size_t size, TextLine& line) {
    line = {std::string_view(reader.Buffer + reader.Begin, size), false, false};
    reader.Begin += size;
    reader.InLongLine = true;
    return ReadResult::Line;
}

// What is left of the input: a last line without a line end.
ReadResult TakeLastLine(TextReader& reader, TextLine& line) {
    line = {std::string_view(reader.Buffer + reader.Begin, reader.End - reader.Begin), true, false};
    reader.Begin = reader.End;
    return ReadResult::Line;
}

ReadResult NextCrLfLine(TextReader& reader, TextLine& line) {
    for (;;) {
        const char* const start = reader.Buffer + reader.Begin;
        const std::size_t available = reader.End - reader.Begin;
        const std::size_t window = available < WholeLineWindow ? available : WholeLineWindow;
        const auto* lineEnd = static_cast<const char*>(std::memchr(start, '\n', window));
        if (lineEnd != nullptr) {
            const auto length = static_cast<std::size_t>(lineEnd - start);
            const std::size_t textLength = TextLengthBeforeLineEnd(start, length);
            if (textLength <= ReadLimit) {
                line = {std::string_view(start, textLength), true, true,
                        CrLfLineEnd(start, length)};
                reader.Begin += length + 1;
                return ReadResult::Line;
            }
        } else if (window < WholeLineWindow) {
            if (!reader.AtEnd) {
                if (!Fill(reader)) {
                    return ReadResult::Failed;
                }
                continue;
            }
            if (available == 0) {
                return ReadResult::End;
            }
            if (available <= ReadLimit) {
                return TakeLastLine(reader, line);
            }
        }
        return TakeLongLineStart(reader, ReadLimit, line);
    }
}

// The counted CRs are text of a long line here; the CR kept at HeldAt, not
// they, may start a CR LF line end.
ReadResult NextHeldPiece(TextReader& reader, TextLine& piece) {
    if (reader.Begin < reader.Detection.HeldAt) {
        piece = {
            std::string_view(reader.Buffer + reader.Begin, reader.Detection.HeldAt - reader.Begin),
            false, false};
        reader.Begin = reader.Detection.HeldAt;
        return ReadResult::Line;
    }
    const auto take = static_cast<std::size_t>(
        std::min<std::uint64_t>(reader.Detection.HeldCarriageReturns, CarriageReturnRun.size()));
    piece = {std::string_view(CarriageReturnRun.data(), take), false, false};
    reader.Detection.HeldCarriageReturns -= take;
    return ReadResult::Line;
}

ReadResult NextCrLfPiece(TextReader& reader, TextLine& piece) {
    while (reader.InLongLine) {
        if (reader.Detection.HeldCarriageReturns > 0) {
            return NextHeldPiece(reader, piece);
        }
        const std::size_t available = reader.End - reader.Begin;
        // Two bytes tell a CR LF line end from a CR that is part of the text.
        if (available < 2 && !reader.AtEnd) {
            if (!Fill(reader)) {
                return ReadResult::Failed;
            }
            continue;
        }
        if (available == 0) {
            reader.InLongLine = false;
            break;
        }
        const char* const start = reader.Buffer + reader.Begin;
        const auto* lineEnd = static_cast<const char*>(std::memchr(start, '\n', available));
        if (lineEnd != nullptr) {
            const auto length = static_cast<std::size_t>(lineEnd - start);
            piece = {std::string_view(start, TextLengthBeforeLineEnd(start, length)), false, true,
                     CrLfLineEnd(start, length)};
            reader.Begin += length + 1;
            reader.InLongLine = false;
            return ReadResult::Line;
        }
        std::size_t take = available;
        if (!reader.AtEnd && start[available - 1] == '\r') {
            --take;
        }
        piece = {std::string_view(start, take), false, false};
        reader.Begin += take;
        return ReadResult::Line;
    }
    return ReadResult::End;
}

const char* FindMacLineEnd(const char* text, std::size_t length) {
    return std::find_if(text, text + length, [](char c) { return c == '\r' || c == '\n'; });
}

// A line ends at its first CR or LF, so a line end can be handed out as soon
// as it arrives; the LF of a CR LF is skipped when the next line is asked for.
ReadResult NextMacLine(TextReader& reader, TextLine& line) {
    for (;;) {
        char* const start = reader.Buffer + reader.Begin;
        if (reader.Detection.HeldCarriageReturns > 0 && reader.Begin == reader.Detection.HeldAt) {
            --reader.Detection.HeldCarriageReturns;
            reader.SkipLineFeed = false;
            line = {std::string_view(start, 0), true, true, LineEnd::Cr};
            return ReadResult::Line;
        }
        const std::size_t available = reader.End - reader.Begin;
        if (reader.SkipLineFeed) {
            if (available == 0 && !reader.AtEnd) {
                if (!Fill(reader)) {
                    return ReadResult::Failed;
                }
                continue;
            }
            reader.SkipLineFeed = false;
            if (available > 0 && *start == '\n') {
                ++reader.Begin;
                ++reader.SkippedLineFeeds;
                continue;
            }
        }
        const std::size_t window = std::min(available, ReadLimit + 1);
        const char* const lineEnd = FindMacLineEnd(start, window);
        if (lineEnd != start + window) {
            const auto length = static_cast<std::size_t>(lineEnd - start);
            line = {std::string_view(start, length), true, true, MacLineEnd(reader, lineEnd)};
            reader.Begin += length + 1;
            reader.SkipLineFeed = *lineEnd == '\r';
            return ReadResult::Line;
        }
        if (window <= ReadLimit) {
            if (!reader.AtEnd) {
                if (!Fill(reader)) {
                    return ReadResult::Failed;
                }
                continue;
            }
            if (available == 0) {
                return ReadResult::End;
            }
            return TakeLastLine(reader, line);
        }
        return TakeLongLineStart(reader, ReadLimit, line);
    }
}

ReadResult NextMacPiece(TextReader& reader, TextLine& piece) {
    while (reader.InLongLine) {
        const std::size_t available = reader.End - reader.Begin;
        if (available == 0) {
            if (!reader.AtEnd) {
                if (!Fill(reader)) {
                    return ReadResult::Failed;
                }
                continue;
            }
            reader.InLongLine = false;
            break;
        }
        const char* const start = reader.Buffer + reader.Begin;
        const char* const lineEnd = FindMacLineEnd(start, available);
        const auto length = static_cast<std::size_t>(lineEnd - start);
        const bool hasLineEnd = length < available;
        piece = {std::string_view(start, length), false, hasLineEnd,
                 hasLineEnd ? MacLineEnd(reader, lineEnd) : LineEnd::None};
        reader.Begin += length;
        if (hasLineEnd) {
            ++reader.Begin;
            reader.SkipLineFeed = *lineEnd == '\r';
            reader.InLongLine = false;
        }
        return ReadResult::Line;
    }
    return ReadResult::End;
}

// Until the line ends are known, only text of the first line before its first
// CR is handed out, on which both readings agree: a first piece of ReadLimit
// bytes when the line is longer than that, later pieces of any size.
ReadResult NextUndecided(TextReader& reader, TextLine& text, bool firstPiece) {
    for (;;) {
        ScanForLineEnds(reader);
        if (reader.Detection.Ends != LineEnds::Undecided) {
            break;
        }
        const std::size_t textEnd =
            reader.Detection.SawCarriageReturn ? reader.Detection.FirstCarriageReturn : reader.End;
        const std::size_t length = textEnd - reader.Begin;
        if (firstPiece ? length > ReadLimit : length > 0) {
            return TakeLongLineStart(reader, firstPiece ? ReadLimit : length, text);
        }
        if (reader.Detection.SawCarriageReturn) {
            if (!DecideLineEnds(reader)) {
                return ReadResult::Failed;
            }
            break;
        }
        if (reader.AtEnd) {
            reader.Detection.Ends = LineEnds::CrLf;
            break;
        }
        if (!Fill(reader)) {
            return ReadResult::Failed;
        }
    }
    if (reader.Detection.Ends == LineEnds::ClassicMac) {
        return firstPiece ? NextMacLine(reader, text) : NextMacPiece(reader, text);
    }
    return firstPiece ? NextCrLfLine(reader, text) : NextCrLfPiece(reader, text);
}

// Takes the byte-order mark, which needs the first three bytes.
bool Start(TextReader& reader) {
    while (reader.End < ByteOrderMark.size() && !reader.AtEnd) {
        if (!Fill(reader)) {
            return false;
        }
    }
    if (std::string_view(reader.Buffer, reader.End).starts_with(ByteOrderMark)) {
        reader.Begin = ByteOrderMark.size();
        reader.HadByteOrderMark = true;
    }
    reader.Detection.Scanned = reader.Begin;
    return true;
}

} // namespace

bool OpenTextReader(const char* path, TextReader& reader) {
    reader.Path = path;
    if (!OpenForReading(path, reader.File)) {
        return ReportCouldNotOpen(path);
    }
    if (!Start(reader)) {
        CloseFile(reader.File);
        return false;
    }
    return true;
}

bool ReadWholeFile(const char* path, std::string& bytes) {
    PlatformFile file;
    if (!OpenForReading(path, file)) {
        return ReportCouldNotOpen(path);
    }
    char block[64 * 1024];
    for (;;) {
        const long count = ReadSome(file, block, sizeof block);
        if (count < 0) {
            CloseFile(file);
            return ReportCouldNotRead(path);
        }
        if (count == 0) {
            break;
        }
        try {
            bytes.append(block, static_cast<std::size_t>(count));
        } catch (const std::bad_alloc&) {
            CloseFile(file);
            return ReportOutOfMemory(path);
        }
    }
    if (!CloseFile(file)) {
        return ReportCouldNotRead(path);
    }
    return true;
}

void OpenTextReaderOnText(const char* path, std::string_view text, TextReader& reader) {
    reader.Path = path;
    reader.FromMemory = true;
    reader.Memory = text;
    Start(reader);
}

ReadResult NextLine(TextReader& reader, TextLine& line) {
    TextLine rest;
    ReadResult skipped;
    while ((skipped = NextLinePiece(reader, rest)) == ReadResult::Line) {
    }
    if (skipped == ReadResult::Failed) {
        return ReadResult::Failed;
    }
    switch (reader.Detection.Ends) {
    case LineEnds::CrLf:
        return NextCrLfLine(reader, line);
    case LineEnds::ClassicMac:
        return NextMacLine(reader, line);
    case LineEnds::Undecided:
        break;
    }
    return NextUndecided(reader, line, true);
}

ReadResult NextLinePiece(TextReader& reader, TextLine& piece) {
    if (!reader.InLongLine) {
        return ReadResult::End;
    }
    switch (reader.Detection.Ends) {
    case LineEnds::CrLf:
        return NextCrLfPiece(reader, piece);
    case LineEnds::ClassicMac:
        return NextMacPiece(reader, piece);
    case LineEnds::Undecided:
        break;
    }
    return NextUndecided(reader, piece, false);
}

bool CloseTextReader(TextReader& reader) {
    if (!reader.FromMemory && !CloseFile(reader.File)) {
        return ReportReadFailure(reader);
    }
    return true;
}

bool ReadsWithClassicMacLineEnds(std::string_view firstLine) {
    for (std::size_t at = firstLine.find('\r');
         at != std::string_view::npos && at + 1 < firstLine.size();
         at = firstLine.find('\r', at + 1)) {
        if (firstLine[at + 1] != '\r' && firstLine[at + 1] != '\n') {
            return true;
        }
    }
    return false;
}

bool LooksLikeUtf16(std::string_view firstBytes) {
    if (firstBytes.starts_with("\xFF\xFE") || firstBytes.starts_with("\xFE\xFF")) {
        return true;
    }
    const std::size_t length = firstBytes.size() & ~std::size_t{1};
    if (length < 4) {
        return false;
    }
    std::size_t zeros[2] = {};
    for (std::size_t i = 0; i < length; ++i) {
        zeros[i & 1] += firstBytes[i] == '\0' ? 1 : 0;
    }
    const std::size_t half = length / 2;
    return (zeros[0] == half && zeros[1] == 0) || (zeros[1] == half && zeros[0] == 0);
}

bool ReaderSawUtf16(const TextReader& reader) {
    return LooksLikeUtf16(std::string_view(reader.FirstBytes, reader.FirstByteCount));
}

bool BytesFollowEndOfText(TextReader& reader) {
    if (!reader.EndedAtEndOfText) {
        return false;
    }
    char byte;
    return reader.BytesAfterEndOfText || ReadMore(reader, &byte, 1) > 0;
}
