// Splitting of the process's command line into arguments.
#pragma once

#include <string>
#include <vector>

// Arguments are separated by blanks (any character up to U+0020); a pair of
// double quotes groups blanks into one argument and the quotes are dropped.
// There is no escape character: "C:\My Data\" gives C:\My Data\ .
// Argument 0 is the program's own path.
std::vector<std::u16string> SplitCommandLine(const std::u16string& commandLine);
