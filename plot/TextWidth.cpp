#include "TextWidth.h"

#include "Utf8.h"

#include <cstdint>

namespace {

// DejaVu Sans from the space to the tilde, in thousandths of an em.
constexpr short AsciiWidths[] = {
    318, 401, 460, 838, 636, 950, 780, 275, 390, 390, 500, 838, 318, 361,  318, 337, 636, 636, 636,
    636, 636, 636, 636, 636, 636, 636, 337, 337, 838, 838, 838, 531, 1000, 684, 686, 698, 770, 632,
    575, 775, 752, 295, 295, 656, 557, 863, 748, 787, 603, 787, 695, 635,  611, 732, 684, 989, 685,
    611, 685, 390, 337, 390, 838, 500, 500, 613, 635, 550, 635, 615, 352,  635, 634, 278, 278, 579,
    278, 974, 634, 612, 635, 635, 411, 521, 392, 634, 592, 818, 592, 592,  525, 636, 337, 636, 838};
constexpr short AsciiBoldWidths[] = {
    348,  456, 521, 838, 696, 1002, 872, 306,  457, 457, 523, 838, 380, 415,  380, 365,
    696,  696, 696, 696, 696, 696,  696, 696,  696, 696, 400, 400, 838, 838,  838, 580,
    1000, 774, 762, 734, 830, 683,  683, 821,  837, 372, 372, 775, 637, 995,  837, 850,
    733,  850, 770, 720, 682, 812,  774, 1103, 771, 724, 725, 457, 365, 457,  838, 500,
    500,  675, 716, 593, 716, 678,  435, 716,  712, 343, 343, 665, 343, 1042, 712, 687,
    716,  716, 493, 595, 478, 712,  652, 924,  645, 652, 582, 712, 365, 712,  838};

// Beyond ASCII: most letters of Latin, Greek and Cyrillic are narrower than
// this, and whatever comes from U+1100 on (CJK among it, dashes, arrows,
// the replacement character) is drawn at most an em wide.
constexpr double OtherEm = 0.75;
constexpr double WideEm = 1.0;
constexpr std::uint32_t FirstWide = 0x1100;

// The width of the character at the start of bytes (not empty), and its
// length; a byte that starts no UTF-8 character is read as one character of
// an older Windows program's code page, at most an em wide.
double FirstCharacterEm(std::string_view bytes, bool bold, std::size_t& length) {
    std::uint32_t character = 0;
    length = DecodeUtf8(bytes, character);
    if (length == 0) {
        length = 1;
        return WideEm;
    }
    if (character >= 0x20 && character < 0x7F) {
        const short* widths = bold ? AsciiBoldWidths : AsciiWidths;
        return widths[character - 0x20] / 1000.0;
    }
    return character >= FirstWide || character < 0x20 ? WideEm : OtherEm;
}

} // namespace

double TextEm(std::string_view bytes, bool bold) {
    double em = 0.0;
    while (!bytes.empty()) {
        std::size_t length = 0;
        em += FirstCharacterEm(bytes, bold, length);
        bytes.remove_prefix(length);
    }
    return em;
}

std::size_t CharactersWithin(std::string_view bytes, double roomEm, bool bold) {
    std::size_t characters = 0;
    double em = 0.0;
    while (!bytes.empty()) {
        std::size_t length = 0;
        em += FirstCharacterEm(bytes, bold, length);
        if (em > roomEm) {
            break;
        }
        bytes.remove_prefix(length);
        ++characters;
    }
    return characters;
}

std::vector<std::string_view> WrapAtSpaces(std::string_view bytes, double firstRoomEm,
                                           double roomEm) {
    const double spaceEm = TextEm(" ");
    std::vector<std::string_view> lines;
    std::size_t lineStart = 0;
    std::size_t lineEnd = 0;
    double lineEm = 0.0;
    bool lineHasWord = false;
    for (std::size_t wordStart = 0; wordStart <= bytes.size();) {
        std::size_t wordEnd = bytes.find(' ', wordStart);
        if (wordEnd == std::string_view::npos) {
            wordEnd = bytes.size();
        }
        const double wordEm = TextEm(bytes.substr(wordStart, wordEnd - wordStart));
        const bool empty = wordEnd == wordStart;
        if (!lineHasWord) {
            if (lines.empty() && wordEm > firstRoomEm && firstRoomEm < roomEm) {
                lines.emplace_back();
            }
        } else if (lineEm + spaceEm + wordEm <= (lines.empty() ? firstRoomEm : roomEm)) {
            lineEnd = wordEnd;
            lineEm += spaceEm + wordEm;
            wordStart = wordEnd + 1;
            continue;
        } else {
            lines.push_back(bytes.substr(lineStart, lineEnd - lineStart));
            lineHasWord = false;
        }
        // Spaces where a line starts are left out with the break.
        if (!empty) {
            lineStart = wordStart;
            lineEnd = wordEnd;
            lineEm = wordEm;
            lineHasWord = true;
        }
        wordStart = wordEnd + 1;
    }
    if (lineHasWord) {
        lines.push_back(bytes.substr(lineStart, lineEnd - lineStart));
    }
    return lines;
}
