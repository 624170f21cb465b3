#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The length of the well-formed UTF-8 character at the start of bytes (not
// empty), with the character it encodes; 0 when the first byte starts none:
// a stray continuation byte, an overlong form, a surrogate, a code point
// beyond U+10FFFF or a sequence cut short. Every program that shows text
// from a file decides with this what is UTF-8 and what is not.
std::size_t DecodeUtf8(std::string_view bytes, std::uint32_t& character);

// Appends the UTF-8 form of a character (at most U+10FFFF, no surrogate).
void AppendUtf8(std::string& out, std::uint32_t character);
