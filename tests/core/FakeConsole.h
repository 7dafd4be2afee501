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
};

class TFakeConsoleDevice final : public TConsoleDevice {
public:
    explicit TFakeConsoleDevice(TFakeScreen& screen) : screen_(screen) {}
    bool IsScreen() const override { return screen_.IsScreen; }
    void Write(std::string_view text) override { screen_.Text += text; }
    void SetHighlight(bool on) override { screen_.Text += on ? "<b>" : "</b>"; }
    void SetCursorVisible(bool) override {}
    bool ReadKeyPress(TKeyPress& key, uint32_t& error) override {
        if (screen_.Keys.empty()) {
            error = 6;
            return false;
        }
        key = screen_.Keys.front();
        screen_.Keys.pop_front();
        return true;
    }

private:
    TFakeScreen& screen_;
};

class TFakeLog final : public TLogSink {
public:
    explicit TFakeLog(std::string& text) : text_(text) {}
    void Write(std::string_view text) override { text_ += text; }
    void Flush() override {}

private:
    std::string& text_;
};

inline std::unique_ptr<TConsole> MakeConsole(TFakeScreen& screen, int width, int height = 0) {
    return std::make_unique<TConsole>(std::make_unique<TFakeConsoleDevice>(screen), width, height);
}
