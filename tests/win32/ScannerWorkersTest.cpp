// Turn-taking of the scanner's workers, waiting, aborting, and the
// notifications and timer ticks that reach the owner thread.
#include "ScannerSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
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

    // Records in ends how each worker of scanner ended, by its address.
    void RecordEnds(TCustomDirScaner& scanner) {
        scanner.OnChanged = [this](TCustomDirScaner*, int32_t kind, TNotifyParam param) {
            if (kind == dsmThreadDone || kind == dsmThreadAborted)
                ends[param] = kind;
        };
    }
    std::map<TNotifyParam, int32_t> ends;
};

// The owner thread yields while workers work and is restored after.
TEST_F(ScannerWorkers, OnlyOneWorksAtATimeWhileTheOwnerThreadYields) {
    TDirScaner scanner(nullptr);
    std::atomic<int> inside{0}, most{0}, worked{0};
    TThreadPriority owner = tpNormal, worker = tpIdle;
    for (int i = 0; i < 4; ++i)
        StartWorker<TTestWorker>(&scanner, [&](TTestWorker& self) {
            most = std::max(most.load(), ++inside);
            owner = scanner.OwnerThread().GetPriority();
            worker = self.GetPriority();
            SleepMs(20);
            --inside;
            ++worked;
        });
    scanner.WaitForWorkers();
    EXPECT_EQ(worked, 4);
    EXPECT_EQ(most, 1);
    EXPECT_EQ(scanner.ThreadCount(), 0);
    EXPECT_EQ(owner, tpLowest);
    EXPECT_EQ(worker, tpNormal);
    EXPECT_EQ(scanner.OwnerThread().GetPriority(), tpNormal);
}

