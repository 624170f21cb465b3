#include "OverwriteGuard.h"

#include "Messages.h"

bool WouldOverwriteInput(const char* outputPath, std::initializer_list<const char*> inputPaths,
                         const PlatformFile* openInput) {
    bool overwrites = openInput != nullptr && NamesOpenFile(outputPath, *openInput);
    for (const char* inputPath : inputPaths) {
        overwrites = overwrites || NameSameFile(outputPath, inputPath);
    }
    if (overwrites) {
        PrintMessage("Error - will not overwrite input file %s\n", outputPath);
    }
    return overwrites;
}
