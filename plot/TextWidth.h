#pragma once

#include <string_view>
#include <vector>

// How wide text is drawn, in em, for bytes as AppendXmlText takes them: an
// estimate by the widths of DejaVu Sans, which is as wide as any font that a
// browser takes for sans-serif, so that text laid out by it stays where it
// was put on any screen.
double TextEm(std::string_view bytes, bool bold = false);

// How many characters from the start of bytes fit in roomEm.
std::size_t CharactersWithin(std::string_view bytes, double roomEm, bool bold = false);

// The width of the ellipsis that AppendXmlText puts where it cuts.
constexpr double EllipsisEm = 1.0;

// Breaks bytes at spaces into lines at most roomEm wide, the first at most
// firstRoomEm; a first line too narrow for the first word is left empty. A
// word too wide for a line gets a line of its own, where it is to be cut.
// The spaces at a break are left out.
std::vector<std::string_view> WrapAtSpaces(std::string_view bytes, double firstRoomEm,
                                           double roomEm);
