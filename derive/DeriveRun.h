#pragma once

// The whole run of the derivation for the given argument vector (program
// name first); returns its exit status: 0 when MyMicCal is written with
// nothing to warn about (or the help or version printed), 1 when it is
// written with warnings, 2 when nothing is written, whose reason has been
// printed to standard output.
int RunDerive(int argumentCount, const char* const* arguments);
