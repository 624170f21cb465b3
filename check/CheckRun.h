#pragma once

// The whole run of the check for the given argument vector (program name
// first); returns its exit status: 0 when the converter would convert the
// files and nothing above a note was found, 1 with warnings, 2 when it would
// refuse them or the command line is wrong.
int RunCheck(int argumentCount, const char* const* arguments);
