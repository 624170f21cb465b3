#include "AuthorsReading.h"

#include "NumberScanner.h"
#include "TextReader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

const NumberStyle NumberStyles[NumberStyleCount] = {
    {'.', GroupMark::None, false},       {'.', GroupMark::None, true},
    {'.', GroupMark::Comma, false},      {'.', GroupMark::Comma, true},
    {'.', GroupMark::Blank, false},      {'.', GroupMark::Blank, true},
    {'.', GroupMark::Space, false},      {'.', GroupMark::Space, true},
    {'.', GroupMark::Apostrophe, false}, {'.', GroupMark::Apostrophe, true},
    {',', GroupMark::None, false},       {',', GroupMark::None, true},
    {',', GroupMark::FullStop, false},   {',', GroupMark::FullStop, true},
    {',', GroupMark::Blank, false},      {',', GroupMark::Blank, true},
    {',', GroupMark::Space, false},      {',', GroupMark::Space, true},
    {',', GroupMark::Apostrophe, false}, {',', GroupMark::Apostrophe, true},
};

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
}

// Blanks and tabs, and the other whitespace of the scan but LF.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool StartsWith(std::string_view t, std::size_t i, std::string_view bytes) {
    return t.size() - i >= bytes.size() && t.compare(i, bytes.size(), bytes) == 0;
}

// The length of the character at i if it is one of these, else 0.
std::size_t AnyAt(std::string_view t, std::size_t i, std::initializer_list<std::string_view> any) {
    if (i >= t.size() || static_cast<unsigned char>(t[i]) < 0x80) {
        return 0;
    }
    for (const std::string_view bytes : any) {
        if (StartsWith(t, i, bytes)) {
            return bytes.size();
        }
    }
    return 0;
}

// Spaces that are not blanks: no-break, narrow no-break, thin and figure.
bool IsHigh(std::string_view t, std::size_t i) {
    return i < t.size() && static_cast<unsigned char>(t[i]) >= 0x80;
}

std::size_t SpaceAt(std::string_view t, std::size_t i) {
    return !IsHigh(t, i)
               ? 0
               : AnyAt(t, i, {"\xC2\xA0", "\xE2\x80\xAF", "\xE2\x80\x89", "\xE2\x80\x87"});
}

// Minus signs that are not ASCII: the minus sign, dashes, small and wide minus.
std::size_t MinusAt(std::string_view t, std::size_t i) {
    return !IsHigh(t, i) ? 0
                         : AnyAt(t, i,
                                 {"\xE2\x88\x92", "\xE2\x80\x93", "\xE2\x80\x92", "\xEF\xB9\xA3",
                                  "\xEF\xBC\x8D"});
}

std::size_t ApostropheAt(std::string_view t, std::size_t i) {
    if (i < t.size() && t[i] == '\'') {
        return 1;
    }
    return AnyAt(t, i, {"\xE2\x80\x99", "\xE2\x80\x98"});
}

std::size_t QuoteAt(std::string_view t, std::size_t i) {
    if (i < t.size() && t[i] == '"') {
        return 1;
    }
    return AnyAt(t, i, {"\xE2\x80\x9C", "\xE2\x80\x9D"});
}

std::size_t GroupMarkAt(std::string_view t, std::size_t i, GroupMark mark) {
    if (i >= t.size()) {
        return 0;
    }
    switch (mark) {
    case GroupMark::None:
        return 0;
    case GroupMark::FullStop:
        return t[i] == '.' ? 1 : 0;
    case GroupMark::Comma:
        return t[i] == ',' ? 1 : 0;
    case GroupMark::Blank:
        return t[i] == ' ' ? 1 : 0;
    case GroupMark::Space:
        return SpaceAt(t, i);
    case GroupMark::Apostrophe:
        return ApostropheAt(t, i);
    }
    return 0;
}

bool StartsNumber(std::string_view t, std::size_t i) {
    return i < t.size() && (IsDigit(t[i]) || t[i] == '-' || t[i] == '+' || t[i] == '.' ||
                            t[i] == ',' || MinusAt(t, i) != 0);
}

