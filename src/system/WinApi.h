// The one header of the program that includes <windows.h>. Only the Win32
// layer (files named *Win32.cpp) includes it; every other header exposes
// plain C++ types.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace win {

inline LPCWSTR Wide(const std::u16string& s) {
    return reinterpret_cast<LPCWSTR>(s.c_str());
}
inline LPWSTR Wide(char16_t* s) {
    return reinterpret_cast<LPWSTR>(s);
}
inline std::u16string FromWide(const wchar_t* s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s));
}

} // namespace win
