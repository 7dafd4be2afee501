// Assertion failures: misuse that the program's own code must never commit.
// They carry the unit path and the source line where the check stands, so a
// report names the check that failed.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

class EAssertionFailed : public std::logic_error {
public:
    // what() is "message (unit, line N)"; an empty message reads "Assertion failure".
    EAssertionFailed(const std::string& message, std::string unit, int line);

    const std::string Message; // the message alone
    const std::string Unit;    // unit path, e.g. Packages\Common\BaseTree
    const int Line;
};

// Throws EAssertionFailed with the unit and line of the check that calls it:
// the defaults are taken where the call stands. (The compilers' builtins
// that std::source_location is made of: clang 14, which builds the fuzz
// targets, has no std::source_location with the standard library here.)
[[noreturn]] void AssertionFailure(const std::string& message = {},
                                   const char* file = __builtin_FILE(),
                                   int line = __builtin_LINE());

// The unit path of a source file: its path below the source folder without
// the extension, with "\" between folders (src/engine/LxHash.cpp gives
// engine\LxHash).
std::string UnitOf(std::string_view file);
