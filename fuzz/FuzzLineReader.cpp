// Any bytes as a calibration file: the reader must return exactly the lines
// of the text-mode rules, long lines as a first ReadLimit bytes and pieces
// that rejoin to the rest, and the scanner must agree with strtof on every
// number the grammar accepts.
//
// The first input byte picks how the file is offered: bit 0 a FIFO fed in
// chunks (else a memory file), bit 1 whether the pieces of long data lines
// are taken (else skipped), the other bits seed the chunk sizes.

#include "DataLineScan.h"
#include "FuzzSupport.h"
#include "LineKind.h"
#include "NumberScanner.h"
#include "TextReader.h"

#include <cstring>
#include <string>

namespace {

// Too large for the stack of a fuzzer with AddressSanitizer's redzones.
TextReader Reader;

std::string Count(long value) {
    return std::to_string(value);
}

void CheckScan(std::string_view text) {
    float values[3];
    float expected[3];
    const int count = ScanValues(text.data(), text.data() + text.size(), values, 3);
    const int expectedCount = ModelScan(text, expected, 3);
    if (count != expectedCount) {
        FailCheck("scan count", Count(expectedCount) + " for " + std::string(text), Count(count));
    }
    for (int i = 0; i < count; ++i) {
        if (std::memcmp(&values[i], &expected[i], sizeof(float)) != 0) {
            FailCheck("scanned value", ModelFormat(expected[i]) + " in " + std::string(text),
                      ModelFormat(values[i]));
        }
    }
    const int dataCount = ScanDataLine(text, values, 3);
    const int expectedDataCount = expectedCount >= 2 && expected[0] != 0.0f ? expectedCount : 0;
    if (dataCount != expectedDataCount) {
        FailCheck("data line count", Count(expectedDataCount) + " for " + std::string(text),
                  Count(dataCount));
    }
}

void CheckPieces(const ModelLine& expected) {
    std::string rest;
    bool lineEndSeen = false;
    TextLine piece;
    ReadResult result;
    while ((result = NextLinePiece(Reader, piece)) == ReadResult::Line) {
        if (lineEndSeen) {
            FailCheck("piece after the line end", "", piece.Text);
        }
        if (piece.Whole) {
            FailCheck("piece marked whole", "", piece.Text);
        }
        rest += piece.Text;
        lineEndSeen = piece.HasLineEnd;
    }
    if (result != ReadResult::End) {
        FailCheck("pieces of a long line", "End", "Failed");
    }
    if (rest != expected.Text.substr(ReadLimit)) {
        FailCheck("rest of a long line", expected.Text.substr(ReadLimit), rest);
    }
    if (lineEndSeen != expected.HasLineEnd) {
        FailCheck("line end of a long line", expected.HasLineEnd ? "yes" : "no",
                  lineEndSeen ? "yes" : "no");
    }
}

void CheckLine(const ModelLine& expected, bool takePieces) {
    TextLine line;
    if (NextLine(Reader, line) != ReadResult::Line) {
        FailCheck("a line", expected.Text, "no line");
    }
    if (expected.Text.size() <= ReadLimit) {
        if (!line.Whole || line.Text != expected.Text || line.HasLineEnd != expected.HasLineEnd) {
            FailCheck("whole line", expected.Text, line.Text);
        }
    } else {
        if (line.Whole || line.HasLineEnd || line.Text != expected.Text.substr(0, ReadLimit)) {
            FailCheck("first part of a long line", expected.Text.substr(0, ReadLimit), line.Text);
        }
        if (takePieces || IsHeaderLine(line.Text)) {
            CheckPieces(expected);
        }
    }
    CheckScan(line.Text);
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
    static std::string bytes;
    static std::vector<ModelLine> lines;
    ExpandRuns(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), bytes);
    ModelLines(bytes, lines);

    InputFile file;
    const bool offered = (mode & 1) != 0 ? OfferAsFedFifo(bytes, mode >> 2, 0, file)
                                         : OfferAsMemoryFile(bytes, file);
    if (!offered) {
        FailCheck("input file offered", "yes", "no");
    }
    Reader = TextReader{};
    if (!OpenTextReader(file.Path.c_str(), Reader)) {
        FailCheck("input opened", file.Path, "failed");
    }
    if (Reader.HadByteOrderMark != ModelHasByteOrderMark(bytes)) {
        FailCheck("byte-order mark", ModelHasByteOrderMark(bytes) ? "yes" : "no",
                  Reader.HadByteOrderMark ? "yes" : "no");
    }
    for (const ModelLine& expected : lines) {
        CheckLine(expected, (mode & 2) != 0);
    }
    TextLine line;
    for (int i = 0; i < 2; ++i) {
        const ReadResult result = NextLine(Reader, line);
        if (result != ReadResult::End) {
            FailCheck("end of the file", "End",
                      result == ReadResult::Line ? line.Text : std::string_view("Failed"));
        }
    }
    if (!CloseTextReader(Reader)) {
        FailCheck("input closed", "yes", "no");
    }
    WithdrawInputFile(file);
    return 0;
}
