#pragma once

// The whole run of the plotting program for the given argument vector
// (program name first). Every failure has printed its one line to standard
// output when this returns false.
bool RunPlot(int argumentCount, const char* const* arguments);
