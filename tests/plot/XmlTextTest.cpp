#include "XmlText.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

constexpr std::size_t NoLimit = 1000;

std::string Xml(std::string_view bytes, std::size_t maxCharacters = NoLimit) {
    std::string out;
    AppendXmlText(out, bytes, maxCharacters);
    return out;
}

#define REPLACED "\xEF\xBF\xBD"

TEST(XmlText, MarkupIsEscaped) {
    EXPECT_EQ(Xml("\"Sens <-1.5 dB> & 'more'\""),
              "&quot;Sens &lt;-1.5 dB&gt; &amp; &apos;more&apos;&quot;");
    EXPECT_EQ(Xml("100% & 50%"), "100% &amp; 50%");
}

TEST(XmlText, WellFormedUtf8IsKept) {
    const char* const kept[] = {"caf\xC3\xA9", "\xE2\x80\x94", "\xF0\x9F\x8E\xA4",
                                "a\tb",        "\x7F",         "\xF4\x8F\xBF\xBF"};
    for (const char* text : kept) {
        EXPECT_EQ(Xml(text), text);
    }
}

// Each row would make the file ill-formed XML if copied.
TEST(XmlText, WhatXmlCannotHoldIsReplaced) {
    const struct {
        const char* Name;
        std::string_view Bytes;
        std::string Expected;
    } rows[] = {
        {"zero byte", std::string_view("a\0b", 3), "a" REPLACED "b"},
        {"control characters", "\x01\x1B\r", REPLACED REPLACED REPLACED},
        {"noncharacter FFFE", "\xEF\xBF\xBE", REPLACED},
        {"noncharacter FFFF", "\xEF\xBF\xBF", REPLACED},
        {"undefined in Windows-1252", "\x81\x8D\x8F\x90\x9D",
         REPLACED REPLACED REPLACED REPLACED REPLACED},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Xml(row.Bytes), row.Expected) << row.Name;
    }
}

// Older Windows programs write their headers in Windows-1252: a byte that no
// well-formed UTF-8 character holds is read so, one byte at a time.
TEST(XmlText, WhatIsNotUtf8IsWindows1252) {
    const struct {
        const char* Name;
        std::string_view Bytes;
        std::string Expected;
    } rows[] = {
        {"Latin-1 letter", "f\xFCr", "f\xC3\xBCr"},
        {"degree sign", "Phase(\xB0)", "Phase(\xC2\xB0)"},
        {"beside UTF-8", "caf\xC3\xA9 \xE9", "caf\xC3\xA9 \xC3\xA9"},
        {"euro and quotes", "\x80 \x93x\x94", "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D"},
        {"overlong slash", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
        {"surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        {"beyond U+10FFFF", "\xF4\x90", "\xC3\xB4" REPLACED},
        {"cut at the end", "ab\xE2\x82", "ab\xC3\xA2\xE2\x80\x9A"},
        {"cut before markup", "\xE2<", "\xC3\xA2&lt;"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Xml(row.Bytes), row.Expected) << row.Name;
    }
}

TEST(XmlText, CutAfterMaxCharacters) {
    EXPECT_EQ(Xml("abcdef", 3), "abc\xE2\x80\xA6");
    EXPECT_EQ(Xml("abc", 3), "abc");
    EXPECT_EQ(Xml("", 0), "");
    // A character counts once however many bytes it takes or replaces.
    EXPECT_EQ(Xml("\xC3\xA9\xC3\xA9\xC3\xA9", 2), "\xC3\xA9\xC3\xA9\xE2\x80\xA6");
    EXPECT_EQ(Xml("&&&", 2), "&amp;&amp;\xE2\x80\xA6");
    EXPECT_EQ(Xml("\xFF\xFFx", 2), "\xC3\xBF\xC3\xBF\xE2\x80\xA6");
}

} // namespace
