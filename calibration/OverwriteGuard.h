#pragma once

#include "PlatformFile.h"

#include <initializer_list>

// A file opened for writing is truncated or replaced, so it must not be one
// of the inputs under another name, a hard link or a symbolic link. Prints
// "Error - will not overwrite input file %s" with outputPath and returns true
// when it names a file at one of inputPaths, or the input open in openInput.
// A file that does not exist yet is never an input.
bool WouldOverwriteInput(const char* outputPath, std::initializer_list<const char*> inputPaths,
                         const PlatformFile* openInput = nullptr);
