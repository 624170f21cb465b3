#pragma once

#include "CheckReport.h"

#include <string>

// The report for a person: a few lines per file, the conversion, then one
// line per finding, errors first, and a last line that says what it comes to.
std::string ReportAsText(const CheckReport& report);

// One finding as the report's line: its severity, code, file and line, and
// its message, with a line end.
void AppendFindingLine(std::string& out, const Finding& finding);
