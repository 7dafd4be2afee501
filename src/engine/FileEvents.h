// The reading thread's per-file events (a file begun, a file done) for the
// owner thread. They go through a queue rather than one thread message
// each: every posted message and every wake-up it causes costs a round
// trip to the system, which is most of the time a small file takes.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

struct TTreeNode;
class TDirTree;

struct TFileEvent {
    uint32_t Kind = 0; // CM_FILE_BEGIN or CM_FILE_DONE (ChksumCalc.h)
    TTreeNode* Node = nullptr;
    TDirTree* Tree = nullptr;
};

// Shared between threads under its own mutex: the reading thread pushes,
// the owner thread takes. Events come out in the order they went in.
class TFileEventQueue {
public:
    // Reading thread: appends event.
    void Push(const TFileEvent& event);
    // Owner thread: every event queued so far; the queue is left empty.
    std::vector<TFileEvent> TakeAll();

private:
    std::mutex lock_;
    std::vector<TFileEvent> events_;
};
