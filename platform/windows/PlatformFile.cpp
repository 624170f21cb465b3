#include "PlatformFile.h"

#include "WidePath.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace {

bool Identify(HANDLE handle, BY_HANDLE_FILE_INFORMATION& information) {
    return handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_DISK &&
           GetFileInformationByHandle(handle, &information) != 0;
}

// Only a regular file can lose its contents to the output; a device named
// twice (NUL, CON) is no conflict, and neither is a directory.
bool SameIdentity(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return (a.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

// Opens path only to learn which file it names: no access to its contents,
// shared with every other opener, through any link to the file itself.
bool IdentifyPath(const char* path, BY_HANDLE_FILE_INFORMATION& information) {
    static wchar_t wide[WidePathMax];
    if (!ToWidePath(path, wide)) {
        return false;
    }
    const HANDLE handle =
        CreateFileW(wide, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const bool identified = Identify(handle, information);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
    }
    return identified;
}

bool OpenDescriptor(const char* path, int flags, PlatformFile& file) {
    static wchar_t wide[WidePathMax];
    if (!ToWidePath(path, wide)) {
        return false;
    }
    // Binary mode: the line reader and the text writer apply the text-mode
    // rules themselves, the same way on every platform.
    const int descriptor = _wopen(wide, flags | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (descriptor < 0) {
        return false;
    }
    file.Descriptor = descriptor;
    return true;
}

} // namespace

bool OpenForReading(const char* path, PlatformFile& file) {
    if (!OpenDescriptor(path, _O_RDONLY, file)) {
        return false;
    }
    // Windows itself refuses to open a directory this way; the check keeps
    // that true wherever the program runs.
    BY_HANDLE_FILE_INFORMATION information;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.Descriptor));
    if (GetFileType(handle) == FILE_TYPE_DISK &&
        (GetFileInformationByHandle(handle, &information) == 0 ||
         (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)) {
        CloseFile(file);
        return false;
    }
    return true;
}

bool OpenForWriting(const char* path, PlatformFile& file) {
    return OpenDescriptor(path, _O_WRONLY | _O_CREAT | _O_TRUNC, file);
}

long ReadSome(PlatformFile& file, char* buffer, std::size_t size) {
    constexpr std::size_t Largest = 1u << 30;
    const int count =
        _read(file.Descriptor, buffer, static_cast<unsigned>(size < Largest ? size : Largest));
    return count < 0 ? -1 : count;
}

bool WriteAll(PlatformFile& file, const char* data, std::size_t size) {
    constexpr std::size_t Largest = 1u << 30;
    while (size > 0) {
        const int count =
            _write(file.Descriptor, data, static_cast<unsigned>(size < Largest ? size : Largest));
        if (count <= 0) {
            return false;
        }
        data += count;
        size -= static_cast<std::size_t>(count);
    }
    return true;
}

bool CloseFile(PlatformFile& file) {
    if (file.Descriptor < 0) {
        return true;
    }
    const int result = _close(file.Descriptor);
    file.Descriptor = -1;
    return result == 0;
}

bool NamesOpenFile(const char* path, const PlatformFile& file) {
    BY_HANDLE_FILE_INFORMATION pathInformation;
    BY_HANDLE_FILE_INFORMATION fileInformation;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.Descriptor));
    return IdentifyPath(path, pathInformation) && Identify(handle, fileInformation) &&
           SameIdentity(pathInformation, fileInformation);
}

bool NameSameFile(const char* path, const char* otherPath) {
    BY_HANDLE_FILE_INFORMATION pathInformation;
    BY_HANDLE_FILE_INFORMATION otherInformation;
    return IdentifyPath(path, pathInformation) && IdentifyPath(otherPath, otherInformation) &&
           SameIdentity(pathInformation, otherInformation);
}
