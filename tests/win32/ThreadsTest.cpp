#include "system/Threads.h"
#include "system/Process.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class TLambdaThread final : public TThread {
public:
    explicit TLambdaThread(std::function<void(TLambdaThread&)> body) : body_(std::move(body)) {}

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

// The scanner's worker tests cover termination, the run mutex, the abort
// event and the owner thread's priority.
TEST_F(Threads, AnUnstartedThreadIsDestroyedCleanly) {
    bool executed = false;
    {
        TLambdaThread never([&](TLambdaThread&) { executed = true; });
    }
    EXPECT_FALSE(executed);
}

} // namespace
