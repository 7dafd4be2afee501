#include "app/Progress.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr uint32_t kEstimateAfterMilliseconds = 2000;
constexpr double kBytesPerFile = 32 * 1024;

// "M:SS", or "H:MM:SS" from an hour on.
std::string DurationText(uint64_t seconds) {
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu",
                      static_cast<unsigned long long>(seconds / 3600),
                      static_cast<unsigned long long>(seconds / 60 % 60),
                      static_cast<unsigned long long>(seconds % 60));
    else
        std::snprintf(text, sizeof text, "%llu:%02llu",
                      static_cast<unsigned long long>(seconds / 60),
                      static_cast<unsigned long long>(seconds % 60));
    return text;
}

} // namespace

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

std::string ProgressStatus(uint64_t filesDone, int64_t files, uint64_t bytesDone,
                           int64_t bytesToRead, uint32_t elapsedMilliseconds) {
    std::string status = std::to_string(filesDone) + "/" + std::to_string(files) + " files";
    const double total = static_cast<double>(std::max<int64_t>(bytesToRead, 0)) +
                         static_cast<double>(std::max<int64_t>(files, 0)) * kBytesPerFile;
    const double done =
        static_cast<double>(bytesDone) + static_cast<double>(filesDone) * kBytesPerFile;
    if (elapsedMilliseconds < kEstimateAfterMilliseconds || done <= 0 || done > total)
        return status;
    const double left = (total - done) * elapsedMilliseconds / done / 1000;
    return status + ", " + DurationText(static_cast<uint64_t>(left + 0.5)) + " left";
}

int64_t AverageSpeed(uint64_t bytes, uint32_t milliseconds) {
    if (milliseconds == 0)
        return -1;
    return static_cast<int64_t>(bytes / milliseconds) * 1000;
}

int64_t Percent(int64_t part, int64_t whole) {
    return whole == 0 ? 0 : part * 100 / whole;
}
