// Native stand-in: a nanosecond counter and the
// English texts of the system errors the tests meet.
#include "system/LxSys.h"

#include <chrono>

bool HasPerformanceCounter = true;
int64_t PerformanceFrequency = 1'000'000'000;
TFileVersion ProgramFileVersion{};

int64_t ReadPerformanceCounter() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string SystemErrorMessage(uint32_t code) {
    switch (code) {
    case 0:
        return "The operation completed successfully.\r\n";
    case 2:
        return "The system cannot find the file specified.\r\n";
    case 3:
        return "The system cannot find the path specified.\r\n";
    case 5:
        return "Access is denied.\r\n";
    case 6:
        return "The handle is invalid.\r\n";
    case 32:
        return "The process cannot access the file because it is being used by another "
               "process.\r\n";
    case 112:
        return "There is not enough space on the disk.\r\n";
    default:
        return {};
    }
}
