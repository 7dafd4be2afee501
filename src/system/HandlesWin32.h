// Owners for the Win32 handle kinds the program uses (Win32 layer only).
#pragma once

#include "system/UniqueHandle.h"
#include "system/WinApi.h"

namespace win {

// Clean-up keeps the thread's last error, so a failure is still readable
// after its owner has been released on the way out.
template <BOOL(WINAPI* CloseFn)(HANDLE), bool InvalidIsNull> struct HandlePolicy {
    using Value = HANDLE;
    static Value Invalid() { return InvalidIsNull ? nullptr : INVALID_HANDLE_VALUE; }
    static void Close(Value handle) {
        const DWORD saved = GetLastError();
        CloseFn(handle);
        SetLastError(saved);
    }
};

// CreateFile and FindFirstFile report failure with INVALID_HANDLE_VALUE;
// CreateThread, CreateEvent and CreateMutex with NULL.
using UniqueFile = UniqueHandle<HandlePolicy<CloseHandle, false>>;
using UniqueFind = UniqueHandle<HandlePolicy<FindClose, false>>;
using UniqueKernelObject = UniqueHandle<HandlePolicy<CloseHandle, true>>;

} // namespace win
