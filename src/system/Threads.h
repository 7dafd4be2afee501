// Worker threads and what they share with the main thread: events,
// mutexes, waits that keep serving the main thread's synchronised calls,
// and Synchronize, which runs a call on the main thread.
//
// Synchronised calls reach the main thread as messages to a message-only
// window it creates at start-up; it serves them while it dispatches its
// message loop or waits in WaitServing. The main thread must therefore
// never wait for a worker in any other way.
#pragma once

#include "system/UniqueHandle.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>

enum TThreadPriority : uint8_t {
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical
};

// Makes the calling thread the main thread that serves synchronised calls.
void InitMainThreadSynchronization();
// Runs method on the main thread and returns when it has run there (at once
// on the main thread itself). An exception of method is thrown again here.
void Synchronize(const std::function<void()>& method);

// A system object a thread can wait for; it owns its handle.
class TWaitable {
public:
    void* Handle() const { return handle_.Get(); }

protected:
    explicit TWaitable(void* handle) : handle_(handle) {}
    ~TWaitable() = default;

private:
    TKernelHandle handle_;
};

class TEvent final : public TWaitable {
public:
    // An auto-reset event goes back to clear when it releases one waiter.
    TEvent(bool manualReset, bool signalled);
    void Set();
    void Reset();
};

class TMutex final : public TWaitable {
public:
    TMutex(); // not owned by anybody
    void Release();
};

// Waits without time-out for the first of two objects (a mutex is acquired
// when it is the one); returns 0 or 1. Not for the main thread.
int WaitForFirst(TWaitable& first, TWaitable& second);
// Waits for object; on the main thread it serves synchronised calls meanwhile.
void WaitServing(TWaitable& object);

// A real handle of a thread, valid in every thread (unlike the handle a
// thread has of itself).
class TThreadRef {
public:
    static TThreadRef Current();
    void SetPriority(TThreadPriority priority) const;

private:
    explicit TThreadRef(void* handle) : handle_(handle) {}
    TKernelHandle handle_;
};

// A worker thread. It is created suspended and runs Execute once started;
// afterwards OnTerminate runs synchronised with the main thread, and a
// thread with FreeOnTerminate deletes itself.
class TThread {
public:
    TThread();
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();
    // Asks Execute to stop; Execute looks at Terminated.
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    // Waits for the end of the thread (serving synchronised calls on the
    // main thread). Not for threads that free themselves.
    void WaitFor();
    void SetPriority(TThreadPriority priority);

    bool FreeOnTerminate = false;
    std::function<void(TThread&)> OnTerminate;

protected:
    virtual void Execute() = 0;

private:
    static void Run(TThread* thread);

    TKernelHandle handle_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    bool started_ = false;
    bool skipExecute_ = false;
    friend struct TThreadEntry;
};
