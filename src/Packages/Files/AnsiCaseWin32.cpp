#include "Packages/Files/AnsiCase.h"

#include "system/WinApi.h"

#include <climits>

std::string AnsiLowerCase(std::string_view text) {
    std::string result(text);
    if (!result.empty() && result.size() <= ULONG_MAX)
        CharLowerBuffA(result.data(), static_cast<DWORD>(result.size()));
    return result;
}
