#include "FileReplacementSteps.h"

#include "ExtendedAttributes.h"

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
// written in place: a read-only MyMicOut is refused, not replaced.
bool IsReplaceable(const struct stat& existing, const std::string& target) {
    struct stat targetStatus;
    return S_ISREG(existing.st_mode) && existing.st_nlink == 1 &&
           stat(target.c_str(), &targetStatus) == 0 && targetStatus.st_dev == existing.st_dev &&
           targetStatus.st_ino == existing.st_ino &&
           faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}

} // namespace

bool FindReplacementTarget(const char* path, ReplacementTarget& target) {
    struct stat existing;
    const bool exists = stat(path, &existing) == 0;
    const bool missing = !exists && errno == ENOENT;
    if (!(exists || missing) || !FollowLinks(path, target.Path)) {
        return false;
    }
    target.Exists = exists;
    if (!exists) {
        // A dangling link is followed to the file it names, which is made.
        struct stat targetStatus;
        return lstat(target.Path.c_str(), &targetStatus) != 0;
    }
    target.Owner = existing.st_uid;
    target.Group = existing.st_gid;
    target.Mode = existing.st_mode & 07777;
    return IsReplaceable(existing, target.Path);
}

// A signal that was ignored when the tool started (nohup, a background job
// of a non-interactive shell) stays ignored.
void InstallInterruptCleanup() {
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

// The kernel's random numbers (getrandom) where it has them; otherwise the
// process id and the clock still set processes apart.
std::uint64_t TemporaryNameSeed() {
    std::uint64_t seed = 0;
    if (getentropy(&seed, sizeof seed) == 0) {
        return seed;
    }
    timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    return (static_cast<std::uint64_t>(getpid()) << 32) ^
           static_cast<std::uint64_t>(now.tv_sec) * 1000000007u ^
           static_cast<std::uint64_t>(now.tv_nsec);
}

CreateResult CreateExclusively(const std::string& path, const ReplacementTarget& target,
                               PlatformFile& file) {
    if (path.size() >= sizeof PendingPath) {
        return CreateResult::Failed;
    }
    // Until its owner is settled the file is no more open than the one it
    // replaces; a new file gets what any new file gets.
    const mode_t mode = target.Exists ? static_cast<mode_t>(target.Mode & 0600) : 0666;
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
    if (descriptor < 0) {
        return error == EEXIST || error == EINTR ? CreateResult::NameTaken : CreateResult::Failed;
    }
    file.Descriptor = descriptor;
    return CreateResult::Created;
}

// The owner and group first: a change of owner clears the set-ID bits,
// which the mode then puts back. The mode last, after an access control
// list, so that the list's mask is the existing file's group bits.
bool KeepAttributes(PlatformFile& file, const ReplacementTarget& target) {
    if (!target.Exists) {
        return true;
    }
    struct stat made;
    if (fstat(file.Descriptor, &made) != 0) {
        return false;
    }
    if ((made.st_uid != target.Owner || made.st_gid != target.Group) &&
        fchown(file.Descriptor, static_cast<uid_t>(target.Owner),
               static_cast<gid_t>(target.Group)) != 0) {
        return false;
    }
    return KeepExtendedAttributes(file.Descriptor, target.Path.c_str()) &&
           fchmod(file.Descriptor, static_cast<mode_t>(target.Mode)) == 0;
}

bool PutInPlace(const std::string& temporaryPath, const std::string& targetPath) {
    if (rename(temporaryPath.c_str(), targetPath.c_str()) != 0) {
        return false;
    }
    // An interrupt from here on finds no file of that name to remove.
    HasPending = 0;
    return true;
}

void RemovePending() {
    if (HasPending != 0) {
        unlink(PendingPath);
        HasPending = 0;
    }
}