// A unit or a prefix right after a number: "Hz", "kHz", "dB", or a "k"
// that stands for a thousand.
struct UnitAfter {
    std::size_t End = 0;
    bool Thousand = false;
};

bool UnitAt(std::string_view t, std::size_t p, UnitAfter& unit) {
    std::size_t u = p;
    bool spaced = false;
    if (u < t.size() && t[u] == ' ') {
        ++u;
        spaced = true;
    } else if (const std::size_t s = SpaceAt(t, u); s != 0) {
        u += s;
        spaced = true;
    }
    const auto word = [&](std::size_t at, std::string_view lower) {
        if (t.size() - at < lower.size()) {
            return false;
        }
        for (std::size_t k = 0; k < lower.size(); ++k) {
            if ((t[at + k] | 0x20) != lower[k]) {
                return false;
            }
        }
        return true;
    };
    std::size_t end = 0;
    bool thousand = false;
    if (word(u, "khz")) {
        end = u + 3;
        thousand = true;
    } else if (word(u, "hz")) {
        end = u + 2;
    } else if (word(u, "db")) {
        end = u + 2;
    } else if (!spaced && u < t.size() && (t[u] | 0x20) == 'k') {
        end = u + 1;
        thousand = true;
    } else {
        return false;
    }
    if (end < t.size() && (IsLetter(t[end]) || IsDigit(t[end]))) {
        return false;
    }
    unit.End = end;
    unit.Thousand = thousand;
    return true;
}

struct ParsedNumber {
    std::size_t End = 0;
    bool Grouped = false;
    bool DecimalComma = false;
    bool Typographic = false;
    bool Unit = false;
    bool Shifted = false;
};

// One number at i in the style, its plain text into text.
bool ParseNumber(std::string_view t, std::size_t i, const NumberStyle& style, std::string& text,
                 ParsedNumber& number) {
    text.clear();
    number = {};
    std::size_t p = i;
    const std::size_t n = t.size();
    if (p < n && (t[p] == '-' || t[p] == '+')) {
        text += t[p++];
    } else if (const std::size_t m = MinusAt(t, p); m != 0) {
        text += '-';
        p += m;
        number.Typographic = true;
    }
    const std::size_t signEnd = text.size();
    std::size_t digits = 0;
    const std::size_t digitsBegin = p;
    while (p < n && IsDigit(t[p])) {
        ++p;
    }
    digits = p - digitsBegin;
    text.append(t, digitsBegin, digits);
    // A group mark stands after a first group of one to three digits, each
    // group after it exactly three digits long.
    if (style.Group != GroupMark::None && digits >= 1 && digits <= 3) {
        for (;;) {
            const std::size_t m = GroupMarkAt(t, p, style.Group);
            const std::size_t q = p + m;
            if (m == 0 || q + 3 > n || !IsDigit(t[q]) || !IsDigit(t[q + 1]) || !IsDigit(t[q + 2]) ||
                (q + 3 < n && IsDigit(t[q + 3]))) {
                break;
            }
            text.append(t, q, 3);
            digits += 3;
            p = q + 3;
            number.Grouped = true;
        }
    }
    std::size_t fraction = 0;
    if (p < n && t[p] == style.Decimal) {
        if (p + 1 < n && IsDigit(t[p + 1])) {
            text += '.';
            const std::size_t fractionBegin = ++p;
            while (p < n && IsDigit(t[p])) {
                ++p;
            }
            fraction = p - fractionBegin;
            text.append(t, fractionBegin, fraction);
            number.DecimalComma = style.Decimal == ',';
        } else if (style.Decimal == '.' && digits > 0) {
            text += '.';
            ++p;
        }
    }
    if (digits == 0 && fraction == 0) {
        return false;
    }
    std::size_t exponent = 0;
    if (p < n && (t[p] == 'e' || t[p] == 'E')) {
        std::size_t q = p + 1;
        std::string sign;
        if (q < n && (t[q] == '+' || t[q] == '-')) {
            sign = t[q++];
        } else if (const std::size_t m = MinusAt(t, q); m != 0) {
            sign = "-";
            q += m;
            number.Typographic = true;
        }
        if (q < n && IsDigit(t[q])) {
            text += t[p];
            text += sign;
            const std::size_t digitsBegin = q;
            while (q < n && IsDigit(t[q])) {
                ++q;
            }
            text.append(t, digitsBegin, q - digitsBegin);
            exponent = q - p;
            p = q;
        }
    }
    UnitAfter unit;
    if (UnitAt(t, p, unit)) {
        p = unit.End;
        number.Unit = true;
        if (unit.Thousand) {
            // No one groups the digits of a number of thousands.
            if (number.Grouped) {
                return false;
            }
            number.Shifted = true;
            // The point moves three places: every digit stays as written.
            if (exponent != 0) {
                return false;
            }
            std::string whole = text.substr(signEnd, digits);
            std::string part = fraction > 0 ? text.substr(text.size() - fraction) : "";
            while (part.size() < 3) {
                part += '0';
            }
            whole += part.substr(0, 3);
            part.erase(0, 3);
            const std::size_t zeros = std::min(whole.find_first_not_of('0'), whole.size() - 1);
            whole.erase(0, zeros);
            text.resize(signEnd);
            text += whole;
            if (!part.empty()) {
                text += '.';
                text += part;
            }
        }
    }
    number.End = p;
    return true;
}

