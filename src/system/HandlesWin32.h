// Owners for the Win32 handle kinds the program uses (Win32 layer only).
#pragma once

#include "system/UniqueHandle.h"
#include "system/WinApi.h"

namespace win {

// Clean-up keeps the thread's last error, so a failure is still readable
// after its owner has been released on the way out.
template <typename Handle> void CloseKeepingLastError(BOOL(WINAPI* close)(Handle), Handle handle) {
    const DWORD saved = GetLastError();
    close(handle);
    SetLastError(saved);
}

template <BOOL(WINAPI* CloseFn)(HANDLE), bool InvalidIsNull> struct HandlePolicy {
    using Value = HANDLE;
    static Value Invalid() { return InvalidIsNull ? nullptr : INVALID_HANDLE_VALUE; }
    static void Close(Value handle) { CloseKeepingLastError(CloseFn, handle); }
};

// Owners with the real handle types, for the support programs in tools/:
// CreateFile reports failure with INVALID_HANDLE_VALUE, CreateProcess
// gives real handles or none.
using UniqueFile = UniqueHandle<HandlePolicy<CloseHandle, false>>;
using UniqueKernelObject = UniqueHandle<HandlePolicy<CloseHandle, true>>;

} // namespace win
