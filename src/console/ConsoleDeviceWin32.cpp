// The program's console on standard output and input.
#include "console/Console.h"

#include "system/UniqueHandle.h"
#include "system/Utf8.h"
#include "system/WinApi.h"

#include <vector>

namespace {

// Width and pages when standard output is a file or a pipe: wrapping and
// line fitting need a width, and such output is never paused.
constexpr int kRedirectedWidth = 80;
constexpr int kNeverPause = 0;

class TWin32ConsoleDevice final : public TConsoleDevice {
public:
    TWin32ConsoleDevice()
        : output_(GetStdHandle(STD_OUTPUT_HANDLE)), input_(GetStdHandle(STD_INPUT_HANDLE)) {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        isConsole_ = GetConsoleScreenBufferInfo(output_, &info) != 0;
        width_ = isConsole_ ? info.dwSize.X : kRedirectedWidth;
        height_ = isConsole_ ? info.dwSize.Y : kNeverPause;
    }

    int Width() const { return width_; }
    bool IsScreen() const override { return isConsole_; }
    int Height() const { return height_; }

    uint32_t Write(std::string_view text) override {
        if (text.empty())
            return 0;
        const std::u16string wide = Utf8ToWide(text);
        return isConsole_ ? WriteToConsole(wide) : WriteToFile(ToOem(wide));
    }

    void SetHighlight(bool on) override {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        if (!GetConsoleScreenBufferInfo(output_, &info))
            return;
        const WORD attributes = on ? (info.wAttributes | FOREGROUND_INTENSITY)
                                   : (info.wAttributes & ~FOREGROUND_INTENSITY);
        SetConsoleTextAttribute(output_, attributes);
    }

    void SetCursorVisible(bool visible) override {
        CONSOLE_CURSOR_INFO info{};
        if (!GetConsoleCursorInfo(output_, &info))
            return;
        info.bVisible = visible ? TRUE : FALSE;
        SetConsoleCursorInfo(output_, &info);
    }

    bool ReadKeyPress(TKeyPress& key, uint32_t& error) override {
        for (;;) {
            if (WaitForInputOrInterrupt() == WAIT_OBJECT_0) {
                error = ERROR_OPERATION_ABORTED;
                return false;
            }
            INPUT_RECORD record{};
            DWORD read = 0;
            if (!ReadConsoleInputA(input_, &record, 1, &read)) {
                error = GetLastError();
                return false;
            }
            if (read == 1 && record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) {
                key.VirtualKey = record.Event.KeyEvent.wVirtualKeyCode;
                key.Character = record.Event.KeyEvent.uChar.AsciiChar;
                return true;
            }
        }
    }

    void InterruptInput() override { SetEvent(interrupt_.Get()); }

private:
    // Input that is no console is not waited for: reading it fails at once.
    DWORD WaitForInputOrInterrupt() const {
        DWORD mode = 0;
        if (!GetConsoleMode(input_, &mode))
            return WAIT_OBJECT_0 + 1;
        HANDLE handles[] = {interrupt_.Get(), input_};
        return WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    }

    // A console shows wide text as it is, whatever its code pages.
    uint32_t WriteToConsole(const std::u16string& text) {
        const wchar_t* data = reinterpret_cast<const wchar_t*>(text.data());
        size_t left = text.size();
        while (left > 0) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(left < 16384 ? left : 16384);
            if (!WriteConsoleW(output_, data, chunk, &written, nullptr) || written == 0)
                return GetLastError();
            data += written;
            left -= written;
        }
        return 0;
    }

    // Files and pipes get the OEM code page, as the console of old showed
    // it; a character that code page lacks becomes its default character.
    static std::vector<char> ToOem(const std::u16string& text) {
        const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
        const int units = static_cast<int>(text.size());
        std::vector<char> oem(static_cast<size_t>(
            WideCharToMultiByte(CP_OEMCP, 0, wide, units, nullptr, 0, nullptr, nullptr)));
        WideCharToMultiByte(CP_OEMCP, 0, wide, units, oem.data(), static_cast<int>(oem.size()),
                            nullptr, nullptr);
        return oem;
    }

    uint32_t WriteToFile(const std::vector<char>& bytes) {
        const char* data = bytes.data();
        size_t left = bytes.size();
        while (left > 0) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(left < (1u << 20) ? left : (1u << 20));
            if (!WriteFile(output_, data, chunk, &written, nullptr) || written == 0)
                return GetLastError();
            data += written;
            left -= written;
        }
        return 0;
    }

    HANDLE output_;
    HANDLE input_;
    // Manual reset: once interrupted, input stays interrupted.
    TKernelHandle interrupt_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    bool isConsole_ = false;
    int width_ = kRedirectedWidth;
    int height_ = kNeverPause;
};

} // namespace

TConsole& Console() {
    static TConsole console = [] {
        auto device = std::make_unique<TWin32ConsoleDevice>();
        const int width = device->Width();
        const int height = device->Height();
        return TConsole(std::move(device), width, height);
    }();
    return console;
}
