// Facts about the running system and the program itself, gathered once
// before main() runs and only read afterwards.
#pragma once

#include <cstdint>
#include <string>

// Counts per second of the high-resolution counter; valid when HasPerformanceCounter.
extern int64_t PerformanceFrequency;
extern bool HasPerformanceCounter;

struct TFileVersion {
    uint32_t MS = 0; // major in the high word, minor in the low word
    uint32_t LS = 0; // release in the high word, build in the low word
};
// The executable's own file version; zeros when it has no version resource.
extern TFileVersion ProgramFileVersion;

// "major.minor.release.build" of a file version.
std::string FormatFileVersion(const TFileVersion& version);
// ProgramFileVersion as text: "0.0.0.0" when it could not be read.
std::string ProgramVersionText();

// The current value of the high-resolution counter.
int64_t ReadPerformanceCounter();

// The system's message text (UTF-8) for a system error code, as the system
// gives it (usually ending with a period and a line break); empty if unknown.
std::string SystemErrorMessage(uint32_t code);
