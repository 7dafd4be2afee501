// The running process: its command line, the main thread's message loop,
// console control events and code pages, and the clock as the user reads it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The command line exactly as the system reports it.
std::u16string ProcessCommandLineW();

uint32_t CurrentThreadId();

struct TThreadMessage {
    uint32_t Id = 0;
    uintptr_t WParam = 0;
    intptr_t LParam = 0;
};

constexpr uint32_t WM_QUIT_ID = 18;

// Posts a message to a thread's queue; false when the thread has no queue.
bool PostThreadMessageTo(uint32_t threadId, const TThreadMessage& message);

// Runs the calling thread's message loop until the quit message: handle sees
// every message first, then it is dispatched (window messages reach their
// windows, synchronised calls run).
void RunMessageLoop(const std::function<void(const TThreadMessage&)>& handle);

// Installs handler for console control events (Ctrl+C = 0, Ctrl+Break = 1,
// close = 2, ...); it runs on a thread of the system's. Only one at a time.
void InstallConsoleControlHandler(std::function<bool(uint32_t)> handler);
void RemoveConsoleControlHandler();

// Sets the console's input and output code pages to the ANSI code page of
// the current keyboard layout's language.
void SetConsoleCodePagesFromKeyboard();

// The current date in the user's short date format and the time in the
// user's long time format, as UTF-8 text.
std::string LocalDateText();
std::string LocalTimeText();
