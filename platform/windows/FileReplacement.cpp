#include "FileReplacement.h"

#include "TemporaryName.h"
#include "WidePath.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <fcntl.h>
#include <io.h>
#include <string>

namespace {

// The temporary file that a console interrupt must remove. The handler runs
// on a thread of its own; the lock keeps it from coming between the
// creation of the file and its registration here, or between the
// replacement and its end.
wchar_t PendingPath[WidePathMax];
bool HasPending = false;
SRWLOCK PendingLock = SRWLOCK_INIT;

wchar_t TargetWide[WidePathMax];

BOOL WINAPI RemovePendingOnInterrupt(DWORD) {
    AcquireSRWLockExclusive(&PendingLock);
    if (HasPending) {
        // Opened to be shared for deletion: the file goes when the process
        // ends and its handle closes.
        DeleteFileW(PendingPath);
        HasPending = false;
    }
    // The lock stays held: the run must not go on to put a removed file in
    // place while the default handler ends the process, as Ctrl+C, Ctrl+Break
    // or a closed console would have.
    return FALSE;
}

void InstallCleanup() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        SetConsoleCtrlHandler(RemovePendingOnInterrupt, TRUE);
    }
}

// Only a plain disk file with no other name is replaced, or one that is not
// there yet; a device (NUL, CON), a link, a read-only file (refused as it
// always was) and a folder are written in place.
bool MayReplace(const wchar_t* path) {
    const HANDLE handle = CreateFileW(
        path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    BY_HANDLE_FILE_INFORMATION information;
    constexpr DWORD Kept = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT |
                           FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DEVICE;
    const bool replaceable = GetFileType(handle) == FILE_TYPE_DISK &&
                             GetFileInformationByHandle(handle, &information) != 0 &&
                             (information.dwFileAttributes & Kept) == 0 &&
                             information.nNumberOfLinks == 1;
    CloseHandle(handle);
    return replaceable;
}

std::uint64_t ProcessSeed() {
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    return (static_cast<std::uint64_t>(GetCurrentProcessId()) << 32) ^
           static_cast<std::uint64_t>(counter.QuadPart);
}

// Creates a file that did not exist, never opening an existing one.
HANDLE CreateExclusively(const wchar_t* path) {
    AcquireSRWLockExclusive(&PendingLock);
    const HANDLE handle = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = GetLastError();
    if (handle != INVALID_HANDLE_VALUE) {
        HasPending = true;
    }
    ReleaseSRWLockExclusive(&PendingLock);
    SetLastError(error);
    return handle;
}

void RemoveTemporary(FileReplacement& replacement) {
    AcquireSRWLockExclusive(&PendingLock);
    DeleteFileW(PendingPath);
    HasPending = false;
    ReleaseSRWLockExclusive(&PendingLock);
    replacement = {};
}

bool CreateTemporary(const char* path, PlatformFile& file, FileReplacement& replacement) {
    InstallCleanup();
    const std::uint64_t seed = ProcessSeed();
    constexpr int Attempts = 100;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        std::string temporary = TemporaryNameFor(path, seed);
        // Written only while no file is pending, so the handler never reads
        // it half written.
        if (!ToWidePath(temporary.c_str(), PendingPath)) {
            return false;
        }
        const HANDLE handle = CreateExclusively(PendingPath);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
                continue;
            }
            return false;
        }
        replacement.TemporaryPath = std::move(temporary);
        replacement.TargetPath = path;
        // Binary mode: the text writer writes CR LF itself.
        const int descriptor =
            _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_WRONLY | _O_BINARY);
        if (descriptor < 0) {
            CloseHandle(handle);
            RemoveTemporary(replacement);
            return false;
        }
        file.Descriptor = descriptor;
        return true;
    }
    return false;
}

bool FullPath(const wchar_t* path, wchar_t (&full)[WidePathMax]) {
    const DWORD size = GetFullPathNameW(path, WidePathMax, full, nullptr);
    return size > 0 && size < WidePathMax;
}

// ReplaceFileW keeps the attributes and the security of the file it
// replaces. A file that is not there is moved into place, and so is one
// that ReplaceFileW has already taken away when it fails to move ours into
// its place: left so, MyMicOut would be lost.
bool ReplaceOnce(const wchar_t* target, const wchar_t* temporary) {
    if (ReplaceFileW(target, temporary, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr) != 0) {
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
        error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        return MoveFileExW(temporary, target, MOVEFILE_REPLACE_EXISTING) != 0;
    }
    SetLastError(error);
    return false;
}

// Another run replacing the same file at the same moment, or a program that
// reads it (a virus scanner), holds it briefly: the replacement is tried
// again for up to half a second before it counts as failed.
constexpr int ReplaceAttempts = 50;
constexpr DWORD ReplaceRetryMilliseconds = 10;

bool Busy(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
           error == ERROR_LOCK_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

} // namespace

bool OpenForReplacing(const char* path, PlatformFile& file, FileReplacement& replacement) {
    replacement = {};
    // Any failure to make the temporary file (a folder closed to new files,
    // a name too long) leaves writing in place, as before.
    if (ToWidePath(path, TargetWide) && MayReplace(TargetWide) &&
        CreateTemporary(path, file, replacement)) {
        return true;
    }
    return OpenForWriting(path, file);
}

bool FinishReplacing(PlatformFile& file, FileReplacement& replacement) {
    const bool closed = CloseFile(file);
    if (replacement.TemporaryPath.empty()) {
        return closed;
    }
    if (!closed || !ToWidePath(replacement.TargetPath.c_str(), TargetWide)) {
        RemoveTemporary(replacement);
        return false;
    }
    AcquireSRWLockExclusive(&PendingLock);
    // Some implementations of ReplaceFileW take only full paths.
    static wchar_t fullTarget[WidePathMax];
    static wchar_t fullTemporary[WidePathMax];
    bool replaced = false;
    if (FullPath(TargetWide, fullTarget) && FullPath(PendingPath, fullTemporary)) {
        for (int attempt = 1; !(replaced = ReplaceOnce(fullTarget, fullTemporary)) &&
                              attempt < ReplaceAttempts && Busy(GetLastError());
             ++attempt) {
            Sleep(ReplaceRetryMilliseconds);
        }
    }
    if (!replaced) {
        DeleteFileW(PendingPath);
    }
    HasPending = false;
    ReleaseSRWLockExclusive(&PendingLock);
    replacement = {};
    return replaced;
}

void AbandonReplacing(PlatformFile& file, FileReplacement& replacement) {
    CloseFile(file);
    if (!replacement.TemporaryPath.empty()) {
        RemoveTemporary(replacement);
    }
}
