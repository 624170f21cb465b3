#pragma once

#include "PlatformFile.h"

#include <string>

// A file written whole or not at all: the bytes go to a new temporary file
// beside the file they are meant for, which takes that file's place in one
// step once every byte is in it, and disappears on any failure or interrupt.
// Where a rename would change more than the contents (a device, a pipe, a
// file with other names, an owner or attributes that could not be kept, a
// folder closed to new files), the file is written in place.
struct FileReplacement {
    std::string TemporaryPath; // empty while writing in place
    std::string TargetPath;    // the file that the temporary file replaces
};

// Opens path for writing, through a temporary file where it can. Fails only
// where writing in place would fail too.
bool OpenForReplacing(const char* path, PlatformFile& file, FileReplacement& replacement);

// Closes the file and puts the temporary file in place; true only when both
// succeeded. On failure the earlier file is as it was.
bool FinishReplacing(PlatformFile& file, FileReplacement& replacement);

// Closes the file and removes the temporary file, leaving the earlier file
// as it was.
void AbandonReplacing(PlatformFile& file, FileReplacement& replacement);
