#include "system/Process.h"

#include "system/Utf8.h"
#include "system/WinApi.h"

#include <cstdlib>
#include <mutex>

namespace {

std::mutex handlerLock;
std::function<bool(uint32_t)> controlHandler;

bool CallControlHandler(DWORD ctrlType) {
    std::function<bool(uint32_t)> handler;
    {
        std::lock_guard<std::mutex> guard(handlerLock);
        handler = controlHandler;
    }
    return handler && handler(ctrlType);
}

BOOL WINAPI ControlHandlerEntry(DWORD ctrlType) {
    bool handled = false;
    // An exception must not leave the system's thread; unhandled, the event
    // gets the system's default handling, which ends the process.
    try {
        handled = CallControlHandler(ctrlType);
    } catch (...) {
        return FALSE;
    }
    // The system ends the process as soon as the handler of a close event
    // returns; waiting here lets the main thread end the run first (its
    // list, its log, its exit status), which ends the process and this wait.
    if (handled && ctrlType == CTRL_CLOSE_EVENT)
        Sleep(INFINITE);
    return handled ? TRUE : FALSE;
}

std::string FormatNow(int(WINAPI* format)(LCID, DWORD, const SYSTEMTIME*, LPCWSTR, LPWSTR, int),
                      DWORD flags) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t text[128];
    const int length = format(LOCALE_USER_DEFAULT, flags, &now, nullptr, text, 128);
    return length > 0 ? WideToUtf8(win::FromWide(text)) : std::string();
}

} // namespace

std::u16string ProcessCommandLineW() {
    return win::FromWide(GetCommandLineW());
}
uint32_t CurrentThreadId() {
    return GetCurrentThreadId();
}

bool PostThreadMessageTo(uint32_t threadId, const TThreadMessage& message) {
    return PostThreadMessageW(threadId, message.Id, message.WParam, message.LParam) != 0;
}

void RunMessageLoop(const std::function<void(const TThreadMessage&)>& handle) {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        handle({msg.message, msg.wParam, msg.lParam});
        DispatchMessageW(&msg);
    }
}

void InstallConsoleControlHandler(std::function<bool(uint32_t)> handler) {
    {
        std::lock_guard<std::mutex> guard(handlerLock);
        controlHandler = std::move(handler);
    }
    SetConsoleCtrlHandler(ControlHandlerEntry, TRUE);
}

void RemoveConsoleControlHandler() {
    SetConsoleCtrlHandler(ControlHandlerEntry, FALSE);
    std::lock_guard<std::mutex> guard(handlerLock);
    controlHandler = nullptr;
}

void SetConsoleCodePagesFromKeyboard() {
    const LCID language = LOWORD(reinterpret_cast<uintptr_t>(GetKeyboardLayout(0)));
    char text[6] = {};
    UINT codePage = 0;
    if (GetLocaleInfoA(language, LOCALE_IDEFAULTANSICODEPAGE, text, sizeof text) > 0) {
        char* end = nullptr;
        const unsigned long value = std::strtoul(text, &end, 10);
        if (end != text && *end == '\0')
            codePage = static_cast<UINT>(value);
    }
    if (codePage == 0)
        codePage = GetACP();
    SetConsoleOutputCP(codePage);
    SetConsoleCP(codePage);
}

std::string LocalDateText() {
    return FormatNow(GetDateFormatW, DATE_SHORTDATE);
}
std::string LocalTimeText() {
    return FormatNow(GetTimeFormatW, 0);
}
