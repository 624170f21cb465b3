#include "FloatText.h"

std::from_chars_result ParseFloat(const char* first, const char* last, float& value) {
    return std::from_chars(first, last, value, std::chars_format::general);
}

std::to_chars_result FormatFixed(char* first, char* last, double value, int decimals) {
    return std::to_chars(first, last, value, std::chars_format::fixed, decimals);
}

std::to_chars_result FormatShortest(char* first, char* last, float value) {
    return std::to_chars(first, last, value);
}
