#pragma once

// The steps of a replacement that each platform takes in its own way. The
// order of the steps, and what follows each failure, is FileReplacement.cpp's.

#include "PlatformFile.h"

#include <cstdint>
#include <string>

// The file that a replacement takes the place of.
struct ReplacementTarget {
    std::string Path; // where the path's links lead: a link stays a link
    bool Exists = false;
    // What the new file must take over from an existing one where the
    // platform's final step does not keep it.
    unsigned long Owner = 0;
    unsigned long Group = 0;
    unsigned long Mode = 0;
};

// True when the file at path may be replaced: a plain file with no other
// name that could be written in place, or a name that is not taken yet.
// False leaves writing in place.
bool FindReplacementTarget(const char* path, ReplacementTarget& target);

// From then on an interrupt removes the pending temporary file before the
// process ends as it would have. Installed once per process.
void InstallInterruptCleanup();

// Different in every process, so that two runs at once try different
// temporary names.
std::uint64_t TemporaryNameSeed();

enum class CreateResult { Created, NameTaken, Failed };

// Creates path for writing, never opening a file that exists, and makes it
// the pending file with no moment between the two in which an interrupt
// would miss it. On Failed and NameTaken nothing is pending.
CreateResult CreateExclusively(const std::string& path, const ReplacementTarget& target,
                               PlatformFile& file);

// Gives the new file what the existing one has beyond its bytes and the
// final step does not carry over. False when any of it cannot be given.
bool KeepAttributes(PlatformFile& file, const ReplacementTarget& target);

// Puts the closed pending file in target's place in one step; nothing is
// pending once it succeeded. On failure the target is as it was.
bool PutInPlace(const std::string& temporaryPath, const std::string& targetPath);

// Removes the pending file; nothing is pending afterwards.
void RemovePending();
