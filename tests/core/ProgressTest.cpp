#include "app/Progress.h"
#include "Packages/Files/StrProc.h"

#include <gtest/gtest.h>

namespace {

TEST(Progress, MarksFollowTheBytesReadTwoPerCentEach) {
    EXPECT_EQ(ProgressTickCount(510, 1000, 0), 25);
    EXPECT_EQ(ProgressMarks(0, 25), "   " + std::string(25, '*'));
    EXPECT_EQ(ProgressTickCount(1000, 1000, 0), 50);
    EXPECT_EQ(ProgressMarks(25, 50), std::string(25, '*'));
    EXPECT_EQ(ProgressMarks(50, 50), "");
    EXPECT_EQ(ProgressTickCount(500, 1000, 500), 50) << "failed files leave the total";
    EXPECT_EQ(ProgressTickCount(1500, 1000, 0), 75) << "not capped";
    EXPECT_EQ(ProgressTickCount(10, 1000, 1000), 0) << "nothing left to read";
    EXPECT_EQ(ProgressTickCount(uint64_t(3) << 40, int64_t(4) << 40, 0), 37) << "64-bit sizes";
}

// Files done of all; the time left from two seconds on, by the share of the
// work done (each file weighs 32 KiB besides its bytes).
TEST(Progress, StatusTellsTheTimeLeftOnceItCanBeEstimated) {
    const struct {
        uint64_t FilesDone;
        int64_t Files;
        uint64_t BytesDone;
        int64_t Bytes;
        uint32_t Elapsed;
        const char* Status;
    } cases[] = {
        {0, 10, 0, 1000, 5000, "0/10 files"},
        {3, 10, 1 << 30, 4ll << 30, 1999, "3/10 files"},
        {0, 1, 1 << 30, 4ll << 30, 10'000, "0/1 files, 0:30 left"},
        {1, 2, 0, 0, 2000, "1/2 files, 0:02 left"},
        {0, 1, 1 << 20, 1ll << 40, 2000, "0/1 files, 582:32:30 left"},
        {5, 5, 100, 100, 3000, "5/5 files, 0:00 left"},
        // More read than counted: no estimate.
        {1, 1, 200, 100, 3000, "1/1 files"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgressStatus(c.FilesDone, c.Files, c.BytesDone, c.Bytes, c.Elapsed), c.Status);
}

TEST(Progress, SummaryFiguresTruncate) {
    EXPECT_EQ(Percent(1, 3), 33);
    EXPECT_EQ(Percent(2, 3), 66);
    EXPECT_EQ(Percent(5, 0), 0);
    EXPECT_EQ(AverageSpeed(3'145'728, 1000), 3'145'000) << "whole bytes per millisecond";
    EXPECT_EQ(AverageSpeed(12345, 0), -1) << "under a millisecond";
    EXPECT_EQ(FormatFileSize(AverageSpeed(12345, 0)), "-0.00 Kb") << "as the speed line shows it";
}

} // namespace
