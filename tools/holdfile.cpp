// holdfile.exe PATH SECONDS: opens PATH for writing without sharing, so that
// other processes fail to open it, creates PATH.held to say so, and keeps it
// open for SECONDS.
#include "system/HandlesWin32.h"

#include <shellapi.h>

#include <cstdlib>
#include <string>

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc != 3)
        return 2;
    const std::wstring path = argv[1];
    const DWORD seconds = static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10));
    LocalFree(argv);
    win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return 1;
    win::UniqueFile marker(CreateFileW((path + L".held").c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    marker.Reset();
    Sleep(seconds * 1000);
    return 0;
}
