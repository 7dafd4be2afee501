// Filling the program's message formats.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// format with its "%s" replaced by values in order (values themselves are
// not scanned; a "%s" without a value stays).
std::string FormatText(std::string_view format, std::initializer_list<std::string_view> values);
std::string FormatText(std::string_view format, std::string_view value);
// text with every occurrence of from replaced by to.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
