#include "FuzzSupport.h"

#include "TextReader.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace {

constexpr unsigned char RunEscape = 0xFE;
// Past this the expansion stops, so that one input never costs more than a
// few milliseconds.
constexpr std::size_t ExpandedMax = 3 * ReadLimit;
constexpr std::size_t RunLengths[8] = {
    1, 3, 256, 4096, ReadLimit, ReadLimit + 2, ReadLimit + ReadBlockSize, 2 * ReadLimit + 2};

std::string FifoDirectory;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string Escaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < 300; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    if (text.size() > 300) {
        out += "... (" + std::to_string(text.size()) + " bytes)";
    }
    return out;
}

bool WriteWhole(int descriptor, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t count = write(descriptor, data, size);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        data += count;
        size -= static_cast<std::size_t>(count);
    }
    return true;
}

// Waits until the reader has taken every byte of the pipe; false when the
// reader has gone or the feed was withdrawn.
bool WaitUntilDrained(int descriptor, const std::atomic<bool>& withdrawn) {
    for (;;) {
        int pending = 0;
        if (ioctl(descriptor, FIONREAD, &pending) != 0 || pending == 0) {
            return true;
        }
        pollfd state{descriptor, 0, 0};
        if (withdrawn || (poll(&state, 1, 0) > 0 && (state.revents & POLLERR) != 0)) {
            return false;
        }
        sched_yield();
    }
}

// Opens the FIFO once the code under test has opened it for reading.
int OpenWhenRead(const std::string& path, const std::atomic<bool>& withdrawn) {
    for (;;) {
        const int descriptor = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (descriptor >= 0) {
            fcntl(descriptor, F_SETFL, 0);
            return descriptor;
        }
        if (errno != ENXIO || withdrawn) {
            return -1;
        }
        const timespec pause{0, 10000};
        nanosleep(&pause, nullptr);
    }
}

void FeedFifo(std::string path, std::string bytes, std::uint8_t seed,
              const std::atomic<bool>* withdrawn) {
    // The feeder's short waits are the cost of every fed input.
    prctl(PR_SET_TIMERSLACK, 1UL);
    const int descriptor = OpenWhenRead(path, *withdrawn);
    if (descriptor < 0) {
        return;
    }
    constexpr std::size_t Limits[4] = {3, 64, 4096, 65536};
    const std::size_t limit = Limits[seed & 3];
    std::uint32_t state = seed * 2654435761u + 1;
    std::size_t at = 0;
    for (int chunks = 0; at < bytes.size(); ++chunks) {
        state = state * 1664525u + 1013904223u;
        // Past the first chunks only full ones, to keep long inputs fast. A
        // chunk no larger than the pipe goes in whole, so the reader never
        // sees a part of one.
        std::size_t size = chunks < 64 ? 1 + (state >> 8) % limit : 65536;
        size = std::min(size, bytes.size() - at);
        if (!WriteWhole(descriptor, bytes.data() + at, size) ||
            !WaitUntilDrained(descriptor, *withdrawn)) {
            break;
        }
        at += size;
    }
    close(descriptor);
}

void RemoveFifoDirectory() {
    for (int slot = 0; slot < 3; ++slot) {
        unlink((FifoDirectory + "/fifo" + std::to_string(slot)).c_str());
    }
    rmdir(FifoDirectory.c_str());
}

std::string DescriptorPath(int descriptor) {
    return "/proc/self/fd/" + std::to_string(descriptor);
}

} // namespace

void ExpandRuns(std::string_view input, std::string& out) {
    out.clear();
    std::size_t i = 0;
    while (i < input.size() && out.size() < ExpandedMax) {
        const auto c = static_cast<unsigned char>(input[i]);
        if (c != RunEscape || i + 3 >= input.size()) {
            out += input[i++];
            continue;
        }
        const std::size_t base = RunLengths[static_cast<unsigned char>(input[i + 1]) & 7];
        const auto shift = static_cast<signed char>(input[i + 2]);
        const auto length = static_cast<std::size_t>(
            std::max<long>(0, static_cast<long>(base) + static_cast<long>(shift)));
        out.append(std::min(length, ExpandedMax - out.size()), input[i + 3]);
        i += 4;
    }
}

bool ModelHasByteOrderMark(std::string_view bytes) {
    const std::size_t end = bytes.find('\x1A');
    return bytes.substr(0, end).starts_with("\xEF\xBB\xBF");
}

void ModelLines(std::string_view bytes, std::vector<ModelLine>& lines) {
    lines.clear();
    bytes = bytes.substr(0, bytes.find('\x1A'));
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    const std::string_view firstLine = bytes.substr(0, bytes.find('\n'));
    bool classicMac = false;
    for (std::size_t i = 0; i + 1 < firstLine.size(); ++i) {
        classicMac = classicMac || (firstLine[i] == '\r' && firstLine[i + 1] != '\r');
    }
    while (!bytes.empty()) {
        const std::size_t lineEnd = bytes.find_first_of(classicMac ? "\r\n" : "\n");
        if (lineEnd == std::string_view::npos) {
            lines.push_back({bytes, false});
            break;
        }
        std::string_view text = bytes.substr(0, lineEnd);
        if (!classicMac && text.ends_with('\r')) {
            text.remove_suffix(1);
        }
        lines.push_back({text, true});
        const bool crLf = bytes.substr(lineEnd).starts_with("\r\n");
        bytes.remove_prefix(lineEnd + (classicMac && crLf ? 2 : 1));
    }
}

