// The checksum-list format as the writer produces it and the parser reads it.
#pragma once

#include "system/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// An entry line: the digest in hexadecimal, the separator, the path, a line break.
inline constexpr size_t kListDigestDigits = 32;
inline constexpr std::string_view kListEntrySeparator = " *";
inline constexpr std::string_view kListLineBreak = "\r\n";
// A line that begins with this character is a comment.
inline constexpr char kListCommentMark = ';';
// The asterisk that ends the digest (our form and md5sum's binary form).
inline constexpr char kListNameMark = kListEntrySeparator.back();
// md5sum's text form puts this many blanks between digest and name.
inline constexpr size_t kListTextModeBlanks = 2;
// The tag line of md5sum --tag and of the BSD md5 tool: "MD5 (name) = digest".
inline constexpr std::string_view kListTagStart = "MD5 (";
inline constexpr std::string_view kListTagDigestMark = ") = ";
// A list that begins with kUtf8ByteOrderMark is UTF-8; the writer uses the
// form only when a name would be lost in the ANSI code page.

// Where lists go (/T:Type); there is no value 3.
enum TPlacement : uint8_t { plNone = 0, plEachFile = 1, plRoot = 2, plEachFolder = 4 };
