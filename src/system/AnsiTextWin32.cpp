#include "system/AnsiText.h"

#include "system/WinApi.h"

#include <climits>

std::string WideToAnsi(std::u16string_view text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const auto* source = reinterpret_cast<LPCWCH>(text.data());
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, source, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, source, length, result.data(), size, nullptr, nullptr);
    return result;
}

std::u16string AnsiToWide(std::string_view text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::u16string result(static_cast<size_t>(size), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, win::Wide(result.data()), size);
    return result;
}

std::u16string WideUpperCase(std::u16string_view text) {
    std::u16string result(text);
    if (!result.empty() && result.size() <= ULONG_MAX)
        CharUpperBuffW(win::Wide(result.data()), static_cast<DWORD>(result.size()));
    return result;
}
