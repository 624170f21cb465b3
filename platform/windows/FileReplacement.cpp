#include "FileReplacementSteps.h"

#include "WidePath.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <fcntl.h>
#include <io.h>

namespace {

// The temporary file that a console interrupt must remove. The handler runs
// on a thread of its own; the lock keeps it from coming between the
// creation of the file and its registration here, or between the
// replacement and its end.
wchar_t PendingPath[WidePathMax];
bool HasPending = false;
SRWLOCK PendingLock = SRWLOCK_INIT;

// Room for the paths of one step at a time; a path may be 32,767 units long,
// too much for the stack.
wchar_t WideScratch[WidePathMax];
wchar_t FullTarget[WidePathMax];
wchar_t FullTemporary[WidePathMax];

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

// Attributes of a file that is written in place rather than replaced: a
// folder, a link, a read-only file (which is then refused) and a device.
constexpr DWORD WrittenInPlaceAttributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT |
                                           FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DEVICE;

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

// Only a plain disk file with no other name is replaced, or one that is not
// there yet.
bool FindReplacementTarget(const char* path, ReplacementTarget& target) {
    if (!ToWidePath(path, WideScratch)) {
        return false;
    }
    target.Path = path;
    const HANDLE handle = CreateFileW(
        WideScratch, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    target.Exists = true;
    BY_HANDLE_FILE_INFORMATION information;
    const bool replaceable = GetFileType(handle) == FILE_TYPE_DISK &&
                             GetFileInformationByHandle(handle, &information) != 0 &&
                             (information.dwFileAttributes & WrittenInPlaceAttributes) == 0 &&
                             information.nNumberOfLinks == 1;
    CloseHandle(handle);
    return replaceable;
}

void InstallInterruptCleanup() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        SetConsoleCtrlHandler(RemovePendingOnInterrupt, TRUE);
    }
}

std::uint64_t TemporaryNameSeed() {
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    return (static_cast<std::uint64_t>(GetCurrentProcessId()) << 32) ^
           static_cast<std::uint64_t>(counter.QuadPart);
}

CreateResult CreateExclusively(const std::string& path, const ReplacementTarget&,
                               PlatformFile& file) {
    if (!ToWidePath(path.c_str(), WideScratch)) {
        return CreateResult::Failed;
    }
    AcquireSRWLockExclusive(&PendingLock);
    const HANDLE handle =
        CreateFileW(WideScratch, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = GetLastError();
    if (handle != INVALID_HANDLE_VALUE) {
        std::wmemcpy(PendingPath, WideScratch, std::wcslen(WideScratch) + 1);
        HasPending = true;
    }
    ReleaseSRWLockExclusive(&PendingLock);
    if (handle == INVALID_HANDLE_VALUE) {
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? CreateResult::NameTaken
                                                                           : CreateResult::Failed;
    }
    // Binary mode: the text writer writes CR LF itself.
    const int descriptor =
        _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        RemovePending();
        return CreateResult::Failed;
    }
    file.Descriptor = descriptor;
    return CreateResult::Created;
}

// ReplaceFileW carries the attributes and the security over itself.
bool KeepAttributes(PlatformFile&, const ReplacementTarget&) {
    return true;
}

bool PutInPlace(const std::string&, const std::string& targetPath) {
    if (!ToWidePath(targetPath.c_str(), WideScratch)) {
        return false;
    }
    AcquireSRWLockExclusive(&PendingLock);
    // Some implementations of ReplaceFileW take only full paths.
    bool replaced = false;
    if (FullPath(WideScratch, FullTarget) && FullPath(PendingPath, FullTemporary)) {
        for (int attempt = 1; !(replaced = ReplaceOnce(FullTarget, FullTemporary)) &&
                              attempt < ReplaceAttempts && Busy(GetLastError());
             ++attempt) {
            Sleep(ReplaceRetryMilliseconds);
        }
    }
    if (replaced) {
        HasPending = false;
    }
    ReleaseSRWLockExclusive(&PendingLock);
    return replaced;
}

void RemovePending() {
    AcquireSRWLockExclusive(&PendingLock);
    if (HasPending) {
        DeleteFileW(PendingPath);
        HasPending = false;
    }
    ReleaseSRWLockExclusive(&PendingLock);
}
