#pragma once

#include "CheckReport.h"

#include <string>

// The words of a finding about one file by itself, made from its code, role
// and arguments, in the run's language. False for a finding of another kind.
bool SayFileFinding(const Finding& finding, std::string& message);
