// The command line: splitting it into arguments and reading the switches
// into a plain record of what the user asked for.
#pragma once

#include "engine/ListFormat.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Arguments are separated by blanks (any character up to U+0020); a pair of
// double quotes groups blanks into one argument and the quotes are dropped.
// There is no escape character: "C:\My Data\" gives C:\My Data\ .
// Argument 0 is the program's own path.
std::vector<std::u16string> SplitCommandLine(const std::u16string& commandLine);

enum TRunMode : uint8_t { rmCalculate = 1, rmVerify = 2 };

// What the File argument and the switches ask for, as given.
struct TOptions {
    std::u16string ListPath;        // the File argument (second position), not expanded
    std::u16string ChangedListPath; // /C:File
    std::u16string LogPath;         // /L:File
    TPlacement Placement = plNone;  // /T:Type
    TRunMode RunMode = rmCalculate; // /V
    bool WriteToFile = false;       // a File or a /T switch was given
    bool OverwriteAll = false;      // /O, and /S
    bool Recursive = false;         // /R
    bool Update = false;            // /U
    bool Silent = false;            // /S
    bool HelpRequested = false;     // /H, /h, /?
    // The first argument that was not recognised (it may be empty).
    std::optional<std::u16string> InvalidOption;
    // A /T switch met a single-file source: reading stopped at it.
    bool TypeNeedsFolder = false;
};

// Reads args from index first on. Only argument 2 may be the File (when it
// does not start with "/"); every other argument is a switch of its
// accepted form or an invalid option.
TOptions ParseOptions(const std::vector<std::u16string>& args, size_t first, bool sourceIsFile);

// True for the silent switch, which takes effect before the command line is read.
bool IsSilentSwitch(const std::u16string& arg);
