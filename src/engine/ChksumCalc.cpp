#include "engine/ChksumCalc.h"

#include "engine/FlatScanThread.h"
#include "engine/LxHash.h"
#include "engine/ReaderThread.h"
#include "system/LxSys.h"
#include "system/Process.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace {

uint64_t ClockNow() {
    if (HasPerformanceCounter)
        return static_cast<uint64_t>(ReadPerformanceCounter());
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

// Appends each failed node to the group of its error code.
void GroupErrors(const std::vector<TTreeNode*>& errors, const TDirTree& tree,
                 std::vector<TErrorGroup>& grouped) {
    for (const TTreeNode* node : errors) {
        const int32_t code = tree.GetData(node)->ErrorCode;
        auto group = std::find_if(grouped.begin(), grouped.end(),
                                  [code](const TErrorGroup& g) { return g.Code == code; });
        if (group == grouped.end())
            group = grouped.insert(grouped.end(), TErrorGroup{code, {}});
        group->Nodes.push_back(node);
    }
}

} // namespace

TCustomChksumCalc::TCustomChksumCalc(TComponent* owner)
    : TCustomDirScaner(owner, CreateDirTree<TCheckSumTree>) {
    SetPriority(tpHighest);
}

TCustomChksumCalc::~TCustomChksumCalc() {
    TCustomChksumCalc::Abort();
}

void TCustomChksumCalc::Calculate() {
    // Checked before the scan: a scan queued now would rebuild the trees
    // while the running reader still fills them and names their nodes.
    if (reader_ != nullptr)
        throw EChksumCalc("#Run");
    Scan();
    StartReader(TReaderThread::rmCalculation);
}

void TCustomChksumCalc::Verify() {
    StartReader(TReaderThread::rmVerification);
}

void TCustomChksumCalc::FlatScan() {
    if (HasState(TScanerState::Scaning))
        return;
    if (OnBeforeScan)
        OnBeforeScan(this);
    const bool started = FirstDirectory() != nullptr;
    LookedUp = 0;
    for (TDirectory* dir = FirstDirectory(); dir != nullptr; dir = NextDirectory(dir))
        StartWorker<TFlatScanThread>(this, dir, LookedUp);
    if (started && !HasOption(soASync))
        WaitServing(DoneEvent());
}

void TCustomChksumCalc::StartReader(uint8_t mode) {
    if (reader_ != nullptr)
        throw EChksumCalc("#Run");
    // Reset only with no reader at work: it is the one that writes them.
    Changed.clear();
    DamagedCount = 0;
    reader_ = StartWorker<TReaderThread>(this, static_cast<TReaderThread::TMode>(mode));
}

void TCustomChksumCalc::SetReader(TReaderThread* reader) {
    reader_ = reader;
}

void TCustomChksumCalc::Abort() {
    TCustomDirScaner::Abort();
    // Through the manager's list, never through reader_: the reader may end
    // and free itself at any moment, and the list is kept under a lock.
    ThreadManager().TerminateAll();
    // The owner thread serves the workers' synchronised calls while it
    // waits. No other thread may wait: the owner thread may be waiting for
    // it while a worker waits for the owner thread.
    if (CurrentThreadId() != OwnerThreadId() || reader_ == nullptr)
        return;
    WaitForWorkers();
    SetState(TScanerState::LockedByDescendant, false);
}

void TCustomChksumCalc::Notify(int32_t kind, TNotifyParam lParam) {
    TCustomDirScaner::Notify(kind, lParam);
    // Only the reader's own end ends the reading: a scan worker's end notice
    // may still be on its way when the reader has already begun.
    const auto* reader = static_cast<TCustomThread*>(reader_.load());
    if (Destroying() || (kind != dsmThreadDone && kind != dsmThreadAborted) ||
        !HasState(TScanerState::LockedByDescendant) || lParam != reader)
        return;
    SetState(TScanerState::LockedByDescendant, false);
}

