#include "app/ExitCodes.h"

namespace {

constexpr const char* kBitNames[] = {
    "Failure",
    "Scan error",
    "Read error",
    "Nothing to calc",
    "Can`t write result",
    "Can`t write some results",
    "Not enough params",
    "Wrong params",
    "Params violation",
    "Nothing to verify",
    "File parse error",
    "Can`t create a log file",
    "Changed files",
    "Cancelled by the user",
    "Damaged files",
};

} // namespace

std::string ExitCodeText(uint32_t code) {
    std::string text;
    for (size_t bit = 0; bit < std::size(kBitNames); ++bit) {
        if (code & (1u << bit)) {
            if (!text.empty())
                text += '|';
            text += kBitNames[bit];
        }
    }
    return text;
}
