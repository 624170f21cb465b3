#pragma once

// What both fuzz targets share: turning a fuzz input into file bytes, handing
// those bytes to the code under test as a file, and a plain model of the file
// format to hold the results against. The model is written from the rules of
// the format, not from the library's code, so that the two can disagree.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// A fuzz input becomes file bytes with one escape: 0xFE k d c is a run of byte
// c whose length is picked from lengths around the reader's buffer sizes by k
// and moved by the signed byte d. Lines of 64 KiB and more, and lines that end
// right at a buffer boundary, then come from inputs of a few bytes.
void ExpandRuns(std::string_view input, std::string& out);

struct ModelLine {
    std::string_view Text; // without its line end
    bool HasLineEnd = false;
};

// The lines of a file by the text-mode rules: a byte 0x1A ends the file, a
// byte-order mark at the start is no text, LF ends a line and takes one CR
// before it along, any other CR is text. Unless a CR followed by a byte other
// than CR and LF comes before the first LF: then CR LF, CR and LF each end a
// line.
bool ModelHasByteOrderMark(std::string_view bytes);
// Fills lines, whose memory is kept from one run to the next: fresh memory
// for every input costs more than the rest of a run.
void ModelLines(std::string_view bytes, std::vector<ModelLine>& lines);

// The scan of a line: up to maxCount numbers, each converted by strtof from
// exactly the characters the number grammar accepts. Returns the count, or -1
// when the text holds only whitespace.
int ModelScan(std::string_view text, float* values, int maxCount);

// The evaluation of a curve, step by step as the algorithm is written down,
// with the shared segment index passed in.
float ModelEvaluate(const std::vector<float>& frequencies, const std::vector<float>& responses,
                    std::uint32_t& segmentHint, float frequency);

// A value as printf("%.6f") writes it, with one spelling for not-a-number.
std::string ModelFormat(float value);

// Bytes offered to the code under test under a path. A memory file gives
// every read as much as asked; a fed FIFO gives each read at most one chunk
// (sizes from the seed), the next chunk only once the last is consumed, the
// way a slow pipe or a network share does.
struct InputFile {
    std::string Path;
    int Descriptor = -1; // the memory file
    std::thread Feeder;  // writes the chunks into the FIFO
    std::unique_ptr<std::atomic<bool>> Withdrawn;
};

void InitializeFuzzSupport();
bool OfferAsMemoryFile(std::string_view bytes, InputFile& file);
bool OfferAsFedFifo(std::string bytes, std::uint8_t seed, int slot, InputFile& file);
// Stops a feeder whose reader never came or gave up early, and releases
// the file.
void WithdrawInputFile(InputFile& file);

// An empty memory file for the output, and its bytes once written.
bool CreateOutputFile(InputFile& file);
std::string ReadOutputFile(const InputFile& file);

// Reports a broken invariant with the context and aborts, which the fuzzer
// records as a finding with the input that caused it.
[[noreturn]] void FailCheck(const char* what, std::string_view expected, std::string_view actual);
