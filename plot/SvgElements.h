#pragma once

#include <string>
#include <string_view>

// Appends value with two decimals, enough for a picture a few thousand
// units wide, and the same in every locale.
void AppendCoordinate(std::string& out, double value);

// Appends a size or an offset that the layout chose: whole, as such numbers
// have always been written, or else with two decimals.
void AppendSize(std::string& out, double value);

// A text element at (x, y); text must already be XML.
void AppendText(std::string& out, double x, double y, std::string_view attributes,
                std::string_view text);

void AppendLine(std::string& out, double x1, double y1, double x2, double y2,
                std::string_view attributes);
