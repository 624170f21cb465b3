#include "TextWidth.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> Wrapped(std::string_view text, double firstRoomEm, double roomEm) {
    std::vector<std::string> lines;
    for (const std::string_view line : WrapAtSpaces(text, firstRoomEm, roomEm)) {
        lines.emplace_back(line);
    }
    return lines;
}

TEST(TextWidth, WidthsOfWhatThePictureHolds) {
    EXPECT_GT(TextEm("RefMicFrom", true), TextEm("RefMicFrom"));
    EXPECT_GT(TextEm("MMMM"), TextEm("iiii"));
    // A character counts once however many bytes it takes, and one beyond
    // the Latin scripts, or a byte that is no UTF-8, counts a full em.
    EXPECT_DOUBLE_EQ(TextEm("\xE7\x9B\xAE"), 1.0);
    EXPECT_DOUBLE_EQ(TextEm("\xFC"), 1.0);
    EXPECT_LT(TextEm("\xC3\xBC"), 1.0);
    EXPECT_EQ(CharactersWithin("abc", TextEm("ab")), 2u);
    EXPECT_EQ(CharactersWithin("\xC3\xBC\xC3\xBC\xC3\xBC", TextEm("\xC3\xBC\xC3\xBC")), 2u);
    EXPECT_EQ(CharactersWithin("abc", 100.0), 3u);
    EXPECT_EQ(CharactersWithin("abc", 0.0), 0u);
}

TEST(TextWidth, WrapAtSpaces) {
    const double wide = 100.0;
    const struct {
        const char* Name;
        std::string_view Text;
        double FirstRoomEm;
        double RoomEm;
        std::vector<std::string> Lines;
    } rows[] = {
        {"fits on one line", "ab cd", wide, wide, {"ab cd"}},
        {"nothing", "", wide, wide, {}},
        {"breaks at the last space that fits",
         "ab cd ef",
         TextEm("ab cd"),
         TextEm("ab cd"),
         {"ab cd", "ef"}},
        {"a narrower first line", "ab cd ef", TextEm("ab"), TextEm("cd ef"), {"ab", "cd ef"}},
        {"a first line too narrow for the first word is left empty",
         "abc de",
         TextEm("a"),
         wide,
         {"", "abc de"}},
        {"a word too wide for any line has one of its own",
         "ab cdefghij kl",
         TextEm("ab cd"),
         TextEm("ab cd"),
         {"ab", "cdefghij", "kl"}},
        {"spaces at a break are left out", "ab   cd  ", TextEm("ab"), TextEm("ab"), {"ab", "cd"}},
        {"spaces within a line are kept", "a  b", wide, wide, {"a  b"}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Wrapped(row.Text, row.FirstRoomEm, row.RoomEm), row.Lines) << row.Name;
    }
}

} // namespace
