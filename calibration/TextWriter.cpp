#include "TextWriter.h"

#include "Messages.h"

#include <cstring>

namespace {

bool ReportWriteFailure(TextWriter& writer) {
    if (!writer.Failed) {
        PrintMessage("Error - could not write %s\n", writer.Path);
        writer.Failed = true;
    }
    return false;
}

} // namespace

bool OpenTextWriter(const char* path, TextWriter& writer) {
    writer.Path = path;
    if (!OpenForReplacing(path, writer.File, writer.Replacement)) {
        PrintMessage("Error - could not open %s for writing\n", path);
        return false;
    }
    return true;
}

bool FlushTextWriter(TextWriter& writer) {
    // After a failure the buffered bytes are dropped, so the buffer always
    // has room again.
    const std::size_t used = writer.Used;
    writer.Used = 0;
    if (writer.Failed) {
        return false;
    }
    if (used > 0 && !WriteAll(writer.File, writer.Buffer, used)) {
        return ReportWriteFailure(writer);
    }
    return true;
}

bool FlushTextWriterBeforeWaiting(void* writer) {
    return FlushTextWriter(*static_cast<TextWriter*>(writer));
}

bool WriteText(TextWriter& writer, std::string_view text) {
    if (text.size() > sizeof writer.Buffer - writer.Used) {
        if (!FlushTextWriter(writer)) {
            return false;
        }
        if (text.size() > sizeof writer.Buffer) {
            return WriteAll(writer.File, text.data(), text.size()) || ReportWriteFailure(writer);
        }
    }
    std::memcpy(writer.Buffer + writer.Used, text.data(), text.size());
    writer.Used += text.size();
    return !writer.Failed;
}

bool WriteLineEnd(TextWriter& writer) {
    return WriteText(writer, "\r\n");
}

bool CloseTextWriter(TextWriter& writer) {
    if (!FlushTextWriter(writer)) {
        DiscardTextWriter(writer);
        return false;
    }
    return FinishReplacing(writer.File, writer.Replacement) || ReportWriteFailure(writer);
}

void DiscardTextWriter(TextWriter& writer) {
    AbandonReplacing(writer.File, writer.Replacement);
}
