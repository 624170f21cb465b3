#pragma once

// Each program defines ProgramMain: its whole run, given its arguments in
// UTF-8 (program name first); true when it succeeded. The platform's entry,
// main or on Windows wmain, calls it once and ends the process with
// ExitStatus of its result.
bool ProgramMain(int argumentCount, const char* const* arguments);

constexpr int ExitStatus(bool succeeded) {
    return succeeded ? 0 : -1;
}
