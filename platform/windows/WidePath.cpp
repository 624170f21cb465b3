#include "WidePath.h"

bool ToWidePath(const char* path, wchar_t (&wide)[WidePathMax]) {
    const auto* p = reinterpret_cast<const unsigned char*>(path);
    std::size_t used = 0;
    while (*p != 0) {
        unsigned long code = *p++;
        int following = 0;
        unsigned long least = 0;
        if (code >= 0xF0 && code <= 0xF4) {
            following = 3;
            least = 0x10000;
            code &= 0x07;
        } else if (code >= 0xE0 && code <= 0xEF) {
            following = 2;
            least = 0x800;
            code &= 0x0F;
        } else if (code >= 0xC2 && code <= 0xDF) {
            following = 1;
            least = 0x80;
            code &= 0x1F;
        } else if (code >= 0x80) {
            return false;
        }
        for (; following > 0; --following, ++p) {
            if ((*p & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (*p & 0x3F);
        }
        if (code < least || code > 0x10FFFF) {
            return false;
        }
        const std::size_t units = code >= 0x10000 ? 2 : 1;
        if (used + units >= WidePathMax) {
            return false;
        }
        if (units == 2) {
            code -= 0x10000;
            wide[used++] = static_cast<wchar_t>(0xD800 + (code >> 10));
            wide[used++] = static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
        } else {
            wide[used++] = static_cast<wchar_t>(code);
        }
    }
    wide[used] = 0;
    return true;
}

std::string Utf8FromWide(const wchar_t* text) {
    std::string utf8;
    for (; *text != 0; ++text) {
        unsigned long code = static_cast<unsigned short>(*text);
        const unsigned long next = static_cast<unsigned short>(text[1]);
        if (code >= 0xD800 && code <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (next - 0xDC00);
            ++text;
        }
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xC0 | (code >> 6));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            utf8 += static_cast<char>(0xE0 | (code >> 12));
            utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | (code >> 18));
            utf8 += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}
