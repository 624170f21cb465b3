#pragma once

#include "CheckReport.h"

#include <string>

// A finding in words, in the run's language, made from its code and its
// arguments: a few words for a headline ("Decimal commas"), its one fix in a
// sentence (empty for a note, which needs none), and what happened and what
// to do, in a sentence or two.
std::string FindingTitle(const Finding& finding);
std::string FindingFix(const Finding& finding);
std::string FindingMessage(const Finding& finding);
