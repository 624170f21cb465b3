#pragma once

#include "PlatformFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// How much of a line that is not a header line is scanned for numbers; the
// rest of a longer line is skipped, so memory stays bounded whatever the file.
constexpr std::size_t ReadLimit = 64 * 1024;
constexpr std::size_t ReadBlockSize = 64 * 1024;

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// How many of a file's first bytes the reader keeps, to tell its encoding.
constexpr std::size_t FirstBytesKept = 64;

// Reads a calibration file line by line with the rules of Windows' text mode,
// on every platform: CR LF is one line end, a lone CR is an ordinary byte,
// and a byte 0x1A ends the input. A UTF-8
// byte-order mark at the very start is skipped and remembered.
//
// Files written with classic Mac OS line ends would be one single line by
// those rules, so a file whose first line (up to its first LF, or all of it)
// holds a CR followed by a byte other than CR and LF is read with CR, CR LF
// and LF each ending a line. The test looks only before the first LF, so
// that a file with LF line ends, CR CR LF ones included, is always read by the
// text-mode rules. It is made while streaming: lines are held back only while the bytes seen so
// far allow both readings.
enum class LineEnds { Undecided, CrLf, ClassicMac };

// Which line ends the file has, told from its first line while it streams
// in.
struct LineEndDetection {
    LineEnds Ends = LineEnds::Undecided;
    // While undecided, the bytes after the mark up to Scanned have been
    // looked at; they hold no LF, and from FirstCarriageReturn on only CRs.
    std::size_t Scanned = 0;
    std::size_t FirstCarriageReturn = 0;
    bool SawCarriageReturn = false;
    // A run of CRs too long for the buffer while undecided is counted rather
    // than kept: that many CRs belong at HeldAt, before the byte there.
    std::uint64_t HeldCarriageReturns = 0;
    std::size_t HeldAt = 0;
};

struct TextReader {
    PlatformFile File;
    const char* Path = nullptr;
    // Text held in memory, read instead of a file: what is left of it.
    bool FromMemory = false;
    std::string_view Memory;
    // Called before the reader waits for more input, so that converted lines
    // waiting in an output reach their file and a slowly fed input streams
    // through. False fails the read; the callee has printed its message.
    bool (*BeforeWaiting)(void* context) = nullptr;
    void* BeforeWaitingContext = nullptr;
    std::size_t Begin = 0;
    std::size_t End = 0;
    bool AtEnd = false;
    bool InLongLine = false;
    bool HadByteOrderMark = false;
    // The input ended at a byte 0x1A, and more bytes were read after it.
    bool EndedAtEndOfText = false;
    bool BytesAfterEndOfText = false;
    LineEndDetection Detection;
    // A classic Mac OS line ended in CR; an LF right after it is part of it.
    bool SkipLineFeed = false;
    // How many such LFs were passed over: each belongs to the line before,
    // for a reader that gives back every byte.
    std::uint64_t SkippedLineFeeds = 0;
    // The file's first bytes as read, a byte-order mark and 0x1A included.
    std::size_t FirstByteCount = 0;
    char FirstBytes[FirstBytesKept];
    // Room for a whole scanned line with its CR LF, plus a block to read into.
    char Buffer[ReadLimit + 2 + ReadBlockSize];
};

// What ended a line. A CR LF in a classic Mac OS file whose LF has not been
// read yet counts as a CR.
enum class LineEnd { None, Lf, CrLf, Cr };

struct TextLine {
    std::string_view Text; // without its line end
    bool Whole = true;     // false: more of the line follows, see NextLinePiece
    bool HasLineEnd = false;
    LineEnd End = LineEnd::None;
};

enum class ReadResult { Line, End, Failed };

// Prints "Error - could not open %s" (or "could not read %s") and fails.
bool OpenTextReader(const char* path, TextReader& reader);

// Reads the file at path whole, as it is, onto the end of bytes, for a
// program that reads it again in another way (text in UTF-16, the bytes after
// a 0x1A). Prints "Error - could not open %s", "could not read %s" or "out of
// memory reading %s" and fails.
bool ReadWholeFile(const char* path, std::string& bytes);

// Reads text held in memory by the same rules, as if it were the file at
// path (which messages name); text must outlive the reader. Cannot fail.
void OpenTextReaderOnText(const char* path, std::string_view text, TextReader& reader);

// The next line, or its first ReadLimit bytes when it is longer. Any part of
// the previous line that was not taken is skipped first.
ReadResult NextLine(TextReader& reader, TextLine& line);

// The next piece of a line that NextLine did not return whole; End once the
// line is complete. The last piece carries the line end, if the line had one.
ReadResult NextLinePiece(TextReader& reader, TextLine& piece);

bool CloseTextReader(TextReader& reader);

// Whether a file that starts with this line, up to its first LF, is read
// with classic Mac OS line ends: a CR in it is followed by a byte other than
// CR and LF.
bool ReadsWithClassicMacLineEnds(std::string_view firstLine);

// Text in UTF-16, which the converter reads as bytes, a zero byte in every
// other place: a UTF-16 byte-order mark at the start, or, over at least four
// bytes, zeros in every place of one parity and in no place of the other.
bool LooksLikeUtf16(std::string_view firstBytes);

// Whether the file the reader has read looks so, from its first bytes.
bool ReaderSawUtf16(const TextReader& reader);

// After the input ended at a byte 0x1A, whether more bytes follow it in the
// file; reads one byte when the reader has not seen any. False at a read
// error.
bool BytesFollowEndOfText(TextReader& reader);
