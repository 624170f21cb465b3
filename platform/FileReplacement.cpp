#include "FileReplacement.h"

#include "FileReplacementSteps.h"
#include "TemporaryName.h"

namespace {

// Names are drawn at random; a hundred taken in a row means that something
// other than chance is at work, and writing in place is left.
constexpr int TemporaryNameAttempts = 100;

void RemoveTemporary(FileReplacement& replacement) {
    RemovePending();
    replacement = {};
}

bool CreateTemporary(const ReplacementTarget& target, PlatformFile& file,
                     FileReplacement& replacement) {
    InstallInterruptCleanup();
    const std::uint64_t seed = TemporaryNameSeed();
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        std::string temporary = TemporaryNameFor(target.Path, seed);
        const CreateResult created = CreateExclusively(temporary, target, file);
        if (created == CreateResult::NameTaken) {
            continue;
        }
        if (created == CreateResult::Failed) {
            return false;
        }
        replacement.TemporaryPath = std::move(temporary);
        replacement.TargetPath = target.Path;
        if (!KeepAttributes(file, target)) {
            CloseFile(file);
            RemoveTemporary(replacement);
            return false;
        }
        return true;
    }
    return false;
}

} // namespace

bool OpenForReplacing(const char* path, PlatformFile& file, FileReplacement& replacement) {
    replacement = {};
    // Whatever keeps the temporary file from being made (a folder closed to
    // new files, a name too long, attributes that cannot be kept) leaves
    // writing in place.
    ReplacementTarget target;
    if (FindReplacementTarget(path, target) && CreateTemporary(target, file, replacement)) {
        return true;
    }
    return OpenForWriting(path, file);
}

bool FinishReplacing(PlatformFile& file, FileReplacement& replacement) {
    const bool closed = CloseFile(file);
    if (replacement.TemporaryPath.empty()) {
        return closed;
    }
    if (!closed || !PutInPlace(replacement.TemporaryPath, replacement.TargetPath)) {
        RemoveTemporary(replacement);
        return false;
    }
    replacement = {};
    return true;
}

void AbandonReplacing(PlatformFile& file, FileReplacement& replacement) {
    CloseFile(file);
    if (!replacement.TemporaryPath.empty()) {
        RemoveTemporary(replacement);
    }
}
