#pragma once

#include "Derivation.h"

#include <string>
#include <vector>

// What a run said and made, for a caller that shows it as data rather than
// as a console's text: the derivation written (empty where none was), and
// the sentences printed of it, one per warning in the derivation's order.
struct DeriveSaid {
    Derivation Made;
    std::string Written;
    std::string Narrowed; // empty where the range was as asked
    std::vector<std::string> Warnings;
};

// The whole run of the derivation for the given argument vector (program
// name first); returns its exit status: 0 when MyMicCal is written with
// nothing to warn about (or the help or version printed), 1 when it is
// written with warnings, 2 when nothing is written, whose reason has been
// printed to standard output. said, where given, gets what was said of a
// file written.
int RunDerive(int argumentCount, const char* const* arguments, DeriveSaid* said = nullptr);
