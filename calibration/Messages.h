#pragma once

#include <string>

// Every failure message of the file format's code goes through PrintMessage:
// to standard output, where the user reads it, unless a program keeps the
// messages to show them in its own way. The check does, to quote in its
// report what the converter would say.
extern std::string* KeptMessages;

// A program that hands its messages on as data too (the page's module) has
// them copied here as well, while they are still printed.
extern std::string* CopiedMessages;

[[gnu::format(printf, 1, 2)]] void PrintMessage(const char* format, ...);

// The messages of a file that cannot be read, each naming the file by path
// as passed; each returns false, for the caller to fail with.
bool ReportCouldNotOpen(const char* path);
bool ReportCouldNotRead(const char* path);
bool ReportOutOfMemory(const char* path);
