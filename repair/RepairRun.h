#pragma once

#include "CheckReport.h"

#include <string>
#include <vector>

// What the repair says of a copy it wrote, in parts, for a program that
// shows them in its own way: the heading, each kind of change, why lines
// were left as they were, the closing, and what still needs a person.
struct RepairSaid {
    std::string Heading;
    std::vector<std::string> Changes;
    std::vector<std::string> Notes;
    std::string Closing;
    std::string RemainingHeading;
    std::vector<Finding> Remaining;
};

// The whole run of the repair for the given argument vector (program name
// first); returns its exit status: 0 when it wrote a copy in which the check
// finds nothing above a note, 1 when it wrote one in which warnings remain,
// 2 when it wrote nothing. Where said is given and a copy was written, it
// holds what was printed, in parts.
int RunRepair(int argumentCount, const char* const* arguments, RepairSaid* said = nullptr);
