#pragma once

// The whole run of the export for the given argument vector (program name
// first); returns its exit status: 0 when the exported file is written (or
// the help or version printed), 2 when it is not, whose reason has been
// printed to standard output.
int RunExport(int argumentCount, const char* const* arguments);
