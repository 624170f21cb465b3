#include "TextReader.h"
#include "TextWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

constexpr std::size_t ReaderBufferSize = sizeof(TextReader::Buffer);

struct ReadLine {
    std::string Text; // the pieces of a long line joined
    bool Whole;
    bool HasLineEnd;

    bool operator==(const ReadLine&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ReadLine& line) {
    out << "{" << line.Text.size() << " bytes";
    if (line.Text.size() <= 40) {
        out << " \"";
        for (const char c : line.Text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte > 0x7E) {
                out << "\\x" << std::hex << static_cast<int>(byte) << std::dec;
            } else {
                out << c;
            }
        }
        out << "\"";
    }
    return out << (line.Whole ? ", whole" : ", in pieces")
               << (line.HasLineEnd ? ", line end}" : ", no line end}");
}

// Each test gets a fresh directory of its own, removed afterwards.
class FileTest : public testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        do {
            Directory = std::filesystem::temp_directory_path() /
                        ("tarvelin-" + std::string(test->name()) + "-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(Directory));
    }

    void TearDown() override { std::filesystem::remove_all(Directory); }

    std::string WriteFile(const std::string& bytes) {
        const std::string path = (Directory / ("file" + std::to_string(++Files))).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path Directory;
    int Files = 0;
};

using TextReaderTest = FileTest;
using TextWriterTest = FileTest;

// Every line left in the reader, each long line read to its end piece by
// piece; the reader is closed.
std::vector<ReadLine> ReadAll(TextReader& reader) {
    std::vector<ReadLine> lines;
    TextLine line;
    ReadResult result;
    while ((result = NextLine(reader, line)) == ReadResult::Line) {
        ReadLine read{std::string(line.Text), line.Whole, line.HasLineEnd};
        TextLine piece;
        while ((result = NextLinePiece(reader, piece)) == ReadResult::Line) {
            EXPECT_FALSE(read.Whole || read.HasLineEnd) << "a piece after the end of a line";
            read.Text += piece.Text;
            read.HasLineEnd = piece.HasLineEnd;
        }
        EXPECT_EQ(result, ReadResult::End);
        lines.push_back(std::move(read));
    }
    EXPECT_EQ(result, ReadResult::End);
    EXPECT_TRUE(CloseTextReader(reader));
    return lines;
}

std::vector<ReadLine> ReadAll(const std::string& path, bool* hadByteOrderMark = nullptr) {
    auto reader = std::make_unique<TextReader>();
    EXPECT_TRUE(OpenTextReader(path.c_str(), *reader));
    if (hadByteOrderMark != nullptr) {
        *hadByteOrderMark = reader->HadByteOrderMark;
    }
    return ReadAll(*reader);
}

// What the lines of a file are by the text-mode rules, worked out
// independently of the reader: the input ends at 0x1A, a line ends at LF, and
// one CR right before that LF belongs to the line end. When the text before
// the first LF holds a CR followed by any byte but CR and LF, every CR LF, CR
// and LF ends a line instead.
std::vector<ReadLine> ExpectedLines(std::string bytes) {
    bytes = bytes.substr(0, bytes.find('\x1A'));
    const std::string firstLine = bytes.substr(0, bytes.find('\n'));
    bool classicMac = false;
    for (std::size_t i = 0; i + 1 < firstLine.size(); ++i) {
        classicMac = classicMac || (firstLine[i] == '\r' && firstLine[i + 1] != '\r');
    }
    std::vector<ReadLine> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find_first_of(classicMac ? "\r\n" : "\n", start);
        const bool hasLineEnd = end != std::string::npos;
        std::string text = bytes.substr(start, hasLineEnd ? end - start : std::string::npos);
        if (hasLineEnd && !classicMac && !text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        const bool whole = text.size() <= ReadLimit;
        lines.push_back({std::move(text), whole, hasLineEnd});
        start = !hasLineEnd                                        ? bytes.size()
                : bytes.compare(end, 2, "\r\n") == 0 && classicMac ? end + 2
                                                                   : end + 1;
    }
    return lines;
}

struct ReaderRow {
    const char* Name;
    std::string Bytes;
    std::vector<ReadLine> Lines;
};

TEST_F(TextReaderTest, LineEndsAndEndOfText) {
    const std::vector<ReaderRow> rows = {
        {"empty file", "", {}},
        {"LF", "a\nb\n", {{"a", true, true}, {"b", true, true}}},
        {"CR LF", "a\r\nb\r\n", {{"a", true, true}, {"b", true, true}}},
        {"empty lines", "\n\r\n\n", {{"", true, true}, {"", true, true}, {"", true, true}}},
        {"lone CR after the first LF is text",
         "x\na\rb\n",
         {{"x", true, true}, {"a\rb", true, true}}},
        {"CR CR LF", "a\r\r\n", {{"a\r", true, true}}},
        {"CR CR LF, CR text later", "a\r\r\nb\rc\n", {{"a\r", true, true}, {"b\rc", true, true}}},
        {"CR at the very end", "a\r", {{"a\r", true, false}}},
        {"only CRs", "\r\r\r", {{"\r\r\r", true, false}}},
        {"CR only", "a\rb\r", {{"a", true, true}, {"b", true, true}}},
        {"CR only, last line without line end", "a\rb", {{"a", true, true}, {"b", true, false}}},
        {"CR only, empty lines first",
         "\r\rb",
         {{"", true, true}, {"", true, true}, {"b", true, false}}},
        {"CR only, CR CR then text",
         "a\r\rb",
         {{"a", true, true}, {"", true, true}, {"b", true, false}}},
        {"CR only, then CR LF and LF",
         "a\rb\r\nc\nd\r\r\ne\r\n",
         {{"a", true, true},
          {"b", true, true},
          {"c", true, true},
          {"d", true, true},
          {"", true, true},
          {"e", true, true}}},
        {"CR only, 0x1A after a line", "a\rb\r\x1A\nc", {{"a", true, true}, {"b", true, true}}},
        {"CR before 0x1A decides nothing",
         "a\r\x1A"
         "b\rc",
         {{"a\r", true, false}}},
        {"last line without line end", "a\nb", {{"a", true, true}, {"b", true, false}}},
        {"0x1A mid-line", "a\x1Az\nc\n", {{"a", true, false}}},
        {"0x1A first", "\x1Azz\n", {}},
        {"0x1A after a line", "a\nb\x1A\nc", {{"a", true, true}, {"b", true, false}}},
        {"0x1A after CR", "a\r\x1A\n", {{"a\r", true, false}}},
        {"NUL is text", "a\0b\n"s, {{"a\0b"s, true, true}}},
    };
    for (const ReaderRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(ReadAll(WriteFile(row.Bytes)), row.Lines);
    }
}

TEST_F(TextReaderTest, ByteOrderMarkSkippedOnlyAtTheStart) {
    const struct {
        const char* Name;
        std::string Bytes;
        bool HadByteOrderMark;
        std::vector<ReadLine> Lines;
    } rows[] = {
        {"mark and a line", "\xEF\xBB\xBF\"a\r\n", true, {{"\"a", true, true}}},
        {"mark only", "\xEF\xBB\xBF", true, {}},
        {"mark then line end", "\xEF\xBB\xBF\n", true, {{"", true, true}}},
        {"cut inside the mark", "\xEF\xBB", false, {{"\xEF\xBB", true, false}}},
        {"0x1A inside the mark", "\xEF\xBB\x1A\xBFz", false, {{"\xEF\xBB", true, false}}},
        {"second mark is text",
         "\xEF\xBB\xBF\xEF\xBB\xBFz",
         true,
         {{"\xEF\xBB\xBFz", true, false}}},
        {"mark after the start", "a\xEF\xBB\xBF", false, {{"a\xEF\xBB\xBF", true, false}}},
        {"mark, then CR only",
         "\xEF\xBB\xBF\"a\r1 2\r",
         true,
         {{"\"a", true, true}, {"1 2", true, true}}},
        {"mark on the second line",
         "a\n\xEF\xBB\xBF",
         false,
         {{"a", true, true}, {"\xEF\xBB\xBF", true, false}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        bool hadByteOrderMark = !row.HadByteOrderMark;
        EXPECT_EQ(ReadAll(WriteFile(row.Bytes), &hadByteOrderMark), row.Lines);
        EXPECT_EQ(hadByteOrderMark, row.HadByteOrderMark);
    }
}

TEST_F(TextReaderTest, LongLinesAroundTheReadLimit) {
    const std::string limit(ReadLimit, 'x');
    const std::string huge(3 * ReaderBufferSize, 'x');
    const std::string crs(2 * ReaderBufferSize + 5, '\r');
    std::vector<ReaderRow> rows = {
        {"ReadLimit, LF", limit + "\nz", {{limit, true, true}, {"z", true, false}}},
        {"ReadLimit, CR LF", limit + "\r\nz", {{limit, true, true}, {"z", true, false}}},
        {"ReadLimit, CR kept", limit + "\r", {{limit + "\r", false, false}}},
        {"ReadLimit, end of file", limit, {{limit, true, false}}},
        {"ReadLimit + 1", limit + "y\nz\n", {{limit + "y", false, true}, {"z", true, true}}},
        {"ReadLimit + 1, CR LF",
         limit + "y\r\nz",
         {{limit + "y", false, true}, {"z", true, false}}},
        {"ReadLimit + 1, end of file", limit + "y", {{limit + "y", false, false}}},
        {"ReadLimit - 1, CR CR LF",
         limit.substr(1) + "\r\r\n",
         {{limit.substr(1) + "\r", true, true}}},
        {"ReadLimit, CR only", limit + "\rz", {{limit, true, true}, {"z", true, false}}},
        {"ReadLimit + 1, CR only",
         limit + "y\rz",
         {{limit + "y", false, true}, {"z", true, false}}},
        {"CR only decided far into a long line",
         huge + "\rz\r",
         {{huge, false, true}, {"z", true, true}}},
        {"CRs beyond the buffer, then LF",
         "a"s + crs + "\nz",
         {{"a"s + crs.substr(1), false, true}, {"z", true, false}}},
        {"CRs beyond the buffer, then the end", "a"s + crs, {{"a"s + crs, false, false}}},
    };
    // Counted rather than kept while they decide nothing, and each a line end
    // once a byte other than CR and LF follows them.
    for (const std::string& first : {std::string("a"), limit + "y"}) {
        ReaderRow row{"CRs beyond the buffer, then text", first + crs + "z", {}};
        row.Lines.push_back({first, first.size() <= ReadLimit, true});
        row.Lines.insert(row.Lines.end(), crs.size() - 1, {"", true, true});
        row.Lines.push_back({"z", true, false});
        rows.push_back(std::move(row));
    }
    for (const ReaderRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(ReadAll(WriteFile(row.Bytes)), row.Lines);
    }
}

// A CR LF, a lone CR or a 0x1A right at, before or after every place where
// the reader's buffer may end, in one long line or between two lines that
// are each whole. In one long first line a lone CR or CR CR followed by
// text is what decides for classic Mac OS line ends.
TEST_F(TextReaderTest, LineEndsAtEveryBufferBoundary) {
    for (const std::size_t boundary : {ReadLimit, ReadLimit + 2, ReadBlockSize, ReaderBufferSize,
                                       2 * ReaderBufferSize - ReadLimit, 2 * ReaderBufferSize}) {
        for (std::size_t offset = boundary - 3; offset <= boundary + 2; ++offset) {
            for (const std::string ending : {"\r\n", "\r", "\r\x1A", "\n", "\r\r", "\r\r\n"}) {
                SCOPED_TRACE(testing::Message() << "ending at " << offset << " near " << boundary);
                std::vector<std::string> files = {std::string(offset, 'L')};
                const std::string first = std::string(ReadLimit, 'a') + "\r\n";
                if (offset > first.size()) {
                    files.push_back(first + std::string(offset - first.size(), 'b'));
                }
                for (std::string& bytes : files) {
                    bytes += ending + "next\r\n";
                    EXPECT_EQ(ReadAll(WriteFile(bytes)), ExpectedLines(bytes));
                }
            }
        }
    }
}

// Lines of every kind and length in random order, with random line ends,
// against the rules worked out independently. Every other file starts with a
// line without CR, so that lone CRs later stay text.
TEST_F(TextReaderTest, RandomLinesMatchTheRules) {
    std::mt19937 random(20240611);
    const std::size_t lengths[] = {0,
                                   1,
                                   2,
                                   80,
                                   ReadLimit - 1,
                                   ReadLimit,
                                   ReadLimit + 1,
                                   2 * ReadLimit + 3,
                                   3 * ReaderBufferSize};
    for (int file = 0; file < 8; ++file) {
        std::string bytes = file % 2 == 0 ? "\"first\r\n" : "";
        for (int line = 0; line < 40; ++line) {
            const std::size_t length =
                random() % 3 == 0 ? lengths[random() % std::size(lengths)] : random() % 200;
            for (std::size_t i = 0; i < length; ++i) {
                // Mostly digits and blanks, with some CR and LF.
                static const char Bytes[] = "0123456789 .e\r\r\t\"\n";
                bytes += Bytes[random() % (sizeof Bytes - 1)];
            }
            static const char* const Endings[] = {"\r\n", "\n", "\r"};
            bytes += Endings[random() % 3];
        }
        SCOPED_TRACE(testing::Message() << "file " << file << " of " << bytes.size() << " bytes");
        EXPECT_EQ(ReadAll(WriteFile(bytes)), ExpectedLines(bytes));
    }
}

TEST_F(TextReaderTest, NextLineSkipsTheRestOfALongLine) {
    const std::string path = WriteFile(std::string(1 << 20, 'x') + "\r\n1 2\r\n");
    auto reader = std::make_unique<TextReader>();
    ASSERT_TRUE(OpenTextReader(path.c_str(), *reader));
    TextLine line;
    ASSERT_EQ(NextLine(*reader, line), ReadResult::Line);
    EXPECT_EQ(line.Text.size(), ReadLimit);
    EXPECT_FALSE(line.Whole);
    ASSERT_EQ(NextLine(*reader, line), ReadResult::Line);
    EXPECT_EQ(line.Text, "1 2");
    EXPECT_TRUE(line.Whole);
    EXPECT_TRUE(line.HasLineEnd);
    EXPECT_EQ(NextLine(*reader, line), ReadResult::End);
    EXPECT_TRUE(CloseTextReader(*reader));
}

// Output converted so far reaches its file before the reader waits for more
// input.
TEST_F(TextReaderTest, FlushesTheWriterBeforeReadingMore) {
    const std::string input = WriteFile(std::string(3 * ReaderBufferSize, 'x') + "\n");
    const std::string output = (Directory / "out").string();
    auto writer = std::make_unique<TextWriter>();
    auto reader = std::make_unique<TextReader>();
    ASSERT_TRUE(OpenTextWriter(output.c_str(), *writer));
    ASSERT_TRUE(OpenTextReader(input.c_str(), *reader));
    reader->BeforeWaiting = FlushTextWriterBeforeWaiting;
    reader->BeforeWaitingContext = writer.get();
    // The lines go to the file that takes the output's place at the end.
    const std::string written = writer->Replacement.TemporaryPath;
    ASSERT_FALSE(written.empty());
    EXPECT_TRUE(WriteText(*writer, "converted"));
    EXPECT_EQ(ReadFile(written), "");
    EXPECT_EQ(ReadAll(*reader).size(), 1U);
    EXPECT_EQ(ReadFile(written), "converted");
    EXPECT_TRUE(CloseTextWriter(*writer));
    EXPECT_EQ(ReadFile(output), "converted");
}

TEST_F(TextReaderTest, FailsToOpenADirectoryOrAMissingFile) {
    for (const std::string& path :
         {Directory.string(), (Directory / "missing").string(), (Directory / "no/such").string()}) {
        auto reader = std::make_unique<TextReader>();
        testing::internal::CaptureStdout();
        EXPECT_FALSE(OpenTextReader(path.c_str(), *reader));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error - could not open " + path + "\n");
    }
}

TEST_F(TextWriterTest, WritesEveryByteWithCrLfLineEnds) {
    const std::string path = (Directory / "out").string();
    auto writer = std::make_unique<TextWriter>();
    ASSERT_TRUE(OpenTextWriter(path.c_str(), *writer));
    std::string expected;
    // Small pieces across many buffer boundaries, then one piece larger than
    // the buffer, then room reserved right at the end of the buffer.
    for (int i = 0; i < 30000; ++i) {
        const std::string text = std::to_string(i * 7919);
        EXPECT_TRUE(WriteText(*writer, text));
        EXPECT_TRUE(WriteLineEnd(*writer));
        expected += text + "\r\n";
    }
    const std::string large(3 * WriteBlockSize + 17, 'q');
    EXPECT_TRUE(WriteText(*writer, large));
    expected += large;
    // Room for exactly the reserved bytes, then for one byte less.
    for (const std::size_t left : {10, 9}) {
        const std::string filler(WriteBlockSize - writer->Used - left, 'f');
        EXPECT_TRUE(WriteText(*writer, filler));
        char* const room = ReserveText(*writer, 10);
        std::memcpy(room, "0123456789", 10);
        CommitText(*writer, room + 10);
        EXPECT_LE(writer->Used, sizeof writer->Buffer) << left << " bytes left";
        expected += filler + "0123456789";
        EXPECT_TRUE(FlushTextWriter(*writer));
    }
    EXPECT_TRUE(WriteLineEnd(*writer));
    expected += "\r\n";
    EXPECT_TRUE(CloseTextWriter(*writer));
    EXPECT_EQ(ReadFile(path), expected);
}

TEST_F(TextWriterTest, FailsToOpenInAMissingDirectory) {
    const std::string path = (Directory / "no" / "out").string();
    auto writer = std::make_unique<TextWriter>();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(OpenTextWriter(path.c_str(), *writer));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error - could not open " + path + " for writing\n");
}

// A full disk shows when the buffer is handed to the file, at once for a
// write larger than the buffer: the failure is reported there, once, and
// everything after it fails too.
TEST_F(TextWriterTest, FullDeviceFailsOnceAtTheFirstFailure) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    for (const std::size_t size : {std::size_t{1}, WriteBlockSize + 1}) {
        SCOPED_TRACE(testing::Message() << size << " bytes");
        auto writer = std::make_unique<TextWriter>();
        ASSERT_TRUE(OpenTextWriter("/dev/full", *writer));
        testing::internal::CaptureStdout();
        const bool written = WriteText(*writer, std::string(size, 'x'));
        EXPECT_EQ(written, size <= WriteBlockSize);
        EXPECT_FALSE(written && FlushTextWriter(*writer));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error - could not write /dev/full\n");
        testing::internal::CaptureStdout();
        EXPECT_FALSE(WriteText(*writer, "more"));
        EXPECT_FALSE(WriteLineEnd(*writer));
        EXPECT_FALSE(FlushTextWriter(*writer));
        EXPECT_FALSE(CloseTextWriter(*writer));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    }
}

} // namespace
