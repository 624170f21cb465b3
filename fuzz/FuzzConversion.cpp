// One input split into RefMicFrom, RefMicTo and MyMicIn at the separator
// "@@@": both references must load exactly the points that the model finds,
// or fail exactly when the model has fewer than two, and the converted file
// must be, byte for byte, what the model of the conversion writes.
//
// The check reads the same files again, and must count MyMicIn's header and
// data lines as MyMicOut has them, or refuse the references the run refused.
//
// The first input byte picks how the files are offered: bit 0 MyMicIn as a
// FIFO fed in chunks, bit 1 the references too (else memory files), the other
// bits seed the chunk sizes.

#include "CalibrationCurve.h"
#include "CheckCalibration.h"
#include "FindingWords.h"
#include "FuzzSupport.h"
#include "LineKind.h"
#include "Messages.h"
#include "PointConversion.h"
#include "ReferenceLoader.h"
#include "RepairText.h"
#include "TextReader.h"
#include "TextWriter.h"
#include "TransferCurve.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::string_view Separator = "@@@";

// Too large for the stack of a fuzzer with AddressSanitizer's redzones.
TextReader Input;
TextWriter Output;

struct ModelCurve {
    std::vector<float> Frequencies;
    std::vector<float> Responses;
};

ModelCurve ModelLoad(std::string_view bytes) {
    static std::vector<ModelLine> lines;
    ModelLines(bytes, lines);
    ModelCurve curve;
    for (const ModelLine& line : lines) {
        float values[2];
        if (IsHeaderLine(line.Text) || ModelScan(line.Text.substr(0, ReadLimit), values, 2) < 2 ||
            values[0] == 0.0f) {
            continue;
        }
        curve.Frequencies.push_back(values[0]);
        curve.Responses.push_back(values[1]);
    }
    return curve;
}

std::string ModelConvert(std::string_view bytes, const ModelCurve& from, const ModelCurve& to) {
    std::string out = ModelHasByteOrderMark(bytes) ? "\xEF\xBB\xBF" : "";
    std::uint32_t segmentHint = 0;
    static std::vector<ModelLine> lines;
    ModelLines(bytes, lines);
    for (const ModelLine& line : lines) {
        if (IsHeaderLine(line.Text)) {
            out += line.Text;
            out += line.HasLineEnd ? "\r\n" : "";
            continue;
        }
        float values[3];
        const int count = ModelScan(line.Text.substr(0, ReadLimit), values, 3);
        if (count < 2 || values[0] == 0.0f) {
            continue;
        }
        const float atFrom =
            ModelEvaluate(from.Frequencies, from.Responses, segmentHint, values[0]);
        const float atTo = ModelEvaluate(to.Frequencies, to.Responses, segmentHint, values[0]);
        const auto response = static_cast<float>((static_cast<double>(atTo) + values[1]) - atFrom);
        out += ModelFormat(values[0]) + " " + ModelFormat(response);
        if (count == 3) {
            out += " " + ModelFormat(values[2]);
        }
        out += "\r\n";
    }
    return out;
}

