#include "XmlText.h"

#include "Utf8.h"

#include <cstdint>

namespace {

constexpr std::string_view Replacement = "\xEF\xBF\xBD";
constexpr std::string_view Ellipsis = "\xE2\x80\xA6";

// Windows-1252 from 0x80 to 0x9F, where it differs from Latin-1; 0 for the
// five bytes it leaves undefined. Above that the byte is the character.
constexpr std::uint16_t Windows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::uint32_t Windows1252Character(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80] : byte;
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
        std::size_t length = DecodeUtf8(bytes, character);
        // A byte that is no part of UTF-8 was most likely written by an older
        // Windows program, in its code page.
        const bool utf8 = length != 0;
        if (!utf8) {
            character = Windows1252Character(static_cast<unsigned char>(bytes[0]));
            length = 1;
        }
        if (!IsXmlCharacter(character)) {
            out += Replacement;
        } else if (const std::string_view escape = Escaped(bytes[0]); !escape.empty()) {
            out += escape;
        } else if (utf8) {
            out += bytes.substr(0, length);
        } else {
            AppendUtf8(out, character);
        }
        bytes.remove_prefix(length);
        ++characters;
    }
}
