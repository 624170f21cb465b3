#include "PlatformFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Only a regular file can lose its contents to the output; a device or a pipe
// named twice (/dev/null, /dev/stdout) is no conflict.
bool SameIdentity(const struct stat& a, const struct stat& b) {
    return S_ISREG(a.st_mode) && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

bool OpenForReading(const char* path, PlatformFile& file) {
    int descriptor;
    do {
        descriptor = open(path, O_RDONLY | O_CLOEXEC);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) {
        return false;
    }
    // A directory opens for reading here but not on every platform; it is
    // never a calibration file, so it fails the same way everywhere.
    struct stat status;
    if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        close(descriptor);
        return false;
    }
    file.Descriptor = descriptor;
    return true;
}

bool OpenForWriting(const char* path, PlatformFile& file) {
    int descriptor;
    do {
        descriptor = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) {
        return false;
    }
    file.Descriptor = descriptor;
    return true;
}

long ReadSome(PlatformFile& file, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t count = read(file.Descriptor, buffer, size);
        if (count >= 0) {
            return static_cast<long>(count);
        }
        if (errno != EINTR) {
            return -1;
        }
    }
}

bool WriteAll(PlatformFile& file, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t count = write(file.Descriptor, data, size);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (count == 0) {
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
    const int result = close(file.Descriptor);
    file.Descriptor = -1;
    // A close interrupted by a signal has still released the descriptor on
    // Linux; what it could not report is a lost write, so it counts as failed.
    return result == 0;
}

bool NamesOpenFile(const char* path, const PlatformFile& file) {
    struct stat pathStatus;
    struct stat fileStatus;
    if (stat(path, &pathStatus) != 0 || fstat(file.Descriptor, &fileStatus) != 0) {
        return false;
    }
    return SameIdentity(pathStatus, fileStatus);
}

bool NameSameFile(const char* path, const char* otherPath) {
    struct stat pathStatus;
    struct stat otherStatus;
    if (stat(path, &pathStatus) != 0 || stat(otherPath, &otherStatus) != 0) {
        return false;
    }
    return SameIdentity(pathStatus, otherStatus);
}
