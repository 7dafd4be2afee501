#include "engine/FileEvents.h"

#include <utility>

void TFileEventQueue::Push(const TFileEvent& event) {
    const std::lock_guard<std::mutex> guard(lock_);
    events_.push_back(event);
}

std::vector<TFileEvent> TFileEventQueue::TakeAll() {
    const std::lock_guard<std::mutex> guard(lock_);
    return std::exchange(events_, {});
}
