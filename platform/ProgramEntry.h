#pragma once

// Each program defines ProgramMain: its whole run, given its arguments in
// UTF-8 (program name first), returning the exit status. The platform's
// entry, main or on Windows wmain, calls it once.
int ProgramMain(int argumentCount, const char* const* arguments);

// The status of a program that only succeeds or fails: 0, or -1 on any
// failure.
constexpr int ExitStatus(bool succeeded) {
    return succeeded ? 0 : -1;
}
