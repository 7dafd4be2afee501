#include "Packages/Common/Assertion.h"

#include <algorithm>

namespace {

std::string MessageOrDefault(const std::string& message) {
    return message.empty() ? std::string("Assertion failure") : message;
}

} // namespace

EAssertionFailed::EAssertionFailed(const std::string& message, std::string unit, int line)
    : std::logic_error(MessageOrDefault(message) + " (" + unit + ", line " + std::to_string(line) +
                       ")"),
      Message(MessageOrDefault(message)), Unit(std::move(unit)), Line(line) {}

void AssertionFailure(const std::string& message, const char* file, int line) {
    throw EAssertionFailed(message, UnitOf(file), line);
}

std::string UnitOf(std::string_view file) {
    std::string unit(file);
    std::replace(unit.begin(), unit.end(), '\\', '/');
    // The last "src/" of the path: the tree may itself lie below a folder of that name.
    if (const size_t src = unit.rfind("src/"); src != std::string::npos)
        unit.erase(0, src + 4);
    if (const size_t dot = unit.rfind('.');
        dot != std::string::npos && unit.find('/', dot) == std::string::npos)
        unit.erase(dot);
    std::replace(unit.begin(), unit.end(), '/', '\\');
    return unit;
}
