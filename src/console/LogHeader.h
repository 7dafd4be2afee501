// The log's first line, by which a file is known as a log of this program.
#pragma once

#include <string>
#include <string_view>

// The first line of a log of productName, without its line end.
std::string LogHeaderLine(std::string_view productName);
// True when start, the first bytes of an existing file (at least one more
// than a byte-order mark and the header line hold, where the file has them),
// shows a file the log may replace: an empty one, or one whose first line
// is the header line, after a UTF-8 byte-order mark or not.
bool IsReplaceableByLog(std::string_view start, std::string_view productName);
