#pragma once

#include <cstddef>
#include <string>

// The longest path the wide-character API takes, with its terminating zero.
constexpr std::size_t WidePathMax = 32768;

// Paths arrive as UTF-8 (an unpaired surrogate encoded like a code point, as
// Utf8FromWide encodes it) and go to the wide-character API, so that any file
// name opens whatever the ANSI code page. Text that is no such encoding names
// no file.
bool ToWidePath(const char* path, wchar_t (&wide)[WidePathMax]);

// Windows hands the arguments over as UTF-16; the rest of the tool works on
// UTF-8. An unpaired surrogate, which a Windows file name may hold, is
// encoded like any other code unit (as WTF-8 does) instead of being replaced,
// so that ToWidePath gives every path back exactly: a replacement would send
// the output to another file.
std::string Utf8FromWide(const wchar_t* text);
