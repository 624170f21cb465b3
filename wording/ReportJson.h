#pragma once

#include "CheckReport.h"

#include <string>

// The report for scripts, one JSON object. The field names are a promise;
// more may be added.
std::string ReportAsJson(const CheckReport& report);
