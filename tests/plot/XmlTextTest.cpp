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
        {"Latin-1 byte", "caf\xE9", "caf" REPLACED},
        {"lone continuation", "\x80", REPLACED},
        {"overlong slash", "\xC0\xAF", REPLACED REPLACED},
        {"overlong three bytes", "\xE0\x80\xAF", REPLACED REPLACED REPLACED},
        {"surrogate", "\xED\xA0\x80", REPLACED REPLACED REPLACED},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", REPLACED REPLACED REPLACED REPLACED},
        {"lead byte F5", "\xF5\x80", REPLACED REPLACED},
        {"cut at the end", "ab\xE2\x82", "ab" REPLACED},
        {"cut before ASCII", "\xE2\x82<", REPLACED "&lt;"},
        {"cut four bytes", "\xF0\x9F\x8E", REPLACED},
        {"noncharacter FFFE", "\xEF\xBF\xBE", REPLACED},
        {"noncharacter FFFF", "\xEF\xBF\xBF", REPLACED},
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
    EXPECT_EQ(Xml("\xFF\xFFx", 2), REPLACED REPLACED "\xE2\x80\xA6");
}

} // namespace