bool SameFloats(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

void CheckCurve(const char* what, const ModelCurve& expected, const CalibrationCurve& actual) {
    if (!SameFloats(expected.Frequencies, actual.Frequencies) ||
        !SameFloats(expected.Responses, actual.Responses)) {
        FailCheck(what, std::to_string(expected.Frequencies.size()) + " points",
                  std::to_string(actual.Frequencies.size()) + " points, or other values");
    }
}

void CheckOutput(std::string_view expected, std::string_view actual) {
    if (expected != actual) {
        FailCheck("MyMicOut", expected, actual);
    }
}

void Offer(std::string_view bytes, bool asFifo, std::uint8_t seed, int slot, InputFile& file) {
    const bool offered = asFifo ? OfferAsFedFifo(std::string(bytes), seed, slot, file)
                                : OfferAsMemoryFile(bytes, file);
    if (!offered) {
        FailCheck("input file offered", "yes", "no");
    }
}

// Loads one reference as the run does and holds it against the model;
// returns whether the run would go on.
bool CheckLoad(const char* what, const InputFile& file, const ModelCurve& expected,
               CalibrationCurve& curve) {
    const bool loaded = LoadReferenceCurve(file.Path.c_str(), curve);
    if (loaded != (expected.Frequencies.size() >= 2)) {
        FailCheck(what, loaded ? "rejected" : "loaded", loaded ? "loaded" : "rejected");
    }
    CheckCurve(what, expected, curve);
    return loaded;
}

void Convert(const InputFile& myMicIn, InputFile& myMicOut) {
    Input = TextReader{};
    Output = TextWriter{};
    if (!OpenTextReader(myMicIn.Path.c_str(), Input)) {
        FailCheck("MyMicIn opened", myMicIn.Path, "failed");
    }
    if (!CreateOutputFile(myMicOut) || !OpenTextWriter(myMicOut.Path.c_str(), Output)) {
        FailCheck("MyMicOut opened", myMicOut.Path, "failed");
    }
    if (!TransferCurve(Input, Output)) {
        FailCheck("conversion", "success", "failure");
    }
    if (!CloseTextReader(Input) || !CloseTextWriter(Output)) {
        FailCheck("files closed", "yes", "no");
    }
}

// Header and data lines of a MyMicOut: every line ends in CR LF but perhaps
// the last, and a header line starts with a double quote.
void CountLines(std::string_view out, std::uint64_t& headers, std::uint64_t& data) {
    if (out.starts_with("\xEF\xBB\xBF")) {
        out.remove_prefix(3);
    }
    headers = data = 0;
    while (!out.empty()) {
        const std::size_t end = out.find("\r\n");
        const std::string_view line = out.substr(0, end);
        ++(IsHeaderLine(line) ? headers : data);
        out = end == std::string_view::npos ? std::string_view() : out.substr(end + 2);
    }
}

void CheckTheCheck(const std::string (&files)[3], bool converted, std::string_view myMicOut) {
    InputFile offered[3];
    for (int i = 0; i < 3; ++i) {
        Offer(files[i], false, 0, i, offered[i]);
    }
    const CheckReport report =
        CheckConversion(offered[0].Path.c_str(), offered[1].Path.c_str(), offered[2].Path.c_str());
    for (InputFile& file : offered) {
        WithdrawInputFile(file);
    }
    // Every dropped line of a file is named by one finding.
    for (const FileReport& file : report.Files) {
        std::uint64_t named = 0;
        for (const Finding& finding : report.Findings) {
            named += finding.Role == file.Role ? finding.DroppedLines : 0;
        }
        if (file.Read && named != file.DroppedLines) {
            FailCheck("the dropped lines that the findings name", std::to_string(file.DroppedLines),
                      std::to_string(named));
        }
    }
    if ((ReportStatus(report) == 2) == converted) {
        FailCheck("the check's status", converted ? "below 2" : "2",
                  std::to_string(ReportStatus(report)));
    }
    if (!converted) {
        return;
    }
    std::uint64_t headers = 0;
    std::uint64_t data = 0;
    CountLines(myMicOut, headers, data);
    const FileReport& in = report.Files[2];
    if (in.HeaderLines != headers || in.DataLines != data) {
        FailCheck("the check's count of MyMicIn's header and data lines",
                  std::to_string(headers) + " and " + std::to_string(data),
                  std::to_string(in.HeaderLines) + " and " + std::to_string(in.DataLines));
    }
}

std::string FindingsText(const CheckReport& report) {
    std::string text;
    for (const Finding& finding : report.Findings) {
        text += std::string(FindingCodeName(finding.Code)) + " " + std::to_string(finding.Line) +
                " " + FindingMessage(finding) + "\n";
    }
    return text;
}

// A repair's outcome, its messages kept rather than printed.
bool Repaired(std::string_view bytes, RepairOutcome& outcome) {
    InputFile offered;
    Offer(bytes, false, 0, 2, offered);
    std::string messages;
    KeptMessages = &messages;
    const bool repaired = RepairCalibrationFile(offered.Path.c_str(), "/nonexistent/copy", outcome);
    KeptMessages = nullptr;
    WithdrawInputFile(offered);
    return repaired;
}

// Each line's digits but its zeros, which a "k" moved into or out of the
// number: what the author wrote, whatever marks stood between them. One
// entry a line, in no order, since a sort may move lines.
std::vector<std::string> LineDigits(std::string_view text) {
    std::vector<std::string> lines;
    const auto reader = std::make_unique<TextReader>();
    OpenTextReaderOnText("/nonexistent/digits", text, *reader);
    TextLine line;
    while (NextLine(*reader, line) == ReadResult::Line) {
        std::string digits;
        for (const char c : line.Text) {
            if (c >= '1' && c <= '9') {
                digits += c;
            }
        }
        lines.push_back(std::move(digits));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The check the repair makes of its copy while writing it is the check of the
// copy as written, the copy holds every line and every digit of the file, and
// a copy needs no second repair.
void CheckTheRepair(std::string_view file) {
    RepairOutcome outcome;
    if (!Repaired(file, outcome)) {
        return;
    }
    const std::string& copy = outcome.Repaired;
    const std::string said = FindingsText(outcome.Remaining);
    const std::string checked = FindingsText(CheckCalibrationText("/nonexistent/copy", copy));
    if (said != checked) {
        FailCheck("the findings the repair says are left in its copy", checked, said);
    }
    // A copy that still looks like UTF-16 (its text had zero bytes of its
    // own) is decoded again, which the check says.
    if (LooksLikeUtf16(std::string_view(copy).substr(0, FirstBytesKept))) {
        return;
    }
    if (!LooksLikeUtf16(file.substr(0, FirstBytesKept)) && LineDigits(file) != LineDigits(copy)) {
        FailCheck("the lines and digits of a repaired copy", std::string(file), copy);
    }
    // A copy whose lines can be read two ways is refused, and so unchanged.
    RepairOutcome again;
    if (Repaired(copy, again) && again.Repaired != copy) {
        FailCheck("a repaired copy repaired again", copy, again.Repaired);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    InitializeFuzzSupport();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t mode = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    static std::string files[3];
    for (int i = 0; i < 3; ++i) {
        const std::size_t end = i < 2 ? rest.find(Separator) : std::string_view::npos;
        ExpandRuns(rest.substr(0, end), files[i]);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 3);
    }
    const ModelCurve from = ModelLoad(files[0]);
    const ModelCurve to = ModelLoad(files[1]);

    InputFile inputs[3];
    InputFile myMicOut;
    Offer(files[0], (mode & 2) != 0, mode >> 2, 0, inputs[0]);
    Offer(files[1], (mode & 2) != 0, mode >> 2, 1, inputs[1]);
    Offer(files[2], (mode & 1) != 0, mode >> 2, 2, inputs[2]);

    ResetConversionState();
    std::string converted;
    const bool converts = CheckLoad("RefMicFrom", inputs[0], from, RefMicFromCurve) &&
                          CheckLoad("RefMicTo", inputs[1], to, RefMicToCurve);
    if (converts) {
        Convert(inputs[2], myMicOut);
        converted = ReadOutputFile(myMicOut);
        CheckOutput(ModelConvert(files[2], from, to), converted);
    }
    for (InputFile& file : inputs) {
        WithdrawInputFile(file);
    }
    WithdrawInputFile(myMicOut);
    CheckTheCheck(files, converts, converted);
    CheckTheRepair(files[2]);
    return 0;
}
