#include "FileReplacement.h"

#include "TemporaryName.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The temporary file that an interrupt must remove, where a signal handler
// can read it without allocating. One file is replaced at a time.
char PendingPath[PATH_MAX];
volatile std::sig_atomic_t HasPending = 0;

constexpr int CleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The links the kernel follows on its own most of the time: past this, open
// fails anyway.
constexpr int LinkHopsMax = 40;

sigset_t CleanupSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : CleanupSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

extern "C" void RemovePendingAndEnd(int signal) {
    if (HasPending != 0) {
        unlink(PendingPath);
        HasPending = 0;
    }
    // The signal stays blocked until the handler returns, and is then taken
    // with its default action: the process ends as it would have without us.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// A signal that was ignored when the tool started (nohup, a background job
// of a non-interactive shell) stays ignored.
void InstallCleanup() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    for (const int signal : CleanupSignals) {
        struct sigaction previous;
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action = {};
        action.sa_handler = RemovePendingAndEnd;
        action.sa_mask = CleanupSignalSet();
        sigaction(signal, &action, nullptr);
    }
}

// Device files and a process's own descriptors are written through, never
// replaced: /dev/stdout may stand for a file that a shell opened to append.
bool NamesSystemFile(const std::string& path) {
    return path.starts_with("/dev/") || path.starts_with("/proc/");
}

// The name that path ends at through its symbolic links, so that a link
// stays a link and its target is replaced. False for a chain that leads
// into the system's files or goes on too long.
bool FollowLinks(const char* path, std::string& target) {
    target = path;
    for (int hop = 0; hop < LinkHopsMax; ++hop) {
        if (NamesSystemFile(target)) {
            return false;
        }
        struct stat status;
        if (lstat(target.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return true;
        }
        char link[PATH_MAX];
        const ssize_t size = readlink(target.c_str(), link, sizeof link);
        if (size <= 0 || static_cast<std::size_t>(size) >= sizeof link) {
            return false;
        }
        std::string next(link, static_cast<std::size_t>(size));
        const std::size_t slash = target.rfind('/');
        if (next[0] != '/' && slash != std::string::npos) {
            next.insert(0, target, 0, slash + 1);
        }
        target = std::move(next);
    }
    return false;
}

// A rename keeps only the contents of a file that is a regular file with no
// other name, that the target name still leads to, and that could be
// written in place: a read-only MyMicOut is refused as it always was.
bool ReplaceableFile(const struct stat& existing, const std::string& target) {
    struct stat targetStatus;
    return S_ISREG(existing.st_mode) && existing.st_nlink == 1 &&
           stat(target.c_str(), &targetStatus) == 0 && targetStatus.st_dev == existing.st_dev &&
           targetStatus.st_ino == existing.st_ino &&
           faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}

std::uint64_t ProcessSeed() {
    timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    return (static_cast<std::uint64_t>(getpid()) << 32) ^
           static_cast<std::uint64_t>(now.tv_sec) * 1000000007u ^
           static_cast<std::uint64_t>(now.tv_nsec);
}

// Creates a file that did not exist, never opening an existing one, and
// makes it known to the interrupt handler before any signal can come
// between the two.
int CreateExclusively(const std::string& path, mode_t mode) {
    const sigset_t cleanup = CleanupSignalSet();
    sigset_t previous;
    sigprocmask(SIG_BLOCK, &cleanup, &previous);
    const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (descriptor >= 0) {
        std::memcpy(PendingPath, path.c_str(), path.size() + 1);
        HasPending = 1;
    }
    const int error = errno;
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return descriptor;
}

void RemoveTemporary(FileReplacement& replacement) {
    unlink(replacement.TemporaryPath.c_str());
    HasPending = 0;
    replacement = {};
}

// The owner and group first: a change of owner clears the set-ID bits,
// which the mode then puts back.
bool KeepOwnerAndMode(int descriptor, const struct stat& existing) {
    struct stat made;
    if (fstat(descriptor, &made) != 0) {
        return false;
    }
    if ((made.st_uid != existing.st_uid || made.st_gid != existing.st_gid) &&
        fchown(descriptor, existing.st_uid, existing.st_gid) != 0) {
        return false;
    }
    return fchmod(descriptor, existing.st_mode & 07777) == 0;
}

// existing is null for a file that does not exist yet.
bool CreateTemporary(const std::string& target, const struct stat* existing, PlatformFile& file,
                     FileReplacement& replacement) {
    InstallCleanup();
    const std::uint64_t seed = ProcessSeed();
    // Until its owner is settled the file is no more open than the one it
    // replaces; a new file gets what a new file always got.
    const mode_t mode = existing != nullptr ? (existing->st_mode & 0600) : 0666;
    constexpr int Attempts = 100;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        std::string temporary = TemporaryNameFor(target, seed);
        if (temporary.size() >= sizeof PendingPath) {
            return false;
        }
        const int descriptor = CreateExclusively(temporary, mode);
        if (descriptor < 0) {
            if (errno == EEXIST || errno == EINTR) {
                continue;
            }
            return false;
        }
        replacement.TemporaryPath = std::move(temporary);
        replacement.TargetPath = target;
        if (existing != nullptr && !KeepOwnerAndMode(descriptor, *existing)) {
            close(descriptor);
            RemoveTemporary(replacement);
            return false;
        }
        file.Descriptor = descriptor;
        return true;
    }
    return false;
}

} // namespace

bool OpenForReplacing(const char* path, PlatformFile& file, FileReplacement& replacement) {
    replacement = {};
    struct stat existing;
    const bool exists = stat(path, &existing) == 0;
    const bool missing = !exists && errno == ENOENT;
    std::string target;
    if ((exists || missing) && FollowLinks(path, target)) {
        struct stat targetStatus;
        const bool replaceable =
            exists ? ReplaceableFile(existing, target) : lstat(target.c_str(), &targetStatus) != 0;
        // Any failure to make the temporary file (a folder closed to new
        // files, a name too long) leaves writing in place, as before.
        if (replaceable &&
            CreateTemporary(target, exists ? &existing : nullptr, file, replacement)) {
            return true;
        }
    }
    return OpenForWriting(path, file);
}

bool FinishReplacing(PlatformFile& file, FileReplacement& replacement) {
    const bool closed = CloseFile(file);
    if (replacement.TemporaryPath.empty()) {
        return closed;
    }
    if (!closed || rename(replacement.TemporaryPath.c_str(), replacement.TargetPath.c_str()) != 0) {
        RemoveTemporary(replacement);
        return false;
    }
    // An interrupt from here on finds no file of that name to remove.
    HasPending = 0;
    replacement = {};
    return true;
}

void AbandonReplacing(PlatformFile& file, FileReplacement& replacement) {
    CloseFile(file);
    if (!replacement.TemporaryPath.empty()) {
        RemoveTemporary(replacement);
    }
}
