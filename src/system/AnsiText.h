// Conversions between wide (UTF-16) text and ANSI text (bytes of the system
// ANSI code page), and the locale-aware case rules of that code page. On
// Windows these are the system's own; the native build links a stand-in
// that implements Windows-1252, so it behaves like an English Windows.
#pragma once

#include <string>
#include <string_view>

// Characters the code page cannot hold become the system's default character.
std::string WideToAnsi(std::u16string_view text);
std::u16string AnsiToWide(std::string_view text);
// True when text survives the way to the ANSI code page and back unchanged.
inline bool FitsAnsiCodePage(std::u16string_view text) {
    return AnsiToWide(WideToAnsi(text)) == text;
}

// Upper case by the system's locale rules (letters outside ASCII included).
std::u16string WideUpperCase(std::u16string_view text);
