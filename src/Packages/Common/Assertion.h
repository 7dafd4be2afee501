// Assertion failures: misuse that the program's own code must never commit.
// They carry the unit path and the source line where the check stands, so a
// report names the check that failed.
#pragma once

#include <stdexcept>
#include <string>

class EAssertionFailed : public std::logic_error {
public:
    // what() is "message (unit, line N)"; an empty message reads "Assertion failure".
    EAssertionFailed(const std::string& message, const char* unit, int line);

    const std::string Message; // the message alone
    const char* const Unit;    // unit path, e.g. Packages\Common\BaseTree
    const int Line;
};

// Throws EAssertionFailed.
[[noreturn]] void AssertionFailure(const char* unit, int line, const std::string& message = {});
