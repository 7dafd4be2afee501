// Turn-taking of the scanner's workers, waiting, aborting, and the silence
// of a scanner that is being destroyed.
#include "ScannerSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace scanner_test;

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

class ScannerWorkers : public ::testing::Test {
protected:
    void SetUp() override { InitMainThreadSynchronization(); }
};

TEST_F(ScannerWorkers, OnlyOneWorksAtATime) {
    TDirScaner scanner(nullptr);
    std::atomic<int> inside{0}, most{0}, worked{0};
    for (int i = 0; i < 4; ++i)
        StartWorker<TTestWorker>(&scanner, [&](TTestWorker&) {
            most = std::max(most.load(), ++inside);
            SleepMs(20);
            --inside;
            ++worked;
        });
    scanner.WaitForWorkers();
    EXPECT_EQ(worked, 4);
    EXPECT_EQ(most, 1);
    EXPECT_EQ(scanner.ThreadCount(), 0);
}

TEST_F(ScannerWorkers, AbortStopsTheWorkingOneAndLetsOneWaitingWorkerLeave) {
    TDirScaner scanner(nullptr);
    scanner.SetOptions(DefaultScanerOptions.Without(soManageMainThread));
    TEvent working(true, false);
    std::atomic<bool> worked[3] = {false, false, false};
    StartWorker<TTestWorker>(&scanner, [&](TTestWorker& self) {
        worked[0] = true;
        working.Set();
        while (!self.Terminated())
            SleepMs(5);
    });
    WaitServing(working);
    for (int i = 1; i < 3; ++i)
        StartWorker<TTestWorker>(&scanner, [&, i](TTestWorker&) { worked[i] = true; });
    // Both are in line for the turn by now.
    SleepMs(200);
    scanner.Abort();
    scanner.WaitForWorkers();

    EXPECT_TRUE(worked[0]);
    EXPECT_EQ(worked[1] + worked[2], 1) << "one waiting worker leaves, the other still works";
    EXPECT_EQ(scanner.ThreadCount(), 0);
}

// Records the events that reach the owner thread: "T" a timer tick, "S" a scan error.
class TRecordingScaner final : public TDirScaner {
public:
    explicit TRecordingScaner(std::vector<std::string>& log) : TDirScaner(nullptr), log_(log) {
        OnTimer = [this](TCustomDirScaner*) { Add("T"); };
        OnScanError = [this](TCustomDirScaner*, const std::u16string&, int32_t) { Add("S"); };
    }

private:
    void Add(const char* what) {
        std::lock_guard<std::mutex> guard(lock_);
        log_.push_back(what);
    }
    std::mutex lock_;
    std::vector<std::string>& log_;
};

TEST_F(ScannerWorkers, NoEventsWhileTheScannerIsDestroyed) {
    TSampleTree sample;
    std::vector<std::string> log;
    TEvent working(true, false);
    {
        auto scanner = std::make_unique<TRecordingScaner>(log);
        scanner->SetOptions(kSynchronous.Without(soAutoScan));
        scanner->Include(sample.Data(), true);
        scanner->IncludeFile(sample.Path(u"a.txt"));
        StartWorker<TTestWorker>(scanner.get(), [&](TTestWorker& self) {
            working.Set();
            while (!self.Terminated())
                SleepMs(5);
        });
        StartWorker<TTestWorker>(scanner.get(), [](TTestWorker&) {});
        WaitServing(working);
        log.clear();
        scanner.reset();
    }
    EXPECT_TRUE(log.empty()) << log.front();
}

} // namespace
