// Test-only library, preloaded into the tool by the bad-input runner, so that
// a disk failure can be staged without any seam in the tool itself.
//
//   TARVELIN_FAIL_PATH   the path, exactly as the tool opens it; ending in
//                        '*', every path that begins with the rest (a
//                        temporary file's random name)
//   TARVELIN_FAIL_OP     read, write, close or rename (renaming that path
//                        away fails)
//   TARVELIN_FAIL_AFTER  bytes that still get through before every read or
//                        write of that file fails with EIO (close, rename:
//                        ignored)
//   TARVELIN_PEAK_FILE   where to write the process's peak resident memory
//                        (the VmHWM line) when it exits

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

enum class Operation { None, Read, Write, Close, Rename };

struct FailurePlan {
    const char* Path = nullptr;
    Operation Fails = Operation::None;
    long long After = 0;
    int Descriptor = -1; // the failing file while it is open
    long long Passed = 0;
};

FailurePlan& Plan() {
    static FailurePlan plan = [] {
        FailurePlan made;
        made.Path = std::getenv("TARVELIN_FAIL_PATH");
        const char* const operation = std::getenv("TARVELIN_FAIL_OP");
        const char* const after = std::getenv("TARVELIN_FAIL_AFTER");
        if (made.Path != nullptr && operation != nullptr) {
            made.Fails = std::strcmp(operation, "read") == 0     ? Operation::Read
                         : std::strcmp(operation, "write") == 0  ? Operation::Write
                         : std::strcmp(operation, "close") == 0  ? Operation::Close
                         : std::strcmp(operation, "rename") == 0 ? Operation::Rename
                                                                 : Operation::None;
        }
        made.After = after != nullptr ? std::atoll(after) : 0;
        return made;
    }();
    return plan;
}

template <typename Function> Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool Matches(const char* path) {
    const char* const pattern = Plan().Path;
    const std::size_t length = std::strlen(pattern);
    if (length > 0 && pattern[length - 1] == '*') {
        return std::strncmp(path, pattern, length - 1) == 0;
    }
    return std::strcmp(path, pattern) == 0;
}

int Opened(const char* path, int descriptor) {
    FailurePlan& plan = Plan();
    if (descriptor >= 0 && plan.Fails != Operation::None && Matches(path)) {
        plan.Descriptor = descriptor;
        plan.Passed = 0;
    }
    return descriptor;
}

mode_t ModeArgument(int flags, va_list arguments) {
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

// How many of count bytes may pass; 0 with errno set when none may.
size_t Allowance(int descriptor, Operation operation, size_t count) {
    const FailurePlan& plan = Plan();
    if (descriptor != plan.Descriptor || plan.Fails != operation) {
        return count;
    }
    const long long left = plan.After - plan.Passed;
    if (left <= 0) {
        errno = EIO;
        return 0;
    }
    return static_cast<unsigned long long>(left) < count ? static_cast<size_t>(left) : count;
}

void Count(int descriptor, ssize_t result) {
    FailurePlan& plan = Plan();
    if (descriptor == plan.Descriptor && result > 0) {
        plan.Passed += result;
    }
}

__attribute__((destructor)) void ReportPeak() {
    const char* const peakFile = std::getenv("TARVELIN_PEAK_FILE");
    if (peakFile == nullptr) {
        return;
    }
    FILE* const status = std::fopen("/proc/self/status", "r");
    FILE* const report = std::fopen(peakFile, "w");
    char line[256];
    while (status != nullptr && report != nullptr && std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) {
            std::fputs(line, report);
        }
    }
    if (status != nullptr) {
        std::fclose(status);
    }
    if (report != nullptr) {
        std::fclose(report);
    }
}

} // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    static auto real = Next<int (*)(const char*, int, ...)>("open");
    return Opened(path, real(path, flags, mode));
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    static auto real = Next<int (*)(const char*, int, ...)>("open64");
    return Opened(path, real(path, flags, mode));
}

int openat(int directory, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    static auto real = Next<int (*)(int, const char*, int, ...)>("openat");
    return Opened(path, real(directory, path, flags, mode));
}

int __open_2(const char* path, int flags) {
    static auto real = Next<int (*)(const char*, int)>("__open_2");
    return Opened(path, real(path, flags));
}

ssize_t read(int descriptor, void* buffer, size_t count) {
    static auto real = Next<ssize_t (*)(int, void*, size_t)>("read");
    const size_t allowed = Allowance(descriptor, Operation::Read, count);
    if (allowed == 0 && count > 0) {
        return -1;
    }
    const ssize_t result = real(descriptor, buffer, allowed);
    Count(descriptor, result);
    return result;
}

ssize_t write(int descriptor, const void* buffer, size_t count) {
    static auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
    const size_t allowed = Allowance(descriptor, Operation::Write, count);
    if (allowed == 0 && count > 0) {
        return -1;
    }
    const ssize_t result = real(descriptor, buffer, allowed);
    Count(descriptor, result);
    return result;
}

int rename(const char* from, const char* to) {
    static auto real = Next<int (*)(const char*, const char*)>("rename");
    if (Plan().Fails == Operation::Rename && Matches(from)) {
        errno = EIO;
        return -1;
    }
    return real(from, to);
}

int close(int descriptor) {
    static auto real = Next<int (*)(int)>("close");
    FailurePlan& plan = Plan();
    const bool failing = descriptor == plan.Descriptor;
    if (failing) {
        plan.Descriptor = -1;
    }
    const int result = real(descriptor);
    if (failing && plan.Fails == Operation::Close && result == 0) {
        errno = EIO;
        return -1;
    }
    return result;
}
}
