#include "ProgramEntry.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>

namespace {

// Holds every message of a run, so each reaches the console in one write.
constexpr std::size_t ConsoleBufferSize = 1 << 16;

// Windows hands the arguments over as UTF-16; the rest of the tool works on
// UTF-8, which the file layer turns back into UTF-16 for the wide-character
// file API, so a path outside the ANSI code page still opens. An unpaired
// surrogate, which a Windows file name may hold, is encoded like any other
// code unit (as WTF-8 does) instead of being replaced, so that every path
// comes back exactly: a replacement would send the output to another file.
std::string ToUtf8(const wchar_t* text) {
    std::string utf8;
    for (; *text != 0; ++text) {
        unsigned long code = static_cast<unsigned short>(*text);
        const unsigned long next = static_cast<unsigned short>(text[1]);
        if (code >= 0xD800 && code <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (next - 0xDC00);
            ++text;
        }
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xC0 | (code >> 6));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            utf8 += static_cast<char>(0xE0 | (code >> 12));
            utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | (code >> 18));
            utf8 += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

} // namespace

int RunProgram(int argc, wchar_t** argv, ProgramRun run) {
    std::vector<std::string> utf8Arguments;
    for (int i = 0; i < argc; ++i) {
        utf8Arguments.push_back(ToUtf8(argv[i]));
    }
    std::vector<const char*> arguments;
    for (const std::string& argument : utf8Arguments) {
        arguments.push_back(argument.c_str());
    }

    // Messages name paths in UTF-8; a console shows them readably only in
    // the UTF-8 code page, and only when each UTF-8 sequence reaches it whole
    // and untranslated: the C runtime writes to a console a byte at a time,
    // and in text mode takes each byte for a character of the ANSI code page.
    // So the console gets raw bytes a buffer at a time. Redirected output is
    // left as it is, and the console gets its code page back at the end.
    DWORD consoleMode;
    const bool toConsole = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &consoleMode) != 0;
    const UINT previousCodePage = toConsole ? GetConsoleOutputCP() : 0;
    if (toConsole) {
        SetConsoleOutputCP(CP_UTF8);
        _setmode(_fileno(stdout), _O_BINARY);
        std::setvbuf(stdout, nullptr, _IOFBF, ConsoleBufferSize);
    }
    const bool succeeded = run(argc, arguments.data());
    if (toConsole) {
        std::fflush(stdout);
        SetConsoleOutputCP(previousCodePage);
    }
    return succeeded ? 0 : -1;
}
