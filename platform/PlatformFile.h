#pragma once

#include <cstddef>

// The operating system's files, opened by path in binary mode: the text-mode
// rules are applied by the line reader and the text writer, identically on
// every platform, so that MyMicOut is the same byte for byte wherever the tool
// runs. Each function reports through its result only; the callers know which
// message a failure deserves.
struct PlatformFile {
    int Descriptor = -1;
};

// Fails for a path that cannot be opened and for a directory.
bool OpenForReading(const char* path, PlatformFile& file);

// Creates the file or truncates an existing one: the file is written in
// place.
bool OpenForWriting(const char* path, PlatformFile& file);

// Returns the number of bytes read, 0 at the end of the file, -1 on a read error.
long ReadSome(PlatformFile& file, char* buffer, std::size_t size);

bool WriteAll(PlatformFile& file, const char* data, std::size_t size);

// Closing reports the failures that a write can only show at its end.
bool CloseFile(PlatformFile& file);

// True when path names an existing regular file that is the very file open in
// file, whatever spelling, hard link or symbolic link leads to it.
bool NamesOpenFile(const char* path, const PlatformFile& file);

// True when both paths exist and name the same regular file.
bool NameSameFile(const char* path, const char* otherPath);
