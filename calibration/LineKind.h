#pragma once

#include <string_view>

// Every line of a calibration file is one of these, judged by itself.
enum class LineKind {
    Header, // copied to MyMicOut, skipped in a reference
    Data,   // a point
    Other,  // skipped in a reference and dropped from MyMicOut
};

// A header line is one whose very first byte is a double quote.
inline bool IsHeaderLine(std::string_view text) {
    return !text.empty() && text.front() == '"';
}