int ModelScan(std::string_view text, float* values, int maxCount) {
    std::size_t p = 0;
    const std::size_t n = text.size();
    for (int count = 0; count < maxCount; ++count) {
        while (p < n && IsSpace(text[p])) {
            ++p;
        }
        if (p == n) {
            return count == 0 ? -1 : count;
        }
        const std::size_t start = p;
        if (text[p] == '+' || text[p] == '-') {
            ++p;
        }
        std::size_t digits = 0;
        for (; p < n && IsDigit(text[p]); ++p) {
            ++digits;
        }
        if (p < n && text[p] == '.') {
            for (++p; p < n && IsDigit(text[p]); ++p) {
                ++digits;
            }
        }
        if (digits == 0) {
            return count;
        }
        std::size_t numberEnd = p;
        if (p < n && (text[p] == 'e' || text[p] == 'E')) {
            std::size_t q = p + 1;
            if (q < n && (text[q] == '+' || text[q] == '-')) {
                ++q;
            }
            const std::size_t exponentDigits = q;
            while (q < n && IsDigit(text[q])) {
                ++q;
            }
            if (q > exponentDigits) {
                numberEnd = q;
            }
            p = q;
        }
        const std::string number(text.substr(start, numberEnd - start));
        values[count] = std::strtof(number.c_str(), nullptr);
    }
    return maxCount;
}

float ModelEvaluate(const std::vector<float>& frequencies, const std::vector<float>& responses,
                    std::uint32_t& segmentHint, float frequency) {
    const auto last = static_cast<std::uint32_t>(frequencies.size() - 2);
    std::uint32_t i = segmentHint >= last ? last : segmentHint;
    while (i > 0 && frequencies[i] > frequency) {
        --i;
    }
    while (i < last && frequencies[i + 1] < frequency) {
        ++i;
    }
    segmentHint = i;
    const double x0 = frequencies[i];
    const double x1 = frequencies[i + 1];
    const double y0 = responses[i];
    const double y1 = responses[i + 1];
    const auto width = static_cast<float>(x1 - x0);
    if (width == 0.0f) {
        return static_cast<float>(y0);
    }
    const auto fraction = static_cast<float>((static_cast<double>(frequency) - x0) / width);
    return static_cast<float>(y0 + (y1 - y0) * static_cast<double>(fraction));
}

std::string ModelFormat(float value) {
    if (std::isnan(value)) {
        return "nan";
    }
    char text[64];
    const int length = std::snprintf(text, sizeof text, "%.6f", static_cast<double>(value));
    return std::string(text, static_cast<std::size_t>(length));
}

void InitializeFuzzSupport() {
    // A feeder writing to a FIFO whose reader gave up must get EPIPE, not end
    // the process.
    std::signal(SIGPIPE, SIG_IGN);
    // The code under test reports on standard output; the fuzzer's own
    // report goes to standard error.
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        close(null);
    }
    const char* const base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/tarvelin-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    FifoDirectory = pattern;
    for (int slot = 0; slot < 3; ++slot) {
        const std::string path = FifoDirectory + "/fifo" + std::to_string(slot);
        if (mkfifo(path.c_str(), 0600) != 0) {
            std::perror("mkfifo");
            std::abort();
        }
    }
    std::atexit(RemoveFifoDirectory);
}

bool OfferAsMemoryFile(std::string_view bytes, InputFile& file) {
    file.Descriptor = memfd_create("input", MFD_CLOEXEC);
    if (file.Descriptor < 0 || !WriteWhole(file.Descriptor, bytes.data(), bytes.size())) {
        return false;
    }
    file.Path = DescriptorPath(file.Descriptor);
    return true;
}

bool OfferAsFedFifo(std::string bytes, std::uint8_t seed, int slot, InputFile& file) {
    file.Path = FifoDirectory + "/fifo" + std::to_string(slot);
    file.Withdrawn = std::make_unique<std::atomic<bool>>(false);
    file.Feeder = std::thread(FeedFifo, file.Path, std::move(bytes), seed, file.Withdrawn.get());
    return true;
}

void WithdrawInputFile(InputFile& file) {
    if (file.Feeder.joinable()) {
        *file.Withdrawn = true;
        file.Feeder.join();
    }
    if (file.Descriptor >= 0) {
        close(file.Descriptor);
        file.Descriptor = -1;
    }
}

bool CreateOutputFile(InputFile& file) {
    file.Descriptor = memfd_create("output", MFD_CLOEXEC);
    if (file.Descriptor < 0) {
        return false;
    }
    file.Path = DescriptorPath(file.Descriptor);
    return true;
}

std::string ReadOutputFile(const InputFile& file) {
    struct stat status;
    if (fstat(file.Descriptor, &status) != 0) {
        return {};
    }
    std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t at = 0;
    while (at < bytes.size()) {
        const ssize_t count =
            pread(file.Descriptor, bytes.data() + at, bytes.size() - at, static_cast<off_t>(at));
        if (count <= 0) {
            break;
        }
        at += static_cast<std::size_t>(count);
    }
    bytes.resize(at);
    return bytes;
}

void FailCheck(const char* what, std::string_view expected, std::string_view actual) {
    // Long texts are shown from a little before where they part.
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) {
        ++at;
    }
    const std::size_t from = at > 40 ? at - 40 : 0;
    std::fprintf(stderr, "\n*** %s (from byte %zu)\n    expected: %s\n    actual:   %s\n", what,
                 from, Escaped(expected.substr(from)).c_str(),
                 Escaped(actual.substr(from)).c_str());
    std::abort();
}
