#include "LineText.h"

#include <algorithm>

bool StartsWithWords(std::string_view text, std::string_view words) {
    if (text.size() < words.size()) {
        return false;
    }
    return std::equal(words.begin(), words.end(), text.begin(),
                      [](char a, char b) { return (a | 0x20) == (b | 0x20); });
}

std::size_t WithSeparatorsAsTabs(std::string_view text, bool decimalPoints, std::string& out) {
    out.assign(text);
    char* const o = out.data();
    const std::size_t size = text.size();
    std::size_t tabs = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = text[i];
        if (c != ',' && c != ';') {
            continue;
        }
        const bool point = decimalPoints && IsDecimalCommaAt(text, i);
        o[i] = point ? '.' : '\t';
        tabs += point ? 0 : 1;
    }
    return tabs;
}
