#include "Packages/Common/WndMan.h"

#include "system/AnsiText.h"
#include "system/WinApi.h"

#include <mutex>
#include <set>

namespace {

// Every class registered here is unregistered when the program ends.
class TClassRegistry {
public:
    ~TClassRegistry() {
        for (const std::wstring& name : names_)
            UnregisterClassW(name.c_str(), GetModuleHandleW(nullptr));
    }
    void Register(const std::wstring& name, WNDPROC procedure) {
        std::lock_guard<std::mutex> guard(lock_);
        if (names_.count(name))
            return;
        WNDCLASSW windowClass{};
        windowClass.style = CS_PARENTDC;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = name.c_str();
        // A class that exists already is used as it is.
        RegisterClassW(&windowClass);
        names_.insert(name);
    }

private:
    std::mutex lock_;
    std::set<std::wstring> names_;
};

TClassRegistry& Classes() {
    static TClassRegistry registry;
    return registry;
}

std::wstring ToWide(const std::string& text) {
    const std::u16string wide = AnsiToWide(text);
    return std::wstring(wide.begin(), wide.end());
}

} // namespace

struct THiddenWindowProc {
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        auto* owner = reinterpret_cast<THiddenWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (owner != nullptr && owner->handler_)
            owner->handler_(message, wParam, lParam);
        return result;
    }
};

THiddenWindow::THiddenWindow(const std::string& classSuffix, TMessageHandler handler)
    : handler_(std::move(handler)) {
    const std::wstring className = ToWide("=Dummy_Window_Class=" + classSuffix);
    Classes().Register(className, THiddenWindowProc::Procedure);
    // Message-only: no desktop is needed, and none exists for a console
    // program run as a service or under Wine without a display.
    HWND window = CreateWindowExW(0, className.c_str(), L"", WS_OVERLAPPEDWINDOW, 10, 10, 400, 300,
                                  HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window != nullptr)
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    window_.Reset(window);
}

THiddenWindow::~THiddenWindow() {
    // The messages of the window's destruction find no handler: the object
    // is on its way out.
    if (window_)
        SetWindowLongPtrW(static_cast<HWND>(window_.Get()), GWLP_USERDATA, 0);
}

bool THiddenWindow::StartTimer(uintptr_t id, uint32_t intervalMs) {
    return window_ && SetTimer(static_cast<HWND>(window_.Get()), id, intervalMs, nullptr) != 0;
}

void THiddenWindow::StopTimer(uintptr_t id) {
    if (window_)
        KillTimer(static_cast<HWND>(window_.Get()), id);
}