// What may follow a number in the style: the end, a separator or a quote.
bool EndsNumber(std::string_view t, std::size_t i, const NumberStyle& style, bool inQuote) {
    if (i >= t.size() || IsBlank(t[i]) || t[i] == ';' || QuoteAt(t, i) != 0 || SpaceAt(t, i) != 0) {
        return true;
    }
    return t[i] == ',' && style.CommaSeparates && !inQuote;
}

bool IsCommentStart(char c) {
    return IsLetter(c) || c == '#' || c == '*' || c == '%' || c == '!' || c == '/' || c == '(' ||
           c == '[';
}

struct Span {
    std::size_t Begin = 0;
    std::size_t End = 0;
    bool Marked = false; // holds more than blanks and tabs
};

void AppendSeparator(std::string& out, std::string_view t, const Span& separator) {
    if (!separator.Marked) {
        out.append(t, separator.Begin, separator.End - separator.Begin);
    } else {
        out += '\t';
    }
}

int Bucket(int count) {
    return std::min(count, 5) - 2;
}

// The values of a line read, converted only when asked for.
void ReadValues(const StyledLine& line) {
    if (line.HasValues) {
        return;
    }
    for (int k = 0; k < line.Count; ++k) {
        const std::string& text = line.Texts[k];
        ScanValues(text.data(), text.data() + text.size(), &line.Values[k], 1);
    }
    line.HasValues = true;
}

// The converter reads the line with other values than the style, or none.
bool Differs(const JudgedLine& judged, const StyledLine& line, int valueCount) {
    if (judged.Kind != LineKind::Data || judged.Count != std::min(line.Count, valueCount)) {
        return true;
    }
    ReadValues(line);
    for (int k = 0; k < judged.Count; ++k) {
        if (std::memcmp(&judged.Values[k], &line.Values[k], sizeof(float)) != 0) {
            return true;
        }
    }
    return false;
}

void Remember(MeantExample& example, std::uint64_t number, std::string_view text,
              const JudgedLine& judged, const StyledLine& line) {
    example.Line = number;
    example.Text = text.substr(0, 200);
    example.ReadCount = judged.Kind == LineKind::Data ? judged.Count : 0;
    std::copy(judged.Values, judged.Values + example.ReadCount, example.Read);
    example.MeantCount = std::min(line.Count, MyMicInValueCount);
    ReadValues(line);
    std::copy(line.Values, line.Values + example.MeantCount, example.Meant);
}

// Which marks a line holds that styles tell apart.
struct MarksPresent {
    bool FullStop = false;
    bool Comma = false;
    bool Blank = false;
    bool Space = false;
    bool Apostrophe = false;
};

