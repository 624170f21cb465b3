#include "ProgramEntry.h"

#include "WidePath.h"

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

// Messages name paths in UTF-8; a console shows them readably only in the
// UTF-8 code page, and only when each UTF-8 sequence reaches it whole and
// untranslated: the C runtime writes to a console a byte at a time, and in
// text mode takes each byte for a character of the ANSI code page. So the
// console gets raw bytes a buffer at a time. Redirected output is left as it
// is. Returns the code page to put back, or 0 when there is no console.
UINT BeginUtf8Console() {
    DWORD consoleMode;
    if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &consoleMode) == 0) {
        return 0;
    }
    const UINT previousCodePage = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    std::setvbuf(stdout, nullptr, _IOFBF, ConsoleBufferSize);
    return previousCodePage;
}

void EndUtf8Console(UINT previousCodePage) {
    if (previousCodePage != 0) {
        std::fflush(stdout);
        SetConsoleOutputCP(previousCodePage);
    }
}

} // namespace

// Linked with -municode: Windows hands the arguments over as UTF-16 whatever
// the ANSI code page, and they are passed on as UTF-8, so that a path outside
// that code page still opens.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> utf8Arguments;
    for (int i = 0; i < argc; ++i) {
        utf8Arguments.push_back(Utf8FromWide(argv[i]));
    }
    std::vector<const char*> arguments;
    for (const std::string& argument : utf8Arguments) {
        arguments.push_back(argument.c_str());
    }
    const UINT previousCodePage = BeginUtf8Console();
    const int status = ProgramMain(argc, arguments.data());
    EndUtf8Console(previousCodePage);
    return status;
}
