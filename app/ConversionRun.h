#pragma once

// The whole run of the tool for the given argument vector (program name
// first). Every failure has printed its one line to standard output when
// this returns false.
bool RunConversion(int argumentCount, const char* const* arguments);