MarksPresent MarksOf(std::string_view t) {
    MarksPresent marks;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        marks.FullStop = marks.FullStop || c == '.';
        marks.Comma = marks.Comma || c == ',';
        marks.Blank = marks.Blank || c == ' ';
        marks.Apostrophe = marks.Apostrophe || c == '\'';
        if (static_cast<unsigned char>(c) >= 0x80) {
            marks.Space = marks.Space || SpaceAt(t, i) != 0;
            marks.Apostrophe = marks.Apostrophe || ApostropheAt(t, i) != 0;
        }
    }
    return marks;
}

// What of a style matters to a line with these marks.
int KeyOf(const NumberStyle& style, const MarksPresent& marks) {
    const bool decimalMatters = marks.FullStop || marks.Comma;
    bool groupMatters = false;
    switch (style.Group) {
    case GroupMark::None:
        break;
    case GroupMark::FullStop:
        groupMatters = marks.FullStop;
        break;
    case GroupMark::Comma:
        groupMatters = marks.Comma;
        break;
    case GroupMark::Blank:
        groupMatters = marks.Blank;
        break;
    case GroupMark::Space:
        groupMatters = marks.Space;
        break;
    case GroupMark::Apostrophe:
        groupMatters = marks.Apostrophe;
        break;
    }
    return (decimalMatters ? (style.Decimal == ',' ? 2 : 1) : 0) +
           (groupMatters ? 3 * (static_cast<int>(style.Group) + 1) : 0) +
           (marks.Comma && style.CommaSeparates ? 100 : 0);
}

} // namespace

bool ReadInStyle(std::string_view t, const NumberStyle& style, bool mend, StyledLine& line) {
    line.Count = 0;
    line.Changes = {};
    line.Shifted = false;
    const std::size_t n = t.size();
    Span separators[MeantValueLimit];
    Span values[MeantValueLimit];
    std::size_t comment = std::string_view::npos;
    Span beforeComment;
    bool inQuote = false;
    bool semicolons = false;
    bool commas = false;
    bool tabs = false;
    int count = 0;
    std::size_t i = 0;
    for (;;) {
        Span separator{i, i, false};
        while (i < n) {
            const char c = t[i];
            std::size_t m = 0;
            if (IsBlank(c)) {
                // Where tabs separate, a comma is part of a number.
                tabs = tabs || (c == '\t' && count > 0);
                if (tabs && commas) {
                    return false;
                }
                ++i;
            } else if (c == ';' || (c == ',' && style.CommaSeparates && !inQuote)) {
                // A line has one kind of separator: where semicolons
                // separate, a comma is part of a number.
                (c == ';' ? semicolons : commas) = true;
                if (commas && (semicolons || tabs)) {
                    return false;
                }
                separator.Marked = line.Changes.Separators = true;
                ++i;
            } else if ((m = QuoteAt(t, i)) != 0) {
                inQuote = !inQuote;
                separator.Marked = line.Changes.Quotes = true;
                i += m;
            } else if ((m = SpaceAt(t, i)) != 0) {
                separator.Marked = line.Changes.Typographic = true;
                i += m;
            } else if ((m = ApostropheAt(t, i)) != 0 && StartsNumber(t, i + m)) {
                // A spreadsheet's mark that the field is text.
                separator.Marked = line.Changes.Typographic = true;
                i += m;
            } else {
                break;
            }
        }
        separator.End = i;
        if (i >= n) {
            break;
        }
        if (count == MeantValueLimit) {
            comment = i;
            beforeComment = separator;
            break;
        }
        ParsedNumber number;
        if (!ParseNumber(t, i, style, line.Texts[count], number)) {
            if (count < 2 || !IsCommentStart(t[i])) {
                return false;
            }
            comment = i;
            beforeComment = separator;
            break;
        }
        if (!EndsNumber(t, number.End, style, inQuote)) {
            // Words right after the last number are a comment; anything else
            // glued to a number makes it no number in this style.
            if (count < 1 || !IsCommentStart(t[number.End]) || IsLetter(t[number.End])) {
                return false;
            }
            comment = number.End;
            beforeComment = {number.End, number.End, false};
        }
        line.Changes.Grouping = line.Changes.Grouping || number.Grouped;
        line.Changes.DecimalCommas = line.Changes.DecimalCommas || number.DecimalComma;
        line.Changes.Typographic = line.Changes.Typographic || number.Typographic;
        line.Changes.Units = line.Changes.Units || number.Unit;
        line.Shifted = line.Shifted || number.Shifted;
        separators[count] = separator;
        values[count] = {i, number.End, false};
        ++count;
        i = number.End;
        if (comment != std::string_view::npos) {
            break;
        }
    }
    if (count < 2) {
        return false;
    }
    line.Count = count;
    line.HasValues = false;
    if (!mend) {
        return true;
    }
    std::string& out = line.Mended;
    out.clear();
    for (int k = 0; k < count; ++k) {
        if (k > 0 || !separators[0].Marked) {
            AppendSeparator(out, t, separators[k]);
        }
        out += line.Texts[k];
    }
    const std::size_t last = values[count - 1].End;
    if (comment != std::string_view::npos) {
        bool marked = beforeComment.Marked;
        for (std::size_t k = last; k < comment; ++k) {
            marked = marked || !IsBlank(t[k]);
        }
        AppendSeparator(out, t, {last, comment, marked});
        out.append(t, comment);
    } else {
        for (std::size_t k = last; k < n; ++k) {
            if (IsBlank(t[k])) {
                out += t[k];
            } else if (t[k] == ';' || t[k] == ',') {
                out += '\t';
            }
        }
    }
    return true;
}

