#include "ShownText.h"

#include <cstdio>

namespace {

// The length of the valid UTF-8 sequence at the start of bytes, 0 when it
// starts with none.
std::size_t Utf8SequenceLength(std::string_view bytes) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

void AppendHexByte(std::string& out, const char* format, unsigned value) {
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

} // namespace

void AppendShownText(std::string& out, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto lead = static_cast<unsigned char>(bytes[0]);
        const std::size_t length = Utf8SequenceLength(bytes);
        if (lead == '\t') {
            out += "\\t";
        } else if (length == 0 || lead < 0x20 || lead == 0x7F) {
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
        const std::size_t length = Utf8SequenceLength(bytes);
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
