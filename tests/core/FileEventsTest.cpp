#include "engine/FileEvents.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// The queue does not look into an event: Kind numbers them here.
std::vector<uint32_t> Kinds(const std::vector<TFileEvent>& events) {
    std::vector<uint32_t> kinds;
    for (const TFileEvent& event : events)
        kinds.push_back(event.Kind);
    return kinds;
}

TEST(FileEventQueue, EveryEventOfAPushingThreadArrivesOnceAndInOrder) {
    constexpr uint32_t kCount = 200000;
    TFileEventQueue queue;
    std::atomic<bool> pushed{false};
    std::thread reader([&] {
        for (uint32_t kind = 0; kind < kCount; ++kind)
            queue.Push({kind});
        pushed = true;
    });
    std::vector<uint32_t> arrived;
    std::vector<TFileEvent> taken;
    bool last = false;
    while (!last) {
        // Whatever was pushed before the flag was seen is taken after it.
        last = pushed;
        taken = queue.TakeAll();
        for (uint32_t kind : Kinds(taken))
            arrived.push_back(kind);
    }
    reader.join();
    std::vector<uint32_t> expected(kCount);
    for (uint32_t i = 0; i < kCount; ++i)
        expected[i] = i;
    EXPECT_EQ(arrived, expected);
}

} // namespace
