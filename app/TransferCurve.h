#pragma once

#include "TextReader.h"
#include "TextWriter.h"

// Converts MyMicIn into MyMicOut line by line: header lines are copied whole,
// data lines get the change from RefMicFromCurve to RefMicToCurve added to
// their response, and every other line is dropped. Both files stay open.
// Fails, its message printed, when a read or a write fails.
bool TransferCurve(TextReader& input, TextWriter& output);
