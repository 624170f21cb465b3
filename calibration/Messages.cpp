#include "Messages.h"

#include <cstdarg>
#include <cstdio>

std::string* KeptMessages = nullptr;
std::string* CopiedMessages = nullptr;

namespace {

void AppendFormatted(std::string& kept, const char* format, std::va_list arguments) {
    std::va_list measuring;
    va_copy(measuring, arguments);
    const int size = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (size > 0) {
        const std::size_t start = kept.size();
        kept.resize(start + static_cast<std::size_t>(size) + 1);
        std::vsnprintf(kept.data() + start, static_cast<std::size_t>(size) + 1, format, arguments);
        kept.pop_back();
    }
}

} // namespace

void PrintMessage(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    if (KeptMessages != nullptr) {
        AppendFormatted(*KeptMessages, format, arguments);
    } else if (CopiedMessages != nullptr) {
        const std::size_t start = CopiedMessages->size();
        AppendFormatted(*CopiedMessages, format, arguments);
        std::fwrite(CopiedMessages->data() + start, 1, CopiedMessages->size() - start, stdout);
    } else {
        std::vprintf(format, arguments);
    }
    va_end(arguments);
}

bool ReportCouldNotOpen(const char* path) {
    PrintMessage("Error - could not open %s\n", path);
    return false;
}

bool ReportCouldNotRead(const char* path) {
    PrintMessage("Error - could not read %s\n", path);
    return false;
}

bool ReportOutOfMemory(const char* path) {
    PrintMessage("Error - out of memory reading %s\n", path);
    return false;
}
