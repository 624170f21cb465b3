#pragma once

#include <string>
#include <vector>

// The whole run of the export for the given argument vector (program name
// first); returns its exit status: 0 when the exported file is written (or
// the help or version printed), 2 when it is not, whose reason has been
// printed to standard output. Where notes is given, it holds the sentences
// printed about an exported file (lines not exported, points held), one each.
int RunExport(int argumentCount, const char* const* arguments,
              std::vector<std::string>* notes = nullptr);
