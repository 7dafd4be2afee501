#include "Packages/Common/Assertion.h"

namespace {

std::string MessageOrDefault(const std::string& message) {
    return message.empty() ? std::string("Assertion failure") : message;
}

} // namespace

EAssertionFailed::EAssertionFailed(const std::string& message, const char* unit, int line)
    : std::logic_error(MessageOrDefault(message) + " (" + unit + ", line " + std::to_string(line) +
                       ")"),
      Message(MessageOrDefault(message)), Unit(unit), Line(line) {}

void AssertionFailure(const char* unit, int line, const std::string& message) {
    throw EAssertionFailed(message, unit, line);
}
