// The exit status: a set of error bits, each with a name for the log.
#pragma once

#include <cstdint>
#include <string>

enum TExitBit : uint32_t {
    ecFailure = 1,
    ecScanError = 2,
    ecReadError = 4,
    ecNothingToCalc = 8,
    ecCantWriteResult = 16,
    ecCantWriteSomeResults = 32,
    ecNotEnoughParams = 64,
    ecWrongParams = 128,
    ecParamsViolation = 256,
    ecNothingToVerify = 512,
    ecFileParseError = 1024,
    ecCantCreateLog = 2048,
    // A verification found files whose digest differs from the list's.
    ecChangedFiles = 4096,
    // Ctrl+C, Ctrl+Break or closing the console ended the run early.
    ecCancelled = 8192,
    // Changed files among them that were not written since their list was:
    // possible damage (set with ecChangedFiles).
    ecDamagedFiles = 16384,
};

// The names of the bits set in code, from bit 1 up, joined by "|".
std::string ExitCodeText(uint32_t code);
