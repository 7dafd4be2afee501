// Filling the program's message formats.
#pragma once

#include <string>
#include <string_view>

// format with its first "%s" replaced by value (value itself is not scanned).
std::string FormatText(std::string_view format, std::string_view value);
// text with every occurrence of from replaced by to.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
