#pragma once

#include "CheckReport.h"

#include <string>

// The words of the findings about the conversion of three files and about
// the references' headers, made from their arguments in the run's language.
// False, and message untouched, for a finding that the conversion does not
// give.
bool SayConversionFinding(const Finding& finding, std::string& message);
