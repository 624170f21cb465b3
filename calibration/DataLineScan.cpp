#include "DataLineScan.h"

#include "NumberScanner.h"

int ScanDataLine(std::string_view text, float* values, int maxCount, std::string_view* texts) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const int count = texts != nullptr ? ScanValueTexts(begin, end, values, texts, maxCount)
                                       : ScanValues(begin, end, values, maxCount);
    // A frequency of zero, of either sign or too small for a float, marks a
    // line that holds no point.
    if (count < 2 || values[0] == 0.0f) {
        return 0;
    }
    return count;
}
