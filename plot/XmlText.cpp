#include "XmlText.h"

#include <cstdint>

namespace {

constexpr std::string_view Replacement = "\xEF\xBF\xBD";
constexpr std::string_view Ellipsis = "\xE2\x80\xA6";

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 character at the start of bytes, or 0
// for a byte that starts none. A broken sequence is replaced as a whole up to
// the byte that breaks it, as Unicode recommends; *consumed says how far.
std::size_t CharacterLength(std::string_view bytes, std::uint32_t& character,
                            std::size_t& consumed) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    consumed = 1;
    if (lead < 0x80) {
        character = lead;
        return 1;
    }
    std::size_t length;
    unsigned char lowest = 0x80;
    unsigned char highest = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        character = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        character = lead & 0x0Fu;
        // No overlong forms and no surrogates.
        lowest = lead == 0xE0 ? 0xA0 : 0x80;
        highest = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        character = lead & 0x07u;
        // No overlong forms and nothing beyond U+10FFFF.
        lowest = lead == 0xF0 ? 0x90 : 0x80;
        highest = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (i >= bytes.size()) {
            return 0;
        }
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const bool inRange = i == 1 ? byte >= lowest && byte <= highest : IsContinuation(byte);
        if (!inRange) {
            return 0;
        }
        character = (character << 6) | (byte & 0x3Fu);
        consumed = i + 1;
    }
    return length;
}

bool IsXmlCharacter(std::uint32_t character) {
    if (character < 0x20) {
        return character == '\t';
    }
    return character != 0xFFFE && character != 0xFFFF;
}

std::string_view Escaped(char byte) {
    switch (byte) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&apos;";
    default:
        return {};
    }
}

} // namespace

void AppendXmlText(std::string& out, std::string_view bytes, std::size_t maxCharacters) {
    std::size_t characters = 0;
    while (!bytes.empty()) {
        if (characters == maxCharacters) {
            out += Ellipsis;
            return;
        }
        std::uint32_t character = 0;
        std::size_t consumed = 0;
        const std::size_t length = CharacterLength(bytes, character, consumed);
        if (length == 0 || !IsXmlCharacter(character)) {
            out += Replacement;
        } else if (const std::string_view escape = Escaped(bytes[0]); !escape.empty()) {
            out += escape;
        } else {
            out += bytes.substr(0, length);
        }
        bytes.remove_prefix(consumed);
        ++characters;
    }
}
