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

// A synchronized call runs on the main thread while the worker waits, and
// its exception comes back to the worker.
TEST_F(Threads, SynchronizedCallsRunOnTheMainThreadAndCarryExceptionsBack) {
    const uint32_t mainId = CurrentThreadId();
    uint32_t ranOn = 0;
    bool caught = false;
    TLambdaThread worker([&](TLambdaThread&) {
        Synchronize([&] { ranOn = CurrentThreadId(); });
        try {
            Synchronize([] { throw std::runtime_error("refused"); });
        } catch (const std::runtime_error&) {
            caught = true;
        }
    });
    worker.Start();
    worker.WaitFor();
    EXPECT_EQ(ranOn, mainId);
    EXPECT_TRUE(caught);
}

// The scanner's worker tests cover termination, the run mutex and the abort
// event; an unstarted thread must also end.
TEST_F(Threads, FreeOnTerminateReportsOnTheMainThreadAndAnUnstartedThreadEndsCleanly) {
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
    bool executed = false;
    {
        TLambdaThread never([&](TLambdaThread&) { executed = true; });
    }
    EXPECT_FALSE(executed);
}

} // namespace
