// Letter case of ANSI text (bytes of the system ANSI code page) by the
// user's locale rules. On Windows these are the system's own; the native
// build links a Windows-1252 stand-in, so it behaves like an English Windows.
#pragma once

#include <string>
#include <string_view>

// text with every capital letter of the code page in lower case.
std::string AnsiLowerCase(std::string_view text);

// True when a and b are equal once both are lower-cased by AnsiLowerCase.
inline bool AnsiSameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && AnsiLowerCase(a) == AnsiLowerCase(b);
}
