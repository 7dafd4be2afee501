#include "Packages/Files/Locale.h"

#include "system/WinApi.h"

std::string UserDecimalSeparator() {
    // The setting holds at most three characters and the terminator.
    char buffer[8] = {};
    const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer);
    return length > 1 ? std::string(buffer, static_cast<size_t>(length - 1)) : ".";
}
