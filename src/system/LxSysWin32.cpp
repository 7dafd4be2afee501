#include "system/LxSys.h"

#include "system/SystemErrors.h"
#include "system/Utf8.h"
#include "system/WinApi.h"

#include <vector>

static_assert(kErrorInvalidFunction == ERROR_INVALID_FUNCTION &&
              kErrorFileNotFound == ERROR_FILE_NOT_FOUND &&
              kErrorPathNotFound == ERROR_PATH_NOT_FOUND &&
              kErrorInvalidDrive == ERROR_INVALID_DRIVE &&
              kErrorNoMoreFiles == ERROR_NO_MORE_FILES &&
              kErrorAlreadyExists == ERROR_ALREADY_EXISTS &&
              kErrorInvalidName == ERROR_INVALID_NAME &&
              kErrorCantResolveFilename == ERROR_CANT_RESOLVE_FILENAME);

namespace {

// Wide: the program's folder may have a name the ANSI code page cannot hold.
std::u16string ModulePath() {
    std::u16string path(MAX_PATH, u'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, win::Wide(path.data()), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

TFileVersion QueryProgramVersion() {
    const std::u16string path = ModulePath();
    DWORD ignored = 0;
    const DWORD size = path.empty() ? 0 : GetFileVersionInfoSizeW(win::Wide(path), &ignored);
    if (size == 0)
        return {};
    std::vector<char> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!GetFileVersionInfoW(win::Wide(path), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) ||
        info == nullptr || infoSize < sizeof *info)
        return {};
    return {info->dwFileVersionMS, info->dwFileVersionLS};
}

int64_t QueryFrequency(bool& available) {
    LARGE_INTEGER frequency{};
    available = QueryPerformanceFrequency(&frequency) != 0;
    return available ? frequency.QuadPart : 0;
}

} // namespace

bool HasPerformanceCounter = false;
int64_t PerformanceFrequency = QueryFrequency(HasPerformanceCounter);
TFileVersion ProgramFileVersion = QueryProgramVersion();

int64_t ReadPerformanceCounter() {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

std::string SystemErrorMessage(uint32_t code) {
    wchar_t buffer[256];
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, 256, nullptr);
    return WideToUtf8(std::u16string(reinterpret_cast<const char16_t*>(buffer), length));
}
