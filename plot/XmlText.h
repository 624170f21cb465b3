#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Appends bytes from a calibration file or the command line to out as XML
// text that is safe in an element and in a quoted attribute: markup
// characters escaped, each byte that is no part of well-formed UTF-8 read as
// Windows-1252, and whatever is not a character XML allows (control
// characters but tab, the bytes Windows-1252 leaves undefined) replaced by
// U+FFFD. Keeps at most maxCharacters characters and marks a cut with an
// ellipsis.
void AppendXmlText(std::string& out, std::string_view bytes, std::size_t maxCharacters);
