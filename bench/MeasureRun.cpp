// Runs one command and prints its exit status, wall time and CPU time (user
// plus system) in seconds, and its peak resident set in KiB:
//   MeasureRun STDOUT_FILE COMMAND [ARGUMENT...]
// A separate small program, because a child keeps the peak memory of the
// process it was forked from, and the generator's would hide the tool's.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace {

double Seconds(const timespec& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: MeasureRun STDOUT_FILE COMMAND [ARGUMENT...]\n", stderr);
        return 2;
    }
    const int output = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int discard = open("/dev/null", O_WRONLY);
    if (output < 0 || discard < 0) {
        std::perror(argv[1]);
        return 2;
    }
    timespec start{};
    timespec end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        return 2;
    }
    if (child == 0) {
        dup2(output, STDOUT_FILENO);
        dup2(discard, STDERR_FILENO);
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        std::perror("wait4");
        return 2;
    }
    clock_gettime(CLOCK_MONOTONIC, &end);
    const int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("%d %.6f %.6f %ld\n", exitStatus, Seconds(end) - Seconds(start),
                Seconds(usage.ru_utime) + Seconds(usage.ru_stime), usage.ru_maxrss);
    return 0;
}
