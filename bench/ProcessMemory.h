// The benchmarks' measure of memory under Wine (Windows benchmarks only).
#pragma once

#include "system/WinApi.h"

#include <psapi.h>

#include <cstddef>

// The process's committed private memory. (Wine reports it as
// PagefileUsage and leaves PrivateUsage at 0.)
inline size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}
