#include "DroppedLines.h"

#include "DataLineScan.h"
#include "LineText.h"
#include "NumberScanner.h"
#include "TextReader.h"

#include <algorithm>
#include <string>

namespace {

// Only the part of a line that the converter scans is looked at.
std::string ScannedPart(std::string_view text) {
    return std::string(text.substr(0, ReadLimit));
}

bool IsDataLine(const std::string& text, int valueCount) {
    float values[MyMicInValueCount + 1];
    return ScanDataLine(text, values, valueCount) > 0;
}

std::string WithDecimalPoints(std::string_view text) {
    std::string changed = ScannedPart(text);
    for (std::size_t i = 0; i < changed.size(); ++i) {
        if (IsDecimalCommaAt(changed, i)) {
            changed[i] = '.';
        }
    }
    return changed;
}

std::size_t WordCount(std::string_view text) {
    std::size_t count = 0;
    bool inWord = false;
    for (const char c : text) {
        count += !inWord && !IsScanWhitespace(c) ? 1 : 0;
        inWord = !IsScanWhitespace(c);
    }
    return count;
}

} // namespace

bool HasDecimalComma(std::string_view text) {
    text = text.substr(0, ReadLimit);
    // Most lines have no comma at all; one search tells.
    if (text.find(',') == std::string_view::npos || text.find('.') != std::string_view::npos) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsDecimalCommaAt(text, i)) {
            return true;
        }
    }
    return false;
}

bool IsDecimalCommaLine(std::string_view text, int valueCount) {
    return HasDecimalComma(text) && WordCount(text.substr(0, ReadLimit)) >= 2 &&
           IsDataLine(WithDecimalPoints(text), valueCount);
}

bool IsCommaSeparatedLine(std::string_view text, int valueCount) {
    if (text.substr(0, ReadLimit).find_first_of(",;") == std::string_view::npos) {
        return false;
    }
    std::string changed;
    WithSeparatorsAsTabs(text.substr(0, ReadLimit), HasDecimalComma(text), changed);
    return IsDataLine(changed, valueCount);
}

HeaderShape UnquotedHeaderShape(std::string_view text) {
    if (text.empty() || text.front() == '"') {
        return HeaderShape::None;
    }
    const std::string_view start = WithoutLeadingBlanks(text);
    if (StartsWithWords(start, "Sens Factor")) {
        return HeaderShape::SensFactor;
    }
    if (!start.empty() && start.front() == '"') {
        return HeaderShape::MisplacedQuote;
    }
    std::string_view end = text;
    while (!end.empty() && IsScanWhitespace(end.back())) {
        end.remove_suffix(1);
    }
    if (!end.empty() && end.back() == '"' && std::count(end.begin(), end.end(), '"') == 1) {
        return HeaderShape::MisplacedQuote;
    }
    return HeaderShape::None;
}

bool IsUnreadableNumberLine(std::string_view text) {
    text = text.substr(0, ReadLimit);
    float values[2];
    std::string_view written[2];
    if (ScanValueTexts(text.data(), text.data() + text.size(), values, written, 2) != 1) {
        return false;
    }
    std::string_view rest = WithoutLeadingBlanks(
        text.substr(static_cast<std::size_t>(written[0].data() + written[0].size() - text.data())));
    if (rest.empty() || !(IsDigit(rest[0]) || rest[0] == '+' || rest[0] == '-' || rest[0] == '.')) {
        return false;
    }
    const std::size_t tokenEnd =
        std::find_if(rest.begin(), rest.end(), IsScanWhitespace) - rest.begin();
    const std::string_view token = rest.substr(0, tokenEnd);
    return std::any_of(token.begin(), token.end(), IsDigit);
}

DropReason DropReasonOf(std::string_view text) {
    text = text.substr(0, ReadLimit);
    float values[2];
    std::string_view written[2];
    const int count = ScanValueTexts(text.data(), text.data() + text.size(), values, written, 2);
    if (count == ScanEndOfInput) {
        return DropReason::Blank;
    }
    if (count == 2) {
        return DropReason::ZeroFrequency;
    }
    if (count == 1 &&
        WithoutLeadingBlanks(text.substr(static_cast<std::size_t>(written[0].data() +
                                                                  written[0].size() - text.data())))
            .empty()) {
        return DropReason::OneNumber;
    }
    return DropReason::Words;
}

DroppedShape DroppedShapeOf(std::string_view text, int valueCount) {
    if (IsDecimalCommaLine(text, valueCount)) {
        return DroppedShape::DecimalComma;
    }
    if (IsCommaSeparatedLine(text, valueCount)) {
        return HasDecimalComma(text) ? DroppedShape::SpreadsheetCsv : DroppedShape::Separators;
    }
    if (const HeaderShape shape = UnquotedHeaderShape(text); shape != HeaderShape::None) {
        return shape == HeaderShape::SensFactor ? DroppedShape::UnquotedSensFactor
                                                : DroppedShape::MisplacedQuote;
    }
    if (IsUnreadableNumberLine(text)) {
        return DroppedShape::UnreadableNumber;
    }
    switch (DropReasonOf(text)) {
    case DropReason::OneNumber:
        return DroppedShape::OneNumber;
    case DropReason::ZeroFrequency:
        return DroppedShape::ZeroFrequency;
    case DropReason::Blank:
        return DroppedShape::Blank;
    case DropReason::Words:
        break;
    }
    return DroppedShape::Words;
}
