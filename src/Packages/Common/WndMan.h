// Hidden windows: message-only windows that receive timer ticks and
// messages on the thread that created them, through its message loop.
#pragma once

#include "system/UniqueHandle.h"

#include <cstdint>
#include <functional>
#include <string>

constexpr uint32_t WM_TIMER_ID = 0x0113;

class THiddenWindow {
public:
    // Handles every message after the system's default handling.
    using TMessageHandler =
        std::function<void(uint32_t message, uintptr_t wParam, intptr_t lParam)>;

    // Registers the class "=Dummy_Window_Class=" + classSuffix (once per
    // process) and creates a window of it; Valid() tells whether that worked.
    THiddenWindow(const std::string& classSuffix, TMessageHandler handler);
    ~THiddenWindow();
    THiddenWindow(const THiddenWindow&) = delete;
    THiddenWindow& operator=(const THiddenWindow&) = delete;

    bool Valid() const { return window_.Valid(); }
    // Starts (or restarts with a new period) timer id; its ticks reach the
    // handler as WM_TIMER_ID with wParam = id. False when the system refuses.
    bool StartTimer(uintptr_t id, uint32_t intervalMs);
    void StopTimer(uintptr_t id);

private:
    TWindowHandle window_;
    TMessageHandler handler_;
    friend struct THiddenWindowProc;
};