PlainLine PlainnessOf(std::string_view text, const JudgedLine& judged) {
    if (judged.Kind != LineKind::Data) {
        return PlainLine::No;
    }
    const std::string_view lastText = judged.Texts[judged.Count - 1];
    std::size_t rest = static_cast<std::size_t>(lastText.data() + lastText.size() - text.data());
    while (rest < text.size() && IsBlank(text[rest])) {
        ++rest;
    }
    if (rest < text.size() && !(IsCommentStart(text[rest]) && (text[rest] | 0x20) != 'k')) {
        return PlainLine::No;
    }
    // Three digits after a full stop, and three at most before it, may be a
    // group of thousands; but one full stop that cannot be makes the line no
    // line of a style that groups with full stops. Three digits after a
    // blank, after a whole number of at most three, may be a group too.
    bool mayGroup = false;
    bool cannotGroup = false;
    std::size_t previousDigits = 0; // a whole number's digits, or 0
    for (int k = 0; k < judged.Count; ++k) {
        const std::string_view v = judged.Texts[k];
        const bool signed_ = v[0] == '-' || v[0] == '+';
        std::size_t i = signed_ ? 1 : 0;
        std::size_t lead = 0;
        while (i < v.size() && IsDigit(v[i])) {
            ++i;
            ++lead;
        }
        if (!signed_ && lead == 3 && k > 0 && previousDigits >= 1 && previousDigits <= 3) {
            const char* gap = judged.Texts[k - 1].data() + judged.Texts[k - 1].size();
            bool blanks = gap < v.data();
            for (const char* c = gap; c < v.data(); ++c) {
                blanks = blanks && *c == ' ';
            }
            if (blanks) {
                return PlainLine::No;
            }
        }
        previousDigits = i == v.size() ? lead : 0;
        if (i == v.size() || v[i] != '.') {
            continue;
        }
        ++i;
        std::size_t fraction = 0;
        while (i < v.size() && IsDigit(v[i])) {
            ++i;
            ++fraction;
        }
        const bool group = fraction == 3 && lead >= 1 && lead <= 3 && i == v.size();
        mayGroup = mayGroup || group;
        cannotGroup = cannotGroup || !group;
    }
    if (mayGroup && !cannotGroup) {
        return PlainLine::No;
    }
    return mayGroup || cannotGroup ? PlainLine::WithPoint : PlainLine::WithoutPoint;
}

bool IsPlainLine(std::string_view text, const JudgedLine& judged) {
    return PlainnessOf(text, judged) != PlainLine::No;
}

