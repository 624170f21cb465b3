#pragma once

#include "FileReplacement.h"
#include "PlatformFile.h"

#include <cstddef>
#include <string_view>

constexpr std::size_t WriteBlockSize = 64 * 1024;

// Buffered output of a calibration file. Every line end is written as CR LF on
// every platform. The first failure to write prints "Error - could not write
// %s" once; from then on the writer only fails. An existing file is
// replaced only when every byte has been written, and is left as it was
// otherwise.
struct TextWriter {
    PlatformFile File;
    FileReplacement Replacement;
    const char* Path = nullptr;
    std::size_t Used = 0;
    bool Failed = false;
    char Buffer[WriteBlockSize];
};

// Prints "Error - could not open %s for writing" and fails.
bool OpenTextWriter(const char* path, TextWriter& writer);

bool WriteText(TextWriter& writer, std::string_view text);

bool WriteLineEnd(TextWriter& writer);

bool FlushTextWriter(TextWriter& writer);

// FlushTextWriter in the form of a TextReader's BeforeWaiting, with the
// writer as its context.
bool FlushTextWriterBeforeWaiting(void* writer);

// Room for at most size bytes (size <= WriteBlockSize), to be followed by
// CommitText with the end of what was written there. Inline: it is called for
// every data line.
inline char* ReserveText(TextWriter& writer, std::size_t size) {
    if (sizeof writer.Buffer - writer.Used < size) {
        FlushTextWriter(writer);
    }
    return writer.Buffer + writer.Used;
}

inline void CommitText(TextWriter& writer, const char* end) {
    writer.Used = static_cast<std::size_t>(end - writer.Buffer);
}

// Flushes, closes and puts the file in place; only a writer whose every
// byte reached the file closes successfully. A failed close or replacement
// prints "Error - could not write %s".
bool CloseTextWriter(TextWriter& writer);

// Closes quietly after a failure that has been reported, leaving an earlier
// file as it was.
void DiscardTextWriter(TextWriter& writer);
