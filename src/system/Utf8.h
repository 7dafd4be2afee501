// UTF-8 form of wide text.
#pragma once

#include <string>
#include <string_view>

// Unpaired surrogates become U+FFFD.
std::string WideToUtf8(std::u16string_view text);
