// A console device that records what is written and replays scripted keys.
#pragma once

#include "console/Console.h"

#include <deque>
#include <memory>
#include <string>

struct TFakeScreen {
    std::string Text;           // everything written, highlighting marked as <b> and </b>
    std::deque<TKeyPress> Keys; // the keys still to be pressed; then input error 6
    bool IsScreen = true;       // a console rather than a file
    uint32_t WriteError = 0;    // when set, writes fail with it and write nothing
    bool Interrupted = false;   // input was interrupted: reading fails with 995
};

class TFakeConsoleDevice final : public TConsoleDevice {
public:
    explicit TFakeConsoleDevice(TFakeScreen& screen) : screen_(screen) {}
    bool IsScreen() const override { return screen_.IsScreen; }
    uint32_t Write(std::string_view text) override {
        if (screen_.WriteError == 0)
            screen_.Text += text;
        return screen_.WriteError;
    }
    void SetHighlight(bool on) override { screen_.Text += on ? "<b>" : "</b>"; }
    void SetCursorVisible(bool) override {}
    bool ReadKeyPress(TKeyPress& key, uint32_t& error) override {
        if (screen_.Interrupted || screen_.Keys.empty()) {
            error = screen_.Interrupted ? 995 : 6;
            return false;
        }
        key = screen_.Keys.front();
        screen_.Keys.pop_front();
        return true;
    }
    void InterruptInput() override { screen_.Interrupted = true; }

private:
    TFakeScreen& screen_;
};

// A log kept in text; while *error (when given) is set, writes fail with it.
class TFakeLog final : public TLogSink {
public:
    explicit TFakeLog(std::string& text, const uint32_t* error = nullptr)
        : text_(text), error_(error) {}
    uint32_t Write(std::string_view text) override {
        if (Error() == 0)
            text_ += text;
        return Error();
    }
    uint32_t Flush() override { return Error(); }

private:
    uint32_t Error() const { return error_ != nullptr ? *error_ : 0; }
    std::string& text_;
    const uint32_t* error_;
};

inline std::unique_ptr<TConsole> MakeConsole(TFakeScreen& screen, int width, int height = 0) {
    return std::make_unique<TConsole>(std::make_unique<TFakeConsoleDevice>(screen), width, height);
}
