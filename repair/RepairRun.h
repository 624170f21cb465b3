#pragma once

// The whole run of the repair for the given argument vector (program name
// first); returns its exit status: 0 when it wrote a copy in which the check
// finds nothing above a note, 1 when it wrote one in which warnings remain,
// 2 when it wrote nothing.
int RunRepair(int argumentCount, const char* const* arguments);
