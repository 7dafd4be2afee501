// The log file: a header, then a copy of every message written through the
// console writers, with CR LF line ends; ANSI text, or UTF-8 behind a
// byte-order mark once a name would be lost in the ANSI code page.
#pragma once

#include "console/Console.h"

#include <string>
#include <string_view>

// Checks the path (an existing log is replaced silently; a missing folder is
// offered for creation), creates or truncates the file and writes the
// header. An existing file that is neither empty nor a log of productName
// is left alone. False after a message naming such a file, after the
// check's messages, or after "Can't create log-file." and the system's
// error line when the file cannot be created.
bool OpenLogFile(const std::u16string& fileName, std::string_view productName,
                 std::string_view webAddress);
bool LogIsOpen();
// Text and a line break to the log only; nothing when no log is open.
void WriteLogLine(std::string_view text);
