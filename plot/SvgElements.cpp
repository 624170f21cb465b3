#include "SvgElements.h"

#include "FloatText.h"

#include <cmath>
#include <string>

void AppendCoordinate(std::string& out, double value) {
    char text[64];
    const auto result = FormatFixed(text, text + sizeof text, value, 2);
    out.append(text, result.ptr);
}

void AppendSize(std::string& out, double value) {
    if (value == std::round(value) && std::fabs(value) < 1e9) {
        out += std::to_string(static_cast<long>(value));
    } else {
        AppendCoordinate(out, value);
    }
}

void AppendText(std::string& out, double x, double y, std::string_view attributes,
                std::string_view text) {
    out += "<text x=\"";
    AppendCoordinate(out, x);
    out += "\" y=\"";
    AppendCoordinate(out, y);
    out += '"';
    if (!attributes.empty()) {
        out += ' ';
        out += attributes;
    }
    out += '>';
    out += text;
    out += "</text>\n";
}

void AppendLine(std::string& out, double x1, double y1, double x2, double y2,
                std::string_view attributes) {
    out += "<line x1=\"";
    AppendCoordinate(out, x1);
    out += "\" y1=\"";
    AppendCoordinate(out, y1);
    out += "\" x2=\"";
    AppendCoordinate(out, x2);
    out += "\" y2=\"";
    AppendCoordinate(out, y2);
    out += "\" ";
    out += attributes;
    out += "/>\n";
}
