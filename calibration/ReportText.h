#pragma once

#include "CheckReport.h"

#include <string>

// The report for a person: a few lines per file, the conversion, then one
// line per finding, errors first, and a last line that says what it comes to.
std::string ReportAsText(const CheckReport& report);
