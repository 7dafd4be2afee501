#include "console/Text.h"

#include "Packages/Files/StrProc.h"
#include "system/Utf8.h"

#include <cstdio>

namespace {

bool IsSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

bool IsShownAsCode(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// East Asian wide and full-width characters of the Basic Multilingual Plane.
bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6);
}

int ColumnsOf(char32_t c) {
    return c >= 0x10000 || IsWide(c) ? 2 : 1;
}

// The name with the characters that cannot be shown written as codes.
std::u16string Escaped(std::u16string_view name) {
    std::u16string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < name.size() &&
                          name[i + 1] >= 0xDC00 && name[i + 1] <= 0xDFFF;
        if (pair) {
            out.append(name.substr(i, 2));
            ++i;
        } else if (IsShownAsCode(c) || IsSurrogate(c)) {
            char code[16];
            std::snprintf(code, sizeof code, c < 0x100 ? "<0x%02X>" : "<0x%04X>", unsigned(c));
            out.append(code, code + std::char_traits<char>::length(code));
        } else {
            out += c;
        }
    }
    return out;
}

// Decodes the character at text[at]; at moves past it.
char32_t NextCharacter(std::string_view text, size_t& at) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t first = byte(at++);
    if (first < 0xC0)
        return first;
    const int extra = first >= 0xF0 ? 3 : first >= 0xE0 ? 2 : 1;
    char32_t c = first & (0x3F >> extra);
    for (int i = 0; i < extra && at < text.size() && (byte(at) & 0xC0) == 0x80; ++i)
        c = (c << 6) | (byte(at++) & 0x3F);
    return c;
}

// A unit put before each wide character while a path is shortened, so that
// ShortenPath, which counts units, counts columns. It goes before, not
// after: a cut keeps the start of a name, so it can part the unit from its
// character only by dropping the character, which makes the text narrower
// still. Escaped text holds no control character, so the unit cannot be
// taken for part of the name.
constexpr char16_t kSecondColumn = u'\0';

} // namespace

std::string FormatText(std::string_view format, std::initializer_list<std::string_view> values) {
    std::string result;
    for (std::string_view value : values) {
        const size_t at = format.find("%s");
        if (at == std::string_view::npos)
            break;
        result += format.substr(0, at);
        result += value;
        format.remove_prefix(at + 2);
    }
    result += format;
    return result;
}

std::string FormatText(std::string_view format, std::string_view value) {
    return FormatText(format, {value});
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    size_t start = 0;
    for (size_t at = text.find(from); at != std::string_view::npos; at = text.find(from, start)) {
        result += text.substr(start, at - start);
        result += to;
        start = at + from.size();
    }
    result += text.substr(start);
    return result;
}

std::string ShownName(std::u16string_view name) {
    return WideToUtf8(Escaped(name));
}

std::string ShownPath(std::u16string_view path, int maxColumns) {
    std::u16string cells;
    for (const char16_t c : Escaped(path)) {
        if (IsWide(c))
            cells += kSecondColumn;
        cells += c;
    }
    std::u16string shortened = ShortenPath(cells, maxColumns);
    std::erase(shortened, kSecondColumn);
    return WideToUtf8(shortened);
}

int TextColumns(std::string_view text) {
    int columns = 0;
    for (size_t at = 0; at < text.size();)
        columns += ColumnsOf(NextCharacter(text, at));
    return columns;
}

std::string_view FirstColumns(std::string_view text, int columns) {
    size_t end = 0;
    for (size_t at = 0; at < text.size();) {
        columns -= ColumnsOf(NextCharacter(text, at));
        if (columns < 0)
            break;
        end = at;
    }
    return text.substr(0, end);
}