namespace {

constexpr std::size_t ShapesKept = 1024;

// The line with every digit a 1: lines of one shape are read alike.
const std::string& ShapeOf(std::string_view text, std::string& shape) {
    shape.assign(text);
    for (char& c : shape) {
        c = IsDigit(c) ? '1' : c;
    }
    return shape;
}

// A line that one style reads otherwise than the converter: counted, and the
// first of each kind remembered with its values.
void SeeOtherwise(StyleTally& tally, std::uint64_t number, std::string_view text,
                  const JudgedLine& judged, const NumberStyle& style, bool grouping,
                  StyledLine& line) {
    const bool first = tally.Otherwise == 0 ||
                       (judged.Kind == LineKind::Data && tally.OtherwiseData == 0) ||
                       (grouping && tally.Grouped == 0);
    if (first) {
        ReadInStyle(text, style, false, line);
    }
    if (tally.Otherwise++ == 0) {
        Remember(tally.FirstOtherwise, number, text, judged, line);
    }
    if (judged.Kind == LineKind::Data && tally.OtherwiseData++ == 0) {
        Remember(tally.FirstData, number, text, judged, line);
    }
    if (grouping && tally.Grouped++ == 0) {
        Remember(tally.FirstGrouped, number, text, judged, line);
    }
}

// Two groups of styles that read a line otherwise: neither reading is the
// file's while both read it as well.
void Disagree(FileReading& reading, const int* groups, int a, int b) {
    std::uint32_t ofA = 0;
    std::uint32_t ofB = 0;
    for (int s = 0; s < NumberStyleCount; ++s) {
        ofA |= groups[s] == a ? 1u << s : 0u;
        ofB |= groups[s] == b ? 1u << s : 0u;
    }
    for (int s = 0; s < NumberStyleCount; ++s) {
        reading.Styles[s].Disagrees |= groups[s] == a ? ofB : groups[s] == b ? ofA : 0u;
    }
}

void GroupStyles(std::string_view text, int* groups) {
    const MarksPresent marks = MarksOf(text);
    int keys[NumberStyleCount];
    for (int s = 0; s < NumberStyleCount; ++s) {
        keys[s] = KeyOf(NumberStyles[s], marks);
        groups[s] = s;
        for (int earlier = 0; earlier < s; ++earlier) {
            if (keys[earlier] == keys[s]) {
                groups[s] = earlier;
                break;
            }
        }
    }
}

// Reads a shape in every group of styles, once for all its lines.
void ReadShape(FileReading& reading, const std::string& shape, ShapeReading& read) {
    GroupStyles(shape, read.Group);
    StyledLine& line = reading.Scratch;
    read.Cached = true;
    for (int s = 0; s < NumberStyleCount; ++s) {
        if (read.Group[s] != s) {
            continue;
        }
        read.Read[s] = ReadInStyle(shape, NumberStyles[s], false, line);
        if (!read.Read[s]) {
            continue;
        }
        // A moved decimal point drops leading zeros, which only the digits
        // tell.
        read.Cached = read.Cached && !line.Shifted;
        read.Count[s] = line.Count;
        read.Grouping[s] = line.Changes.Grouping;
        for (int k = 0; k < line.Count; ++k) {
            read.Values[s] += line.Texts[k];
            read.Ends[s][k] = read.Values[s].size();
        }
    }
    if (!read.Cached) {
        return;
    }
    for (int a = 0; a < NumberStyleCount; ++a) {
        for (int b = a + 1; b < NumberStyleCount; ++b) {
            if (read.Group[a] == a && read.Group[b] == b &&
                (read.Read[a] != read.Read[b] ||
                 (read.Read[a] &&
                  (read.Count[a] != read.Count[b] || read.Values[a] != read.Values[b])))) {
                Disagree(reading, read.Group, a, b);
            }
        }
    }
}

// A line of a shape not kept: each group of styles reads it by itself.
void SeeLineOneByOne(FileReading& reading, std::uint64_t number, std::string_view text,
                     const JudgedLine& judged, int valueCount) {
    int groups[NumberStyleCount];
    GroupStyles(text, groups);
    StyledLine lines[2];
    std::string values[NumberStyleCount];
    bool read[NumberStyleCount] = {};
    int counts[NumberStyleCount] = {};
    for (int s = 0; s < NumberStyleCount; ++s) {
        if (groups[s] != s) {
            continue;
        }
        StyledLine& line = lines[0];
        read[s] = ReadInStyle(text, NumberStyles[s], false, line);
        if (!read[s]) {
            continue;
        }
        counts[s] = line.Count;
        for (int k = 0; k < line.Count; ++k) {
            values[s] += line.Texts[k];
            values[s] += '\n';
        }
        const bool differs = Differs(judged, line, valueCount);
        for (int t = s; t < NumberStyleCount; ++t) {
            if (groups[t] != s) {
                continue;
            }
            reading.Styles[t].ByCount[Bucket(line.Count)]++;
            if (differs) {
                SeeOtherwise(reading.Styles[t], number, text, judged, NumberStyles[t],
                             line.Changes.Grouping, lines[1]);
            }
        }
    }
    for (int a = 0; a < NumberStyleCount; ++a) {
        for (int b = a + 1; b < NumberStyleCount; ++b) {
            if (groups[a] == a && groups[b] == b &&
                (read[a] != read[b] ||
                 (read[a] && (counts[a] != counts[b] || values[a] != values[b])))) {
                Disagree(reading, groups, a, b);
            }
        }
    }
}

} // namespace

