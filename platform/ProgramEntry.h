#pragma once

// One run of a program of this tool, given its arguments in UTF-8 (program
// name first); true when it succeeded.
using ProgramRun = bool (*)(int argumentCount, const char* const* arguments);

// Calls run from the platform's entry and returns the exit status: 0 when it
// succeeded, -1 otherwise.
#ifdef _WIN32
// The entry is wmain (linked with -municode): Windows hands the arguments
// over as UTF-16 whatever the ANSI code page, and they are passed on as UTF-8.
int RunProgram(int argumentCount, wchar_t** arguments, ProgramRun run);
#else
int RunProgram(int argumentCount, char** arguments, ProgramRun run);
#endif
