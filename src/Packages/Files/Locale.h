// The user's regional settings that the program's output follows.
#pragma once

#include <string>

// The user's decimal separator (UTF-8 text, usually "." or ","); "." when
// the setting cannot be read.
std::string UserDecimalSeparator();
