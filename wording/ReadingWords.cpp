#include "ReadingWords.h"

#include "AuthorsReading.h"
#include "Catalogue.h"

namespace {

std::string SayStyle(int style) {
    const NumberStyle& s = NumberStyles[style];
    // TRANSLATORS: each of these follows a line's text in quotes, as in
    // "Line 4, "1,000 2", can be read as "1.000 2" with decimal commas or as
    // "1000 2" with commas grouping thousands".
    switch (s.Group) {
    case GroupMark::None:
        if (s.Decimal == ',') {
            return Say("with decimal commas");
        }
        return s.CommaSeparates ? Say("with commas between the numbers") : Say("with full stops");
    case GroupMark::FullStop:
        return Say("with full stops grouping thousands");
    case GroupMark::Comma:
        return Say("with commas grouping thousands");
    case GroupMark::Blank:
        return Say("with blanks grouping thousands");
    case GroupMark::Space:
        return Say("with spaces grouping thousands");
    case GroupMark::Apostrophe:
        return Say("with apostrophes grouping thousands");
    }
    return std::string();
}

} // namespace

const char* StyleWords(int style) {
    // Callers keep the words as a pointer, so each style's are kept here,
    // and said anew only when the run's language has changed.
    static std::string Said[NumberStyleCount];
    static Language SaidIn[NumberStyleCount];
    static bool Made[NumberStyleCount] = {};
    if (!Made[style] || SaidIn[style] != CurrentLanguage()) {
        Said[style] = SayStyle(style);
        SaidIn[style] = CurrentLanguage();
        Made[style] = true;
    }
    return Said[style].c_str();
}

std::string StyleWordsNamed(std::string_view name) {
    for (int style = 0; style < NumberStyleCount; ++style) {
        if (name == StyleName(style)) {
            return SayStyle(style);
        }
    }
    return std::string();
}
