#include "console/LogFile.h"

#include "Packages/Files/FileFunc.h"
#include "console/Console_ENG.h"
#include "console/LogHeader.h"
#include "console/OutputCheck.h"
#include "console/Text.h"
#include "system/AnsiText.h"
#include "system/LxSys.h"
#include "system/Process.h"
#include "system/Utf8.h"

#include <algorithm>
#include <memory>

namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The log's file behind a buffer; a failed write gives the system's error
// code. The log is ANSI text, as lists are, until a line holds a character
// the ANSI code page lacks: then what was written is turned into UTF-8
// behind a byte-order mark, and the rest follows in UTF-8.
class TLogFileSink final : public TLogSink {
public:
    explicit TLogFileSink(TFileHandle file) : file_(std::move(file)) {}
    // The owner flushes before closing; whatever is left is written as far as it goes.
    ~TLogFileSink() override { Flush(); }

    uint32_t Write(std::string_view text) override {
        if (utf8_ || IsAscii(text)) {
            buffer_.append(text);
        } else if (const std::u16string wide = Utf8ToWide(text); FitsAnsiCodePage(wide)) {
            buffer_.append(WideToAnsi(wide));
        } else {
            if (const uint32_t error = SwitchToUtf8(); error != 0)
                return error;
            buffer_.append(text);
        }
        return buffer_.size() >= kBufferSize ? Flush() : 0;
    }

    uint32_t Flush() override {
        // A message may be logged between a failure and the caller's look
        // at FileLastError: the log leaves it as it was.
        const uint32_t lastError = FileLastError;
        const uint32_t error = WideWriteFile(file_, buffer_);
        FileLastError = lastError;
        buffer_.clear();
        return error;
    }

private:
    // Reads back what the log holds and writes it again as UTF-8 from the
    // start; the longer text covers all of the old.
    uint32_t SwitchToUtf8() {
        const uint32_t lastError = FileLastError;
        uint32_t error = Flush();
        std::string written;
        if (error == 0)
            error = WideSetFilePosition(file_, 0);
        char chunk[4096];
        for (uint32_t read = 1; error == 0 && read > 0;) {
            error = ReadChunk(file_, chunk, sizeof chunk, read);
            written.append(chunk, error == 0 ? read : 0);
        }
        if (error == 0)
            error = WideSetFilePosition(file_, 0);
        if (error == 0)
            error = WideWriteFile(file_, std::string(kUtf8ByteOrderMark) +
                                             WideToUtf8(AnsiToWide(written)));
        utf8_ = true;
        FileLastError = lastError;
        return error;
    }

    static constexpr size_t kBufferSize = 64 * 1024;
    TFileHandle file_;
    std::string buffer_;
    bool utf8_ = false;
};

// Whether the log may replace the file fileName: there is none (or one the
// output check will refuse with its own message), or it is empty or a log
// of this program. A file that cannot be read is left alone.
bool MayReplace(const std::u16string& fileName, std::string_view productName) {
    const TFileHandle file = OpenForReading(fileName);
    if (!file.Valid())
        return true;
    std::string start(kUtf8ByteOrderMark.size() + LogHeaderLine(productName).size() + 1, '\0');
    uint32_t read = 0;
    if (ReadChunk(file, start.data(), static_cast<uint32_t>(start.size()), read) != 0)
        return false;
    start.resize(read);
    return IsReplaceableByLog(start, productName);
}

} // namespace

bool OpenLogFile(const std::u16string& fileName, std::string_view productName,
                 std::string_view webAddress) {
    if (!MayReplace(fileName, productName)) {
        ConsoleWriteLine(msg::NotALogLeftAlone);
        ConsoleWriteLine(ShownName(fileName));
        return false;
    }
    // An existing log is replaced without a question.
    if (!CheckOutputFileSimple(fileName, true))
        return false;
    TFileHandle file = WideCreateLogFile(fileName);
    if (!file) {
        const uint32_t error = FileLastError;
        ConsoleWriteLine("\r\nCan't create log-file.", false, false, 0, false);
        WriteSystemError(error, 0);
        return false;
    }
    Console().OpenLog(std::make_unique<TLogFileSink>(std::move(file)));
    WriteLogLine(LogHeaderLine(productName) + "\r\nGo to " + std::string(webAddress) +
                 " to get your own copy for free.\r\n\r\nVersion [" + ProgramVersionText() +
                 "]\r\n");
    WriteLogLine("Started on " + LocalDateText() + " at " + LocalTimeText() +
                 " by command-line:\r\n" + WideToUtf8(ProcessCommandLineW()) + "\r\n");
    return true;
}

bool LogIsOpen() {
    return Console().LogIsOpen();
}

void WriteLogLine(std::string_view text) {
    Console().WriteLogLine(text);
}
