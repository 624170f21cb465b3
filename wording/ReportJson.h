#pragma once

#include "CheckReport.h"

#include <string>

// The report for scripts, one JSON object. The field names are a promise;
// more may be added.
std::string ReportAsJson(const CheckReport& report);

// One finding as the report's object for it, as in the list of findings.
void AppendFindingJson(std::string& out, const Finding& finding);
