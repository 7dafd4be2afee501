// Windows-1252 stand-in for the native build.
#include "Packages/Files/AnsiCase.h"

namespace {

unsigned char LowerWindows1252(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A:
        return 0x9A; // S with caron
    case 0x8C:
        return 0x9C; // OE
    case 0x8E:
        return 0x9E; // Z with caron
    case 0x9F:
        return 0xFF; // Y with diaeresis
    default:
        return c;
    }
}

} // namespace

std::string AnsiLowerCase(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(LowerWindows1252(static_cast<unsigned char>(c)));
    return result;
}
