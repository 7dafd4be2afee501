#include "app/Progress.h"

int64_t ProgressTickCount(uint64_t readBytes, int64_t totalSize, uint64_t failedBytes) {
    const int64_t total = totalSize - static_cast<int64_t>(failedBytes);
    if (total <= 0)
        return 0;
    return static_cast<int64_t>(readBytes) * 100 / total / 2;
}

std::string ProgressMarks(int64_t shown, int64_t ticks) {
    if (ticks <= shown)
        return {};
    std::string marks = shown == 0 ? "   " : "";
    marks.append(static_cast<size_t>(ticks - shown), '*');
    return marks;
}

int64_t AverageSpeed(uint64_t bytes, uint32_t milliseconds) {
    if (milliseconds == 0)
        return -1;
    return static_cast<int64_t>(bytes / milliseconds) * 1000;
}

int64_t Percent(int64_t part, int64_t whole) {
    return whole == 0 ? 0 : part * 100 / whole;
}
