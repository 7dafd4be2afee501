#include "engine/FileEvents.h"

void TFileEventQueue::Push(const TFileEvent& event) {
    const std::lock_guard<std::mutex> guard(lock_);
    events_.push_back(event);
}

void TFileEventQueue::TakeAll(std::vector<TFileEvent>& events) {
    events.clear();
    // The taker's emptied vector comes back: neither side allocates again
    // once both have grown to a burst's size.
    const std::lock_guard<std::mutex> guard(lock_);
    events_.swap(events);
}