void SeeLineForReading(FileReading& reading, std::string_view text, const JudgedLine& judged,
                       int valueCount) {
    const std::uint64_t number = ++reading.Lines;
    if (judged.Kind == LineKind::Header) {
        std::size_t i = 0;
        while (i < text.size() && (text[i] == '"' || IsBlank(text[i]))) {
            ++i;
        }
        if (!StartsNumber(text, i)) {
            return;
        }
    } else if (const PlainLine plain = PlainnessOf(text, judged); plain != PlainLine::No) {
        (plain == PlainLine::WithPoint ? reading.PlainWithPoint
                                       : reading.PlainWithoutPoint)[Bucket(judged.Count)]++;
        return;
    } else {
        std::size_t i = 0;
        while (i < text.size() && IsBlank(text[i])) {
            ++i;
        }
        if (i < text.size() && !StartsNumber(text, i) && QuoteAt(text, i) == 0 &&
            ApostropheAt(text, i) == 0 && SpaceAt(text, i) == 0) {
            return;
        }
    }
    const std::string& shape = ShapeOf(text, reading.Shape);
    auto found = reading.Shapes.find(shape);
    if (found == reading.Shapes.end()) {
        if (reading.Shapes.size() >= ShapesKept) {
            SeeLineOneByOne(reading, number, text, judged, valueCount);
            return;
        }
        found = reading.Shapes.emplace(shape, ShapeReading()).first;
        ReadShape(reading, found->first, found->second);
    }
    const ShapeReading& read = found->second;
    if (!read.Cached) {
        SeeLineOneByOne(reading, number, text, judged, valueCount);
        return;
    }
    // The converter's values as the shape writes them.
    std::string& converter = reading.Converter;
    converter.clear();
    std::size_t converterEnds[MyMicInValueCount] = {};
    const int converterCount = judged.Kind == LineKind::Data ? judged.Count : 0;
    for (int k = 0; k < converterCount; ++k) {
        const std::size_t at = static_cast<std::size_t>(judged.Texts[k].data() - text.data());
        converter.append(shape, at, judged.Texts[k].size());
        converterEnds[k] = converter.size();
    }
    bool same[NumberStyleCount];
    for (int s = 0; s < NumberStyleCount; ++s) {
        const int g = read.Group[s];
        if (g != s || !read.Read[g]) {
            continue;
        }
        const int compared = std::min(read.Count[g], valueCount);
        same[g] = converterCount == compared &&
                  read.Ends[g][compared - 1] == converterEnds[compared - 1] &&
                  read.Values[g].compare(0, converterEnds[compared - 1], converter) == 0;
    }
    const bool data = judged.Kind == LineKind::Data;
    for (int s = 0; s < NumberStyleCount; ++s) {
        const int g = read.Group[s];
        if (!read.Read[g]) {
            continue;
        }
        StyleTally& tally = reading.Styles[s];
        tally.ByCount[Bucket(read.Count[g])]++;
        if (same[g]) {
            continue;
        }
        // Counted here; the first of each kind is remembered with its values.
        if (tally.Otherwise == 0 || (data && tally.OtherwiseData == 0) ||
            (read.Grouping[g] && tally.Grouped == 0)) {
            SeeOtherwise(tally, number, text, judged, NumberStyles[s], read.Grouping[g],
                         reading.Scratch);
            continue;
        }
        ++tally.Otherwise;
        tally.OtherwiseData += data ? 1 : 0;
        tally.Grouped += read.Grouping[g] ? 1 : 0;
    }
}

