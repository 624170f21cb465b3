#pragma once

#include "PlatformFile.h"

#include <cstddef>
#include <string_view>

constexpr std::size_t WriteBlockSize = 64 * 1024;

// Buffered output of a calibration file. Every line end is written as CR LF on
// every platform. The first failure to write prints "Error - could not write
// %s" once; from then on the writer only fails.
struct TextWriter {
    PlatformFile File;
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

// Flushes and closes; only a writer whose every byte reached the file
// closes successfully.
bool CloseTextWriter(TextWriter& writer);
