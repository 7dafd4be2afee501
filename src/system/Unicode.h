// Lower-casing of wide text by the Unicode simple case mapping.
#pragma once

#include <string>

// Lower-cases each UTF-16 code unit of text alone (surrogates stay as they
// are): capital and title-case letters of the Basic Multilingual Plane get
// their simple lower-case mapping, everything else is left unchanged.
void WideLowerCaseInPlace(std::u16string& text);
// The same, on a copy: the folded form by which paths are compared.
std::u16string WideLowerCase(std::u16string text);
