#include "console/LogFile.h"

#include "Packages/Files/FileFunc.h"
#include "console/Console_ENG.h"
#include "console/LogHeader.h"
#include "console/OutputCheck.h"
#include "engine/FileReader.h"
#include "system/AnsiText.h"
#include "system/LxSys.h"
#include "system/Process.h"

#include <memory>

namespace {

// The log's file behind a buffer; a failed write gives the system's error code.
class TLogFileSink final : public TLogSink {
public:
    explicit TLogFileSink(TFileHandle file) : file_(std::move(file)) {}
    // The owner flushes before closing; whatever is left is written as far as it goes.
    ~TLogFileSink() override { Flush(); }

    uint32_t Write(std::string_view text) override {
        buffer_.append(text);
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
    static constexpr size_t kBufferSize = 64 * 1024;
    TFileHandle file_;
    std::string buffer_;
};

// Whether the log may replace the file fileName: there is none (or one the
// output check will refuse with its own message), or it is empty or a log
// of this program. A file that cannot be read is left alone.
bool MayReplace(const std::u16string& fileName, std::string_view productName) {
    const TFileHandle file = OpenForReading(fileName);
    if (!file.Valid())
        return true;
    std::string start(LogHeaderLine(productName).size() + 1, '\0');
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
        ConsoleWriteLine(WideToAnsi(fileName));
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
                 " by command-line:\r\n" + ProcessCommandLineA() + "\r\n");
    return true;
}

bool LogIsOpen() {
    return Console().LogIsOpen();
}

void WriteLogLine(std::string_view text) {
    Console().WriteLogLine(text);
}
