#include "system/HandlesWin32.h"

void TKernelHandlePolicy::Close(Value handle) {
    win::CloseKeepingLastError(CloseHandle, handle);
}

void TWindowHandlePolicy::Close(Value window) {
    win::CloseKeepingLastError(DestroyWindow, static_cast<HWND>(window));
}
