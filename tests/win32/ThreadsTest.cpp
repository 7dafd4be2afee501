#include "system/Threads.h"
#include "system/Process.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class TLambdaThread final : public TThread {
public:
    explicit TLambdaThread(std::function<void(TLambdaThread&)> body) : body_(std::move(body)) {}
    using TThread::Terminated;

protected:
    void Execute() override { body_(*this); }

private:
    std::function<void(TLambdaThread&)> body_;
};

class Threads : public ::testing::Test {
protected:
    void SetUp() override { InitMainThreadSynchronization(); }
};

TEST_F(Threads, SynchronizedCallsRunOnTheMainThreadWhileItWaits) {
    const uint32_t mainId = CurrentThreadId();
    uint32_t ranOn = 0;
    TLambdaThread worker([&](TLambdaThread&) { Synchronize([&] { ranOn = CurrentThreadId(); }); });
    worker.Start();
    worker.WaitFor();
    EXPECT_EQ(ranOn, mainId);
}

TEST_F(Threads, SynchronizeCarriesExceptionsBackToTheWorker) {
    bool caught = false;
    TLambdaThread worker([&](TLambdaThread&) {
        try {
            Synchronize([] { throw std::runtime_error("refused"); });
        } catch (const std::runtime_error&) {
            caught = true;
        }
    });
    worker.Start();
    worker.WaitFor();
    EXPECT_TRUE(caught);
}

TEST_F(Threads, FreeOnTerminateReportsOnTheMainThreadAndFreesItself) {
    TEvent ended(true, false);
    uint32_t reportedOn = 0;
    auto* worker = new TLambdaThread([](TLambdaThread&) {});
    worker->FreeOnTerminate = true;
    worker->OnTerminate = [&](TThread&) {
        reportedOn = CurrentThreadId();
        ended.Set();
    };
    worker->Start();
    WaitServing(ended);
    EXPECT_EQ(reportedOn, CurrentThreadId());
}

TEST_F(Threads, TerminateIsSeenByTheWorkAndAnUnstartedThreadIsDestroyedCleanly) {
    TEvent running(true, false);
    TLambdaThread worker([&](TLambdaThread& self) {
        running.Set();
        while (!self.Terminated())
            running.Wait(1);
    });
    worker.Start();
    ASSERT_TRUE(running.Wait(5000));
    worker.Terminate();
    worker.WaitFor();

    bool executed = false;
    {
        TLambdaThread never([&](TLambdaThread&) { executed = true; });
    }
    EXPECT_FALSE(executed);
}

TEST_F(Threads, OneMutexOwnerAtATimeAndAnEventReleasesWaiters) {
    TMutex run;
    TEvent abort(false, false);
    TEvent firstHas(true, false);
    TEvent firstMayGo(true, false);
    int turns[2] = {-1, -1};
    TLambdaThread first([&](TLambdaThread&) {
        turns[0] = WaitForFirst(abort, run);
        firstHas.Set();
        firstMayGo.Wait(kInfinite);
        run.Release();
    });
    first.Start();
    ASSERT_TRUE(firstHas.Wait(5000));
    TLambdaThread second([&](TLambdaThread&) { turns[1] = WaitForFirst(abort, run); });
    second.Start();
    abort.Set();
    second.WaitFor();
    firstMayGo.Set();
    first.WaitFor();
    EXPECT_EQ(turns[0], 1) << "the first takes the mutex";
    EXPECT_EQ(turns[1], 0) << "the second leaves by the abort event";
}

TEST_F(Threads, AWorkerLowersAndRestoresTheMainThreadThroughItsRealHandle) {
    TThreadRef mainThread = TThreadRef::Current();
    TThreadPriority seen = tpNormal;
    TLambdaThread worker([&](TLambdaThread&) {
        mainThread.SetPriority(tpIdle);
        seen = mainThread.GetPriority();
        mainThread.SetPriority(tpNormal);
    });
    worker.Start();
    worker.WaitFor();
    EXPECT_EQ(seen, tpIdle);
    EXPECT_EQ(mainThread.GetPriority(), tpNormal);
}

} // namespace
