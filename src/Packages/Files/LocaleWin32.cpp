#include "Packages/Files/Locale.h"

#include "system/Utf8.h"
#include "system/WinApi.h"

std::string UserDecimalSeparator() {
    // The setting holds at most three characters and the terminator.
    wchar_t buffer[8] = {};
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8);
    return length > 1 ? WideToUtf8(win::FromWide(buffer)) : ".";
}