namespace {

std::uint64_t Score(const FileReading& reading, int style, int& count) {
    std::uint64_t best = 0;
    count = 0;
    for (int b = 0; b < 4; ++b) {
        std::uint64_t score = reading.Styles[style].ByCount[b] + reading.PlainWithoutPoint[b];
        if (NumberStyles[style].Decimal == '.') {
            score += reading.PlainWithPoint[b];
        }
        if (score > best) {
            best = score;
            count = b + 2;
        }
    }
    return best;
}

} // namespace

namespace {

ReadingVerdict StyleOfReading(const FileReading& reading) {
    ReadingVerdict verdict;
    std::uint64_t scores[NumberStyleCount];
    int counts[NumberStyleCount];
    std::uint64_t best = 0;
    for (int s = 0; s < NumberStyleCount; ++s) {
        scores[s] = Score(reading, s, counts[s]);
        best = std::max(best, scores[s]);
    }
    if (best == 0) {
        return verdict;
    }
    std::uint64_t plainWithPoint = 0;
    for (const std::uint64_t lines : reading.PlainWithPoint) {
        plainWithPoint += lines;
    }
    // The converter's own style stands first among those that read the file
    // alike.
    for (int s = 0; s < NumberStyleCount; ++s) {
        if (scores[s] != best) {
            continue;
        }
        if (verdict.Style < 0) {
            verdict.Style = s;
            verdict.Count = counts[s];
            continue;
        }
        const int first = verdict.Style;
        const bool pointsAlike =
            plainWithPoint == 0 || NumberStyles[first].Decimal == NumberStyles[s].Decimal;
        if (counts[s] != counts[first] || (reading.Styles[first].Disagrees & (1u << s)) != 0 ||
            !pointsAlike) {
            verdict.TwoWays = true;
            verdict.Other = s;
            return verdict;
        }
    }
    return verdict;
}

} // namespace

ReadingVerdict ConcludeReading(const FileReading& reading) {
    ReadingVerdict verdict = StyleOfReading(reading);
    verdict.Otherwise = verdict.Style >= 0 && reading.Styles[verdict.Style].Otherwise > 0;
    return verdict;
}

bool ReadsOtherwise(const ReadingVerdict& verdict, std::string_view text, const JudgedLine& judged,
                    int valueCount, bool mend, StyledLine& line) {
    if (verdict.Style < 0 || verdict.TwoWays || !verdict.Otherwise) {
        return false;
    }
    if (judged.Kind != LineKind::Header && IsPlainLine(text, judged)) {
        return false;
    }
    if (!ReadInStyle(text, NumberStyles[verdict.Style], mend, line) ||
        line.Count != verdict.Count) {
        return false;
    }
    return Differs(judged, line, valueCount);
}

const char* StyleName(int style) {
    const NumberStyle& s = NumberStyles[style];
    switch (s.Group) {
    case GroupMark::None:
        return s.Decimal == ','   ? "decimal-commas"
               : s.CommaSeparates ? "comma-separated"
                                  : "full-stops";
    case GroupMark::FullStop:
        return "full-stop-grouping";
    case GroupMark::Comma:
        return "comma-grouping";
    case GroupMark::Blank:
        return "blank-grouping";
    case GroupMark::Space:
        return "space-grouping";
    case GroupMark::Apostrophe:
        return "apostrophe-grouping";
    }
    return "";
}
