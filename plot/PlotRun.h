#pragma once

// The whole run of the plotting program for the given argument vector
// (program name first); returns its exit status: 0 when the picture is
// written (or the help or version printed), -1 on any failure, whose one line
// has been printed to standard output.
int RunPlot(int argumentCount, const char* const* arguments);