TEST_F(ScannerWorkers, AWorkerThatWaitsAloneLetsTheOthersGoFirst) {
    TDirScaner scanner(nullptr);
    TEvent working(true, false), release(true, false);
    std::mutex lock;
    std::vector<int> order;
    int countWhenAlone = -1;
    auto note = [&](int id) {
        std::lock_guard<std::mutex> guard(lock);
        order.push_back(id);
    };
    StartWorker<TTestWorker>(&scanner, [&](TTestWorker&) {
        working.Set();
        release.Wait(5000);
        note(0);
    });
    ASSERT_TRUE(working.Wait(5000));
    StartWorker<TTestWorker>(
        &scanner,
        [&](TTestWorker&) {
            countWhenAlone = scanner.ThreadCount();
            note(1);
        },
        true);
    SleepMs(50);
    StartWorker<TTestWorker>(&scanner, [&](TTestWorker&) { note(2); });
    release.Set();
    scanner.WaitForWorkers();
    EXPECT_EQ(order, (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(countWhenAlone, 1);
}

TEST_F(ScannerWorkers, AbortStopsTheWorkingOneAndLetsOneWaitingWorkerLeave) {
    TDirScaner scanner(nullptr);
    scanner.SetOptions(DefaultScanerOptions.Without(soManageMainThread));
    RecordEnds(scanner);
    TEvent working(true, false);
    std::atomic<bool> worked[3] = {false, false, false};
    TNotifyParam ids[3];
    ids[0] =
        reinterpret_cast<TNotifyParam>(StartWorker<TTestWorker>(&scanner, [&](TTestWorker& self) {
            worked[0] = true;
            working.Set();
            while (!self.Terminated())
                SleepMs(5);
        }));
    ASSERT_TRUE(working.Wait(5000));
    for (int i = 1; i < 3; ++i)
        ids[i] = reinterpret_cast<TNotifyParam>(
            StartWorker<TTestWorker>(&scanner, [&, i](TTestWorker&) { worked[i] = true; }));
    // Both are in line for the turn by now.
    SleepMs(200);
    scanner.Abort();
    scanner.WaitForWorkers();

    EXPECT_TRUE(worked[0]);
    EXPECT_EQ(worked[1] + worked[2], 1) << "one waiting worker leaves, the other still works";
    EXPECT_EQ(ends[ids[0]], dsmThreadAborted);
    EXPECT_EQ(ends[ids[1]], dsmThreadDone);
    EXPECT_EQ(ends[ids[2]], dsmThreadDone);
    EXPECT_EQ(scanner.ThreadCount(), 0);
}

// Records every notification as "N" (link-server funnel), "E" (the kind's
// own event or hook) and "C" (OnChanged), each with its kind.
class TRecordingScaner final : public TDirScaner {
public:
    explicit TRecordingScaner(std::vector<std::string>& log) : TDirScaner(nullptr), log_(log) {
        OnNotify = [this](TLinkServer*, TServerMessage kind, TNotifyParam kind2, TNotifyParam) {
            if (kind == smChanged)
                Add("N", static_cast<int32_t>(kind2));
        };
        OnInclude = [this](TCustomDirScaner*, const std::string&) { Add("E", dsmInclude); };
        OnExclude = [this](TCustomDirScaner*, const std::string&) { Add("E", dsmExclude); };
        OnTimer = [this](TCustomDirScaner*) { Add("E", dsmTimer); };
        OnDone = [this](TCustomDirScaner*) { Add("E", dsmThreadDone); };
        OnScanError = [this](TCustomDirScaner*, const std::u16string&, int32_t) {
            Add("E", dsmScanError);
        };
        OnChanged = [this](TCustomDirScaner*, int32_t kind, TNotifyParam) { Add("C", kind); };
    }

protected:
    void ThreadAborted(TNotifyParam) override { Add("E", dsmThreadAborted); }

private:
    void Add(const char* what, int32_t kind) {
        std::lock_guard<std::mutex> guard(lock_);
        std::string entry(what);
        entry.append(std::to_string(kind));
        log_.push_back(entry);
    }
    std::mutex lock_;
    std::vector<std::string>& log_;
};

TEST_F(ScannerWorkers, EveryNotificationReachesOnChangedOnceAfterItsEvent) {
    TSampleTree sample;
    std::vector<std::string> log;
    {
        TRecordingScaner scanner(log);
        scanner.SetOptions(kSynchronous);
        scanner.SetInterval(10);
        scanner.IncludeMasks().Add("*.txt");
        scanner.ExcludeMasks().Add("a*");
        scanner.Include(sample.Data(), true);
        scanner.IncludeFile(sample.Path(u"b.doc"));
        scanner.ExcludeFile(sample.Path(u"b.doc"));
        // A record of a folder that cannot be listed.
        auto missing = std::make_unique<TDirectory>(&scanner, sample.Path(u"missing"), true);
        scanner.WaitForWorkers();
        missing.reset();
        // A worker that runs until aborted, while the timer ticks.
        StartWorker<TTestWorker>(&scanner, [](TTestWorker& self) {
            while (!self.Terminated())
                SleepMs(5);
        });
        RunLoopFor(100);
        scanner.Abort();
        scanner.WaitForWorkers();
        scanner.Clear(false);
    }
    // Each funnel entry is followed by its event (for the kinds that have
    // one) and then by OnChanged.
    const std::set<int32_t> evented = {dsmInclude,    dsmExclude,       dsmTimer,
                                       dsmThreadDone, dsmThreadAborted, dsmScanError};
    std::vector<std::string> expected;
    std::map<int32_t, int> changed;
    for (const std::string& entry : log)
        if (entry[0] == 'N') {
            const int32_t kind = std::stoi(entry.substr(1));
            for (char what : {'N', 'E', 'C'})
                if (what != 'E' || evented.count(kind)) {
                    expected.push_back(entry);
                    expected.back()[0] = what;
                }
            ++changed[kind];
        }
    EXPECT_EQ(log, expected);
    for (int32_t kind : {dsmInclude, dsmExclude, dsmClear, dsmTimer, dsmThreadCreate, dsmThreadDone,
                         dsmThreadAborted, dsmIMaskInsert, dsmIMaskClear, dsmEMaskInsert,
                         dsmEMaskClear, dsmScanError})
        EXPECT_GT(changed[kind], 0) << ScanerMessageNames[kind];
}

// Each scanner's timer ticks while its own workers run and stops when they
// have ended, whatever the other scanner does.
TEST_F(ScannerWorkers, EachScannersTimerTicksWhileItsWorkersRun) {
    TDirScaner first(nullptr), second(nullptr);
    first.SetInterval(10);
    second.SetInterval(15);
    TEvent releaseFirst(true, false), releaseSecond(true, false);
    int ticks[2] = {0, 0};
    bool firstDone = false;
    first.OnTimer = [&](TCustomDirScaner*) { ++ticks[0]; };
    second.OnTimer = [&](TCustomDirScaner*) { ++ticks[1]; };
    first.OnDone = [&](TCustomDirScaner*) { firstDone = true; };
    StartWorker<TTestWorker>(&first, [&](TTestWorker&) { releaseFirst.Wait(5000); });
    StartWorker<TTestWorker>(&second, [&](TTestWorker&) { releaseSecond.Wait(5000); });
    EXPECT_TRUE(first.TimerRunning());
    EXPECT_TRUE(RunLoopUntil([&] { return ticks[0] >= 5 && ticks[1] >= 3; }));
    releaseFirst.Set();
    ASSERT_TRUE(RunLoopUntil([&] { return firstDone; }));
    const int firstAtEnd = ticks[0];
    const int secondBefore = ticks[1];
    RunLoopFor(100);
    EXPECT_EQ(ticks[0], firstAtEnd);
    EXPECT_FALSE(first.TimerRunning());
    EXPECT_GT(ticks[1], secondBefore);
    releaseSecond.Set();
    second.WaitForWorkers();
}

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
        ASSERT_TRUE(working.Wait(5000));
        log.clear();
        scanner.reset();
    }
    EXPECT_TRUE(log.empty()) << log.front();
}

} // namespace
