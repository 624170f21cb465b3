#pragma once

#include "CheckReport.h"
#include "FileFacts.h"

#include <string_view>

// Reads the three files of a conversion as the converter would, with its
// own reader, loader and evaluation, and tells what it would do with them:
// the lines it calls data lines are the lines that become MyMicOut's data
// lines. Every file is read, even after one fails, so that the report names
// every problem at once. Prints nothing and writes no file.
CheckReport CheckConversion(const char* refMicFrom, const char* refMicTo, const char* myMicIn);

// One calibration file by itself, read by MyMicIn's rules.
CheckReport CheckCalibrationFile(const char* path);

// The same for text held in memory, named path in the report.
CheckReport CheckCalibrationText(const char* path, std::string_view text);

// The report on one file whose lines the caller has shown to file (see
// SeeJudgedLine), with the role File.
CheckReport ReportOnScannedFile(const FileFacts& file);
