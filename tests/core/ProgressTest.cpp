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

TEST(Progress, SummaryFiguresTruncate) {
    EXPECT_EQ(Percent(1, 3), 33);
    EXPECT_EQ(Percent(2, 3), 66);
    EXPECT_EQ(Percent(20, 100), 20);
    EXPECT_EQ(Percent(5, 0), 0);
    EXPECT_EQ(AverageSpeed(3'145'728, 1000), 3'145'000) << "whole bytes per millisecond";
    EXPECT_EQ(AverageSpeed(12345, 0), -1) << "under a millisecond";
    EXPECT_EQ(FormatFileSize(AverageSpeed(12345, 0)), "-0.00 Kb") << "as the speed line shows it";
}

} // namespace
