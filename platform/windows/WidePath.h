#pragma once

#include <cstddef>

// The longest path the wide-character API takes, with its terminating zero.
constexpr std::size_t WidePathMax = 32768;

// Paths arrive as UTF-8 (an unpaired surrogate encoded like a code point, as
// the entry encodes it) and go to the wide-character API, so that any file
// name opens whatever the ANSI code page. Text that is no such encoding names
// no file.
bool ToWidePath(const char* path, wchar_t (&wide)[WidePathMax]);
