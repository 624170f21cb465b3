#include "NumberFormatter.h"

#include <charconv>
#include <cmath>
#include <cstring>

char* FormatValue(float value, char* out) {
    if (std::isnan(value)) {
        // One spelling for every not-a-number, whatever its sign bit.
        std::memcpy(out, "nan", 3);
        return out + 3;
    }
    return std::to_chars(out, out + FormattedValueMax, static_cast<double>(value),
                         std::chars_format::fixed, 6)
        .ptr;
}
