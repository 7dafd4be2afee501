// launch.exe STATUSFILE CMDLINEFILE
//
// Starts the command line stored (UTF-8) in CMDLINEFILE exactly as written,
// with this process's standard handles, waits for it and writes its full
// 32-bit exit status to STATUSFILE. It exists because a Unix exit status
// keeps only 8 bits and because Wine re-quotes the arguments it is given.
#include "system/HandlesWin32.h"

#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::wstring Utf8ToWide(const std::string& text) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        size);
    return result;
}

HANDLE InheritableStdHandle(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
        SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    return handle;
}

// Console control events are the child's business: the launcher stays to
// record how it ended.
BOOL WINAPI IgnoreControlEvent(DWORD) {
    return TRUE;
}

} // namespace

int main() {
    SetConsoleCtrlHandler(IgnoreControlEvent, TRUE);
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc != 3) {
        std::fputs("usage: launch STATUSFILE CMDLINEFILE\n", stderr);
        return 255;
    }
    const std::filesystem::path statusFile = argv[1];
    std::ifstream input(std::filesystem::path(argv[2]), std::ios::binary);
    std::string commandLine((std::istreambuf_iterator<char>(input)), {});
    LocalFree(argv);
    while (!commandLine.empty() && (commandLine.back() == '\n' || commandLine.back() == '\r'))
        commandLine.pop_back();
    std::wstring wideCommandLine = Utf8ToWide(commandLine);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = InheritableStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = InheritableStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = InheritableStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, wideCommandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process)) {
        std::fprintf(stderr, "launch: cannot start the program (error %lu)\n", GetLastError());
        return 255;
    }
    win::UniqueKernelObject processHandle(process.hProcess);
    win::UniqueKernelObject threadHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    std::ofstream(statusFile) << status << '\n';
    return static_cast<int>(status);
}
