// Windows-1252 stand-in for the native build.
#include "system/AnsiText.h"

#include <array>

namespace {

// Code points of the bytes 0x80-0x9F; 0 marks the five bytes that are unused.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char ToAnsi(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

char16_t FromAnsi(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F)
        return kHighControls[b - 0x80] ? kHighControls[b - 0x80] : char16_t(b);
    return b;
}

char16_t UpperLatin1(char16_t c) {
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<char16_t>(c - 0x20);
    if (c == 0xFF)
        return 0x178;
    return c;
}

} // namespace

std::string WideToAnsi(std::u16string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char16_t c : text)
        result += ToAnsi(c);
    return result;
}

std::u16string AnsiToWide(std::string_view text) {
    std::u16string result;
    result.reserve(text.size());
    for (char c : text)
        result += FromAnsi(static_cast<unsigned char>(c));
    return result;
}

std::u16string WideUpperCase(std::u16string_view text) {
    std::u16string result(text);
    for (char16_t& c : result)
        c = UpperLatin1(c);
    return result;
}
