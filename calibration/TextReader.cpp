#include "TextReader.h"

#include "TextWriter.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr char EndOfTextByte = 0x1A;

bool ReportReadFailure(TextReader& reader) {
    std::printf("Error - could not read %s\n", reader.Path);
    return false;
}

// Appends what the file has ready to the buffered bytes.
bool Fill(TextReader& reader) {
    if (reader.Begin > 0) {
        std::memmove(reader.Buffer, reader.Buffer + reader.Begin, reader.End - reader.Begin);
        reader.End -= reader.Begin;
        reader.Begin = 0;
    }
    if (reader.FlushBeforeWaiting != nullptr && !FlushTextWriter(*reader.FlushBeforeWaiting)) {
        return false;
    }
    char* const start = reader.Buffer + reader.End;
    const long count = ReadSome(reader.File, start, sizeof reader.Buffer - reader.End);
    if (count < 0) {
        return ReportReadFailure(reader);
    }
    if (count == 0) {
        reader.AtEnd = true;
        return true;
    }
    const auto* endOfText = static_cast<const char*>(
        std::memchr(start, EndOfTextByte, static_cast<std::size_t>(count)));
    if (endOfText != nullptr) {
        reader.End += static_cast<std::size_t>(endOfText - start);
        reader.AtEnd = true;
    } else {
        reader.End += static_cast<std::size_t>(count);
    }
    return true;
}

std::size_t TextLengthBeforeLineEnd(const char* text, std::size_t length) {
    return length > 0 && text[length - 1] == '\r' ? length - 1 : length;
}

} // namespace

bool OpenTextReader(const char* path, TextReader& reader) {
    reader.Path = path;
    if (!OpenForReading(path, reader.File)) {
        std::printf("Error - could not open %s\n", path);
        return false;
    }
    while (reader.End < ByteOrderMark.size() && !reader.AtEnd) {
        if (!Fill(reader)) {
            CloseFile(reader.File);
            return false;
        }
    }
    if (std::string_view(reader.Buffer, reader.End).starts_with(ByteOrderMark)) {
        reader.Begin = ByteOrderMark.size();
        reader.HadByteOrderMark = true;
    }
    return true;
}

ReadResult NextLine(TextReader& reader, TextLine& line) {
    TextLine rest;
    ReadResult skipped;
    while ((skipped = NextLinePiece(reader, rest)) == ReadResult::Line) {
    }
    if (skipped == ReadResult::Failed) {
        return ReadResult::Failed;
    }
    // A whole line is at most ReadLimit bytes of text followed by CR LF.
    constexpr std::size_t WholeLineWindow = ReadLimit + 2;
    for (;;) {
        const char* const start = reader.Buffer + reader.Begin;
        const std::size_t available = reader.End - reader.Begin;
        const std::size_t window = available < WholeLineWindow ? available : WholeLineWindow;
        const auto* lineEnd = static_cast<const char*>(std::memchr(start, '\n', window));
        if (lineEnd != nullptr) {
            const auto length = static_cast<std::size_t>(lineEnd - start);
            const std::size_t textLength = TextLengthBeforeLineEnd(start, length);
            if (textLength <= ReadLimit) {
                line = {std::string_view(start, textLength), true, true};
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
                line = {std::string_view(start, available), true, false};
                reader.Begin = reader.End;
                return ReadResult::Line;
            }
        }
        line = {std::string_view(start, ReadLimit), false, false};
        reader.Begin += ReadLimit;
        reader.InLongLine = true;
        return ReadResult::Line;
    }
}

ReadResult NextLinePiece(TextReader& reader, TextLine& piece) {
    while (reader.InLongLine) {
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
            piece = {std::string_view(start, TextLengthBeforeLineEnd(start, length)), false, true};
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

bool CloseTextReader(TextReader& reader) {
    if (!CloseFile(reader.File)) {
        return ReportReadFailure(reader);
    }
    return true;
}
