#include "Messages.h"

#include <cstdarg>
#include <cstdio>

std::string* KeptMessages = nullptr;

void PrintMessage(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    if (KeptMessages == nullptr) {
        std::vprintf(format, arguments);
    } else {
        std::va_list measuring;
        va_copy(measuring, arguments);
        const int size = std::vsnprintf(nullptr, 0, format, measuring);
        va_end(measuring);
        if (size > 0) {
            const std::size_t start = KeptMessages->size();
            KeptMessages->resize(start + static_cast<std::size_t>(size) + 1);
            std::vsnprintf(KeptMessages->data() + start, static_cast<std::size_t>(size) + 1, format,
                           arguments);
            KeptMessages->pop_back();
        }
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
