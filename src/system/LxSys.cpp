#include "system/LxSys.h"

#include <cstdio>

std::string FormatFileVersion(const TFileVersion& version) {
    char text[48];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", version.MS >> 16, version.MS & 0xFFFF,
                  version.LS >> 16, version.LS & 0xFFFF);
    return text;
}

std::string ProgramVersionText() {
    return FormatFileVersion(ProgramFileVersion);
}
