#include "console/LogFile.h"

#include "system/HandlesWin32.h"

namespace {

class TLogFileSink final : public TLogSink {
public:
    explicit TLogFileSink(win::UniqueFile file) : file_(std::move(file)) {}
    ~TLogFileSink() override {
        try {
            Flush();
        } catch (const EInOutError&) {
            // The owner flushes before closing; a destructor cannot report.
        }
    }

    void Write(std::string_view text) override {
        buffer_.append(text);
        if (buffer_.size() >= kBufferSize)
            Flush();
    }

    void Flush() override {
        const char* data = buffer_.data();
        size_t left = buffer_.size();
        while (left > 0) {
            DWORD written = 0;
            if (!WriteFile(file_.Get(), data, static_cast<DWORD>(left), &written, nullptr) ||
                written == 0) {
                const DWORD error = GetLastError();
                buffer_.clear();
                throw EInOutError(error);
            }
            data += written;
            left -= written;
        }
        buffer_.clear();
    }

private:
    static constexpr size_t kBufferSize = 64 * 1024;
    win::UniqueFile file_;
    std::string buffer_;
};

} // namespace

std::unique_ptr<TLogSink> CreateLogFileSink(const std::u16string& fileName) {
    win::UniqueFile file(CreateFileW(win::Wide(fileName), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return nullptr;
    return std::make_unique<TLogFileSink>(std::move(file));
}