bool TCustomChksumCalc::StartReading() {
    bool abort = false;
    if (!Destroying() && OnStartReading)
        OnStartReading(this, abort);
    return abort;
}

void TCustomChksumCalc::StartTiming() {
    readErrors_.clear();
    SetState(TScanerState::LockedByDescendant, true);
    ReadBytes = 0;
    ReadFiles = 0;
    FailedBytes = 0;
    FailedFiles = 0;
    stopTime_ = 0;
    startTime_ = Now();
}

void TCustomChksumCalc::StopTiming() {
    stopTime_ = Now();
}

uint64_t TCustomChksumCalc::Now() const {
    return Clock ? Clock() : ClockNow();
}

uint32_t TCustomChksumCalc::GetElapsedTime() const {
    // Once reading has stopped, the time after it (the summary's questions)
    // is no reading time.
    const uint64_t stop = stopTime_.load();
    const uint64_t end = stop == 0 && HasState(TScanerState::LockedByDescendant) ? Now() : stop;
    const uint64_t ticks = end - startTime_;
    if (!HasPerformanceCounter)
        return static_cast<uint32_t>(ticks);
    return static_cast<uint32_t>(std::llround(static_cast<double>(ticks) /
                                              static_cast<double>(PerformanceFrequency) * 1000));
}

void TCustomChksumCalc::RecordReadError(TTreeNode* node, uint32_t errorCode) {
    readErrors_.push_back(node);
    Tree().GetData(node)->ErrorCode = static_cast<int32_t>(errorCode);
}

void TCustomChksumCalc::QueueFileEvent(const TFileEvent& event) {
    if (QueueFileEvents)
        fileEvents_.Push(event);
}

void TCustomChksumCalc::DeliverFileEvents() {
    const std::vector<TFileEvent> events = fileEvents_.TakeAll();
    if (!OnFileEvent)
        return;
    for (const TFileEvent& event : events)
        OnFileEvent(event);
}

TChange TCustomChksumCalc::ChangeOf(const TTreeNode* node) const {
    const TCheckSumData* data = CheckSumDataOf(const_cast<TTreeNode*>(node));
    if (data == nullptr || data->List == 0 || data->List > loadedLists_.size())
        return chEdited;
    const uint64_t listTime = loadedLists_[data->List - 1].Time;
    const uint64_t fileTime = Tree().GetData(node)->Time;
    // A file written the ordinary way has a time after its list's; one
    // that changed without it (a faulty disk, a bad copy) has an earlier
    // one. The same time is taken for an edit: the clock moves in steps of
    // up to 16 ms, so a file written just after its list may share its time.
    return listTime == 0 || fileTime == 0 || fileTime >= listTime ? chEdited : chDamaged;
}

TCheckSumData* TCustomChksumCalc::CheckSumDataOf(TTreeNode* node) const {
    return CheckSumData(static_cast<const TCheckSumTree*>(&Tree()), node);
}

std::string TCustomChksumCalc::GetHashText(const TTreeNode* node) const {
    const TCheckSumData* data = CheckSumDataOf(const_cast<TTreeNode*>(node));
    return data != nullptr ? BinToHex(data->Hash, sizeof data->Hash) : std::string();
}

std::vector<TErrorGroup> TCustomChksumCalc::GetScanErrorsByCode() const {
    std::vector<TErrorGroup> grouped;
    for (TDirectory* dir = FirstDirectory(); dir != nullptr; dir = NextDirectory(dir))
        GroupErrors(dir->ScanErrors, *dir->Tree, grouped);
    return grouped;
}

std::vector<TErrorGroup> TCustomChksumCalc::GetReadErrorsByCode() const {
    std::vector<TErrorGroup> grouped;
    GroupErrors(readErrors_, Tree(), grouped);
    return grouped;
}

std::string ParseResultText(TFileParseResult value) {
    static constexpr const char* texts[] = {"Success", "Wrong hash size", "Wrong symbol",
                                            "File access error"};
    return value <= fprFileAccessError ? texts[value] : std::string();
}
