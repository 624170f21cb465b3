#include "ShownText.h"

#include "Utf8.h"

#include <cstdio>

namespace {

void AppendHexByte(std::string& out, const char* format, unsigned value) {
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

} // namespace

void AppendShownText(std::string& out, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto lead = static_cast<unsigned char>(bytes[0]);
        std::uint32_t character = 0;
        const std::size_t length = DecodeUtf8(bytes, character);
        if (lead == '\t') {
            out += "\\t";
        } else if (length == 0 || lead < 0x20 || lead == 0x7F) {
            AppendHexByte(out, "\\x%02X", lead);
        } else {
            out += bytes.substr(0, length);
            bytes.remove_prefix(length);
            continue;
        }
        bytes.remove_prefix(1);
    }
}

void AppendJsonString(std::string& out, std::string_view bytes) {
    out += '"';
    while (!bytes.empty()) {
        const auto lead = static_cast<unsigned char>(bytes[0]);
        std::uint32_t character = 0;
        const std::size_t length = DecodeUtf8(bytes, character);
        if (length == 0) {
            out += "\\ufffd";
            bytes.remove_prefix(1);
            continue;
        }
        if (lead == '"' || lead == '\\') {
            out += '\\';
            out += static_cast<char>(lead);
        } else if (lead == '\t') {
            out += "\\t";
        } else if (lead == '\r') {
            out += "\\r";
        } else if (lead == '\n') {
            out += "\\n";
        } else if (lead < 0x20 || lead == 0x7F) {
            AppendHexByte(out, "\\u%04x", lead);
        } else {
            out += bytes.substr(0, length);
        }
        bytes.remove_prefix(length);
    }
    out += '"';
}
