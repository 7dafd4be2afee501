#include "system/Unicode.h"

#include "system/UnicodeTables.h"

#include <algorithm>

namespace {

using unicode_tables::TCaseTriple;
using unicode_tables::TCodeRange;

bool InRanges(std::span<const TCodeRange> ranges, char16_t c) {
    auto it = std::upper_bound(ranges.begin(), ranges.end(), c,
                               [](char16_t value, const TCodeRange& r) { return value < r.First; });
    return it != ranges.begin() && c <= std::prev(it)->Last;
}

const TCaseTriple* FindTriple(std::span<const TCaseTriple> section, char16_t c) {
    auto it = std::lower_bound(section.begin(), section.end(), c,
                               [](const TCaseTriple& t, char16_t value) { return t.Code < value; });
    return it != section.end() && it->Code == c ? &*it : nullptr;
}

char16_t LowerCase(char16_t c) {
    if (InRanges(unicode_tables::LowercaseLetters, c))
        return c;
    if (InRanges(unicode_tables::UppercaseLetters, c)) {
        const TCaseTriple* t = FindTriple(unicode_tables::UpperSection, c);
        return t ? t->Other1 : c;
    }
    const TCaseTriple* t = FindTriple(unicode_tables::TitleSection, c);
    return t ? t->Other2 : c;
}

} // namespace

void WideLowerCaseInPlace(std::u16string& text) {
    for (char16_t& c : text)
        c = LowerCase(c);
}

std::u16string WideLowerCase(std::u16string text) {
    WideLowerCaseInPlace(text);
    return text;
}
