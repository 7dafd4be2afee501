// A move-only owner of one system handle. The handle is a plain pointer-sized
// value here so that headers outside the Win32 layer can hold one without
// seeing <windows.h>; the Close policy, defined in the Win32 layer, knows the
// real type and which value means "no handle".
#pragma once

#include <utility>

template <typename Policy> class UniqueHandle {
public:
    using Value = typename Policy::Value;

    UniqueHandle() = default;
    explicit UniqueHandle(Value value) : value_(value) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Value Get() const { return value_; }
    bool Valid() const { return value_ != Policy::Invalid(); }
    explicit operator bool() const { return Valid(); }

    // Gives up ownership without closing.
    Value Release() { return std::exchange(value_, Policy::Invalid()); }

    // Closes the owned handle (if any) and takes ownership of value.
    void Reset(Value value = Policy::Invalid()) {
        Value old = std::exchange(value_, value);
        if (old != Policy::Invalid())
            Policy::Close(old);
    }

private:
    Value value_ = Policy::Invalid();
};

// Handles of kernel objects (threads, events, mutexes), null when there is
// none, and of windows. Close, in the Win32 layer, keeps the thread's last
// error.
struct TKernelHandlePolicy {
    using Value = void*;
    static Value Invalid() { return nullptr; }
    static void Close(Value handle);
};
struct TWindowHandlePolicy {
    using Value = void*;
    static Value Invalid() { return nullptr; }
    static void Close(Value window);
};
using TKernelHandle = UniqueHandle<TKernelHandlePolicy>;
using TWindowHandle = UniqueHandle<TWindowHandlePolicy>;
