#include "system/Threads.h"

#include "system/WinApi.h"

#include <stdexcept>

namespace {

constexpr UINT kSyncMessage = WM_APP + 1;
constexpr wchar_t kSyncClassName[] = L"TallixSynchronizeWindow";

TWindowHandle syncWindow;
DWORD mainThreadId = 0;

struct TSyncCall {
    const std::function<void()>* Method;
    std::exception_ptr Error;
};

LRESULT CALLBACK SyncWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kSyncMessage)
        return DefWindowProcW(window, message, wParam, lParam);
    auto* call = reinterpret_cast<TSyncCall*>(lParam);
    try {
        (*call->Method)();
    } catch (...) {
        call->Error = std::current_exception();
    }
    return 0;
}

int PriorityValue(TThreadPriority priority) {
    static constexpr int values[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,
                                     THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                                     THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                                     THREAD_PRIORITY_TIME_CRITICAL};
    return values[priority];
}

// Waits on a handle of its own, such as a duplicate of a thread's handle.
class TOwnedWaitable final : public TWaitable {
public:
    explicit TOwnedWaitable(void* handle) : TWaitable(handle) {}
};

void* CheckedHandle(HANDLE handle, const char* what) {
    if (handle == nullptr)
        throw std::runtime_error(std::string("cannot create ") + what);
    return handle;
}

// Wine starts its desktop when a program first makes a window and ends it
// with the last such program. A program that starts while one desktop ends
// is handed that desktop's windows, keeps them for its thread, and cannot
// make a window once they are gone. Setting the thread's desktop again
// makes it forget them, so that the next try finds (or starts) a live
// desktop. The tries wait twice as long each time, about ten seconds in all.
HWND CreateSyncWindow(HINSTANCE instance) {
    constexpr DWORD kLongestWaitMs = 10000;
    DWORD pauseMs = 10;
    for (DWORD waitedMs = 0;; waitedMs += pauseMs, pauseMs *= 2) {
        // A message-only window: a console program has no desktop to show one on.
        const HWND window = CreateWindowExW(0, kSyncClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                            nullptr, instance, nullptr);
        if (window != nullptr || waitedMs >= kLongestWaitMs)
            return window;
        Sleep(pauseMs);
        SetThreadDesktop(GetThreadDesktop(GetCurrentThreadId()));
    }
}

bool IsMainThread() {
    return GetCurrentThreadId() == mainThreadId;
}

} // namespace

void InitMainThreadSynchronization() {
    mainThreadId = GetCurrentThreadId();
    if (syncWindow)
        return;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = SyncWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kSyncClassName;
    RegisterClassW(&windowClass);
    syncWindow.Reset(CreateSyncWindow(windowClass.hInstance));
    if (!syncWindow)
        throw std::runtime_error("Can't start: the synchronisation window cannot be created.");
}

void Synchronize(const std::function<void()>& method) {
    if (IsMainThread() || !syncWindow) {
        method();
        return;
    }
    TSyncCall call{&method, nullptr};
    SendMessageW(static_cast<HWND>(syncWindow.Get()), kSyncMessage, 0,
                 reinterpret_cast<LPARAM>(&call));
    if (call.Error)
        std::rethrow_exception(call.Error);
}

TEvent::TEvent(bool manualReset, bool signalled)
    : TWaitable(CheckedHandle(CreateEventW(nullptr, manualReset, signalled, nullptr), "an event")) {
}
void TEvent::Set() {
    SetEvent(Handle());
}
void TEvent::Reset() {
    ResetEvent(Handle());
}

TMutex::TMutex() : TWaitable(CheckedHandle(CreateMutexW(nullptr, FALSE, nullptr), "a mutex")) {}
void TMutex::Release() {
    ReleaseMutex(Handle());
}

int WaitForFirst(TWaitable& first, TWaitable& second) {
    HANDLE handles[] = {first.Handle(), second.Handle()};
    const DWORD result = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    // An abandoned mutex is acquired all the same.
    if (result == WAIT_OBJECT_0 + 1 || result == WAIT_ABANDONED_0 + 1)
        return 1;
    return 0;
}

void WaitServing(TWaitable& object) {
    HANDLE handle = object.Handle();
    if (!IsMainThread()) {
        WaitForSingleObject(handle, INFINITE);
        return;
    }
    for (;;) {
        const DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE);
        if (result != WAIT_OBJECT_0 + 1)
            return;
        // Looking at the queue delivers the sent messages: the synchronised calls.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
}

TThreadRef TThreadRef::Current() {
    HANDLE handle = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &handle, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    return TThreadRef(handle);
}

void TThreadRef::SetPriority(TThreadPriority priority) const {
    SetThreadPriority(handle_.Get(), PriorityValue(priority));
}

struct TThreadEntry {
    static DWORD WINAPI Proc(void* parameter) {
        TThread::Run(static_cast<TThread*>(parameter));
        return 0;
    }
};

TThread::TThread() {
    handle_.Reset(CheckedHandle(
        CreateThread(nullptr, 0, TThreadEntry::Proc, this, CREATE_SUSPENDED, nullptr), "a thread"));
}

TThread::~TThread() {
    if (!finished_) {
        if (!started_) {
            skipExecute_ = true;
            started_ = true;
            ResumeThread(handle_.Get());
        }
        Terminate();
        WaitFor();
    }
}

void TThread::Run(TThread* thread) {
    if (!thread->skipExecute_) {
        try {
            thread->Execute();
        } catch (...) {
            // A worker's failure ends the worker, not the program.
        }
    }
    const bool freeThread = thread->FreeOnTerminate;
    if (thread->OnTerminate && !thread->skipExecute_) {
        try {
            Synchronize([thread] { thread->OnTerminate(*thread); });
        } catch (...) {
            // The termination notice must not keep the thread from ending.
        }
    }
    thread->finished_ = true;
    if (freeThread)
        delete thread;
}

void TThread::Start() {
    if (started_)
        return;
    started_ = true;
    ResumeThread(handle_.Get());
}

void TThread::WaitFor() {
    HANDLE duplicate = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), handle_.Get(), GetCurrentProcess(), &duplicate, 0,
                         FALSE, DUPLICATE_SAME_ACCESS))
        return;
    TOwnedWaitable thread(duplicate);
    WaitServing(thread);
}

void TThread::SetPriority(TThreadPriority priority) {
    SetThreadPriority(handle_.Get(), PriorityValue(priority));
}
