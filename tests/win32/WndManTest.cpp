#include "Packages/Common/WndMan.h"
#include "system/Process.h"

#include <gtest/gtest.h>

namespace {

TEST(HiddenWindow, TwoWindowsTickIndependentlyThroughTheMessageLoop) {
    int ticks[2] = {0, 0};
    const uint32_t thread = CurrentThreadId();
    std::unique_ptr<THiddenWindow> windows[2];
    for (int i = 0; i < 2; ++i) {
        windows[i] = std::make_unique<THiddenWindow>(
            "Test " + std::to_string(i), [&, i](uint32_t message, uintptr_t id, intptr_t) {
                if (message != WM_TIMER_ID || id != 7)
                    return;
                if (++ticks[i] == 3)
                    windows[i]->StopTimer(7);
                if (ticks[0] >= 3 && ticks[1] >= 3)
                    PostThreadMessageTo(thread, {WM_QUIT_ID, 0, 0});
            });
        ASSERT_TRUE(windows[i]->Valid());
    }
    ASSERT_TRUE(windows[0]->StartTimer(7, 10));
    ASSERT_TRUE(windows[1]->StartTimer(7, 25));
    RunMessageLoop([](const TThreadMessage&) {});
    EXPECT_EQ(ticks[0], 3);
    EXPECT_EQ(ticks[1], 3);
}

TEST(HiddenWindow, AStoppedTimerTicksNoMore) {
    int ticks = 0;
    const uint32_t thread = CurrentThreadId();
    THiddenWindow quitter("Quitter", [&](uint32_t message, uintptr_t, intptr_t) {
        if (message == WM_TIMER_ID)
            PostThreadMessageTo(thread, {WM_QUIT_ID, 0, 0});
    });
    THiddenWindow stopped(
        "Stopped", [&](uint32_t message, uintptr_t, intptr_t) { ticks += message == WM_TIMER_ID; });
    ASSERT_TRUE(stopped.StartTimer(1, 10));
    stopped.StopTimer(1);
    ASSERT_TRUE(quitter.StartTimer(1, 100));
    RunMessageLoop([](const TThreadMessage&) {});
    EXPECT_EQ(ticks, 0);
}

} // namespace
