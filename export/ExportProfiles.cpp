#include "ExportProfiles.h"

#include "FloatText.h"

#include <cmath>
#include <cstring>

namespace {

struct ProfileName {
    std::string_view Name;
    ExportProfile Profile;
};

constexpr ProfileName Profiles[] = {
    {"tsv", ExportProfile::Tsv},
    {"frd", ExportProfile::Frd},
    {"csv", ExportProfile::Csv},
    {"csv-decimal-comma", ExportProfile::CsvDecimalComma},
};

bool IsCsv(ExportProfile profile) {
    return profile == ExportProfile::Csv || profile == ExportProfile::CsvDecimalComma;
}

char SeparatorOf(ExportProfile profile) {
    switch (profile) {
    case ExportProfile::Tsv:
        return '\t';
    case ExportProfile::Frd:
        return ' ';
    case ExportProfile::Csv:
        return ',';
    case ExportProfile::CsvDecimalComma:
        break;
    }
    return ';';
}

// What the header line says, without the double quotes around it: the
// opening one is what makes it a header line, and a closing one belongs to
// it. A CR left at its end by a CR CR LF line end goes too.
std::string_view HeaderText(std::string_view text) {
    text.remove_prefix(1);
    while (!text.empty() && text.back() == '\r') {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.back() == '"') {
        text.remove_suffix(1);
    }
    return text;
}

// The text with every CR written as a blank, and in CSV every double quote
// doubled: a reader that ends lines at a lone CR would otherwise take the
// rest of a header line for a line of its own, perhaps for a point.
bool WriteHeaderText(TextWriter& writer, std::string_view text, bool doubleQuotes) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && (text[i] != '"' || !doubleQuotes)) {
            continue;
        }
        if (!WriteText(writer, text.substr(start, i - start)) ||
            !WriteText(writer, text[i] == '\r' ? " " : "\"\"")) {
            return false;
        }
        start = i + 1;
    }
    return WriteText(writer, text.substr(start));
}

} // namespace

bool ProfileNamed(std::string_view name, ExportProfile& profile) {
    for (const ProfileName& known : Profiles) {
        if (known.Name == name) {
            profile = known.Profile;
            return true;
        }
    }
    return false;
}

char* FormatExportNumber(float value, bool decimalComma, char* out) {
    if (std::isnan(value)) {
        std::memcpy(out, "nan", 3);
        return out + 3;
    }
    if (std::isinf(value)) {
        const std::string_view text = value < 0 ? "-inf" : "inf";
        std::memcpy(out, text.data(), text.size());
        return out + text.size();
    }
    char* const end = FormatShortest(out, out + ExportNumberMax, value).ptr;
    if (decimalComma) {
        if (char* point = static_cast<char*>(std::memchr(out, '.', end - out))) {
            *point = ',';
        }
    }
    return end;
}

bool WriteHeaderLine(TextWriter& writer, ExportProfile profile, std::string_view text) {
    text = HeaderText(text);
    if (IsCsv(profile)) {
        return WriteText(writer, "\"") && WriteHeaderText(writer, text, true) &&
               WriteText(writer, "\"") && WriteLineEnd(writer);
    }
    const char* const mark = profile == ExportProfile::Frd ? "*" : ";";
    return WriteText(writer, mark) && (text.empty() || WriteText(writer, " ")) &&
           WriteHeaderText(writer, text, false) && WriteLineEnd(writer);
}

bool WriteColumnNames(TextWriter& writer, ExportProfile profile, bool thirdColumn) {
    if (!IsCsv(profile)) {
        return true;
    }
    const char separator[] = {SeparatorOf(profile), '\0'};
    const std::string_view names[] = {"Frequency (Hz)", "Response (dB)", "Phase (deg)"};
    for (int i = 0; i < ColumnsOf(profile, thirdColumn); ++i) {
        if ((i > 0 && !WriteText(writer, separator)) || !WriteText(writer, names[i])) {
            return false;
        }
    }
    return WriteLineEnd(writer);
}

int ColumnsOf(ExportProfile profile, bool thirdColumn) {
    return thirdColumn || profile == ExportProfile::Frd ? 3 : 2;
}

bool WritePoint(TextWriter& writer, ExportProfile profile, const float* values, int columns) {
    const bool decimalComma = profile == ExportProfile::CsvDecimalComma;
    char* p = ReserveText(writer, 3 * (ExportNumberMax + 1) + 2);
    for (int i = 0; i < columns; ++i) {
        if (i > 0) {
            *p++ = SeparatorOf(profile);
        }
        p = FormatExportNumber(values[i], decimalComma, p);
    }
    *p++ = '\r';
    *p++ = '\n';
    CommitText(writer, p);
    return !writer.Failed;
}
