// Native stand-in: an English Windows.
#include "Packages/Files/Locale.h"

std::string UserDecimalSeparator() {
    return ".";
}
