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

// Names and paths as the console and the log show them: UTF-8 text, with
// each character that would act on the screen instead of showing (a
// control character such as NUL, read from a damaged list, or half of a
// broken surrogate pair) written as "<0xNN>". "<" and ">" can stand in no
// file name, so the form cannot be taken for part of one.
std::string ShownName(std::u16string_view name);
// The same, shortened with ShortenPath to at most maxColumns console columns.
std::string ShownPath(std::u16string_view path, int maxColumns);
// The console columns UTF-8 text fills: two for each East Asian wide
// character and for each character beyond the Basic Multilingual Plane (an
// emoji), one for the others.
int TextColumns(std::string_view text);
// The longest start of UTF-8 text that fills at most columns, cut between characters.
std::string_view FirstColumns(std::string_view text, int columns);
