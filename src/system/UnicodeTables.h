// Case data of the Basic Multilingual Plane: general categories Lu and Ll as
// sorted ranges, and the simple case mappings in three sorted sections.
#pragma once

#include <span>

namespace unicode_tables {

struct TCodeRange {
    char16_t First;
    char16_t Last;
};

struct TCaseTriple {
    char16_t Code;
    char16_t Other1;
    char16_t Other2;
};

extern const std::span<const TCodeRange> UppercaseLetters;
extern const std::span<const TCodeRange> LowercaseLetters;
extern const std::span<const TCaseTriple> UpperSection; // code, lower, title
extern const std::span<const TCaseTriple> LowerSection; // code, upper, title
extern const std::span<const TCaseTriple> TitleSection; // code, upper, lower

} // namespace unicode_tables
