#include "FindingText.h"

#include "Catalogue.h"

#include "FloatText.h"
#include "Utf8.h"

#include <algorithm>

#include <cmath>
#include <cstdio>

namespace {

constexpr std::size_t QuotedCharactersMax = 60;

} // namespace

std::string Number(float value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    char text[64];
    const auto result = FormatShortest(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string SignedNumber(float value) {
    const std::string text = Number(value);
    return value > 0 || (value == 0 && !std::signbit(value)) ? "+" + text : text;
}

std::string Decibels(double value) {
    if (!std::isfinite(value)) {
        return Number(static_cast<float>(value));
    }
    char text[64];
    std::snprintf(text, sizeof text, "%+.3f", value);
    std::string shown = text;
    while (shown.back() == '0') {
        shown.pop_back();
    }
    if (shown.back() == '.') {
        shown.pop_back();
    }
    return shown == "-0" ? "0" : shown == "+0" ? "0" : shown;
}

std::string Count(std::uint64_t count, std::string_view singular, std::string_view plural) {
    return std::to_string(count) + " " + std::string(count == 1 ? singular : plural);
}

std::string LineList(const std::vector<std::uint64_t>& lines, std::uint64_t total) {
    std::string list;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        list += i == 0 ? "" : ", ";
        list += std::to_string(lines[i]);
    }
    if (total > lines.size()) {
        list += ", ...";
    }
    // TRANSLATORS: {lines} is a list of line numbers, such as "3, 7, 12" or
    // "3, 7, 12, ..." when there are more.
    return SayCount("line {lines}", "lines {lines}", total, {{"lines", list}});
}

std::string Quoted(std::string_view text) {
    // Cut between characters, so that a cut never makes a broken one.
    std::size_t length = 0;
    for (std::size_t characters = 0; length < text.size() && characters < QuotedCharactersMax;
         ++characters) {
        std::uint32_t character;
        length += std::max<std::size_t>(DecodeUtf8(text.substr(length), character), 1);
    }
    std::string quoted = "\"";
    quoted += text.substr(0, length);
    quoted += length < text.size() ? "...\"" : "\"";
    return quoted;
}
