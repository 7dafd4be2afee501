// The checksum engine: a directory scanner whose trees carry a digest per
// file. After the scan workers, one reading thread opens every selected
// file, hashes it with MD5, stores the digest in the file's node and tells
// the owner thread about each file through a queue of file events. For verification,
// checksum lists load into flat trees whose entries the flat scan looks up
// on disk.
#pragma once

#include "Packages/Common/DirScaner.h"
#include "engine/CheckSumTree.h"
#include "engine/FileEvents.h"
#include "engine/ListParser.h"
#include "engine/Md5Lanes.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class TReaderThread;

// The kinds of the reading thread's file events (TFileEvent), and its one
// thread message to the owner thread, posted after its last file event
// (wParam and lParam 0).
constexpr uint32_t CM_FILE_BEGIN = 1058; // opened, before the first read
constexpr uint32_t CM_FILE_DONE = 1059;  // read and its digest stored
constexpr uint32_t CM_READ_DONE = 1060;  // every file done (not after an abort)

// Misuse of the engine, such as starting a run while one reads ("#Run").
class EChksumCalc : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The nodes that failed with one system error code.
struct TErrorGroup {
    int32_t Code;
    std::vector<const TTreeNode*> Nodes;
};

class TCustomChksumCalc : public TCustomDirScaner {
public:
    explicit TCustomChksumCalc(TComponent* owner);
    // Stops the scan and the reading thread and waits for them.
    ~TCustomChksumCalc() override;

    // Scans everything, then starts the reading thread (calculation).
    // EChksumCalc "#Run" while a reading thread exists.
    void Calculate();
    // Starts the reading thread in verification mode (no scan).
    // EChksumCalc "#Run" while a reading thread exists.
    void Verify();
    // Asks every worker, the reading thread among them, to stop. Callable
    // from any thread, but only the owner thread waits: there, when a reading
    // thread exists, it returns once every worker has ended (serving their
    // synchronised calls meanwhile). Any other thread, such as the console's
    // control handler, returns at once; the reading phase then ends with the
    // reader's end notice, and the owner thread waits in its own Abort or in
    // the destructor.
    void Abort() override;
    // Reads a checksum list into the flat tree of the record of basePath
    // (created when there is none): one node per entry that mode (see
    // TListMode) and the masks keep, named by its path below basePath and
    // holding the listed digest. Entries are relative to basePath, as a
    // named list is written, or with fromListFolder to the list's own folder
    // (each file's and each folder's list); one that leads out of basePath
    // goes to the record of its drive or share root instead. With refTree,
    // attributes, size and time come from the node of the same path there. Fires OnLoadList once
    // the list is open, unless probing. The result tells how reading ended (fprFileAccessError with
    // the system's code when the list could not be opened or read on). An empty listFile is an
    // assertion failure.
    TFileParseInfo LoadCheckSumList(const std::u16string& listFile, const std::u16string& basePath,
                                    const std::u16string& fileFilter, uint8_t mode,
                                    const TDirTree* refTree, bool fromListFolder = false);
    // A list the engine has loaded (in the order of loading), and its
    // last-write time. Plain: LoadCheckSumList adds them on the owner thread
    // before the reading thread starts, which then only reads them.
    struct TLoadedList {
        std::u16string Path;
        uint64_t Time = 0; // 100-nanosecond intervals since 1601, UTC; 0 when unknown
    };
    const std::vector<TLoadedList>& LoadedLists() const { return loadedLists_; }
    // How verification found the file of node, whose digest differs from
    // its entry's: chDamaged when it was last written before its list was,
    // chEdited otherwise (also when either time is unknown).
    TChange ChangeOf(const TTreeNode* node) const;
    // Looks every loaded entry up on disk, one worker per record; without
    // soASync returns when they are done. Nothing while a scan works.
    void FlatScan();

    // Milliseconds of the reading phase: growing while it runs, fixed after.
    uint32_t GetElapsedTime() const;
    // The node's digest as 32 upper-case hexadecimal digits.
    std::string GetHashText(const TTreeNode* node) const;
    // One group per error code, in order of first appearance, each with
    // its failed nodes in the order they failed.
    std::vector<TErrorGroup> GetScanErrorsByCode() const;
    std::vector<TErrorGroup> GetReadErrorsByCode() const;
    // The node's checksum record in whichever of the engine's trees holds it.
    TCheckSumData* CheckSumDataOf(TTreeNode* node) const;
    // The nodes of the files that failed to read, in the order they failed.
    const std::vector<TTreeNode*>& ReadErrors() const { return readErrors_; }

    // Counters of the current run, written by the reading thread. Atomic:
    // the owner thread reads them while reading goes on (the progress).
    std::atomic<uint64_t> ReadBytes{0};
    std::atomic<uint64_t> ReadFiles{0}; // read to their end and hashed
    std::atomic<uint64_t> FailedBytes{0};
    std::atomic<uint64_t> FailedFiles{0};
    // Entries the flat scan has looked up. Atomic: the flat scan's workers
    // count them while the owner thread shows them.
    std::atomic<uint64_t> LookedUp{0};
    // The changed files of a verification in the order they were read, and
    // how many of them were not written since their list was (chDamaged).
    // Plain: the reading thread writes them, and the owner thread reads them
    // only after CM_READ_DONE, which the reader posts after its last write.
    std::vector<TTreeNode*> Changed;
    uint64_t DamagedCount = 0;

    // Before anything is read, on the owner thread; setting abort reads nothing.
    std::function<void(TCustomChksumCalc* sender, bool& abort)> OnStartReading;
    // When LoadCheckSumList has opened a list (not when probing).
    TScanerEvent OnLoadList;
    // While LoadCheckSumList reads a list, about once a second, on the
    // thread that loads: the entries read from the list so far.
    std::function<void(uint64_t entries)> OnListProgress;

    // How many files the reading thread hashes at once in the vector unit's
    // lanes: the widest this processor runs. Plain: set on the owner thread
    // before a run starts (the tests try each width), read by the reading
    // thread it starts.
    TLaneWidth LaneWidth = WidestLaneWidth();
    // Whether files larger than a batch reads whole share the lanes, each
    // read a piece at a time in turn; unset, the drive of each record is
    // asked whether it seeks. Plain, as LaneWidth.
    std::optional<bool> InterleaveLargeFiles;
    // The clock of the reading time, in ticks of the performance counter
    // (milliseconds without one); unset, the system's. Plain, as LaneWidth
    // (GetElapsedTime calls it on the owner thread too).
    std::function<uint64_t()> Clock;

    // Whether the reading thread queues its file events. Atomic: the owner
    // thread sets it before reading starts (in OnStartReading at the
    // latest); the reading thread reads it. Without it nothing is queued.
    std::atomic<bool> QueueFileEvents{false};
    // Owner thread: hands every file event queued so far to OnFileEvent, in
    // the order the reading thread queued them. Called whenever the owner
    // thread wakes, and before it handles CM_READ_DONE.
    void DeliverFileEvents();
    // A file begun or done, on the owner thread (from DeliverFileEvents).
    std::function<void(const TFileEvent& event)> OnFileEvent;

    // --- Used by the reading thread ---
    void SetReader(TReaderThread* reader);
    TReaderThread* Reader() const { return reader_; }
    // Fires OnStartReading; true when the handler asked to read nothing.
    bool StartReading();
    void StartTiming();
    void StopTiming();
    // Records a file that could not be read (error tree, node's ErrorCode and Link).
    void RecordReadError(TTreeNode* node, uint32_t errorCode);
    // Queues a file event when QueueFileEvents asks for them.
    void QueueFileEvent(const TFileEvent& event);

protected:
    void Notify(int32_t kind, TNotifyParam lParam) override;

private:
    void StartReader(uint8_t mode);
    uint64_t Now() const;

    std::vector<TTreeNode*> readErrors_;
    std::vector<TLoadedList> loadedLists_;
    TFileEventQueue fileEvents_;
    std::atomic<TReaderThread*> reader_{nullptr};
    std::atomic<uint64_t> startTime_{0};
    std::atomic<uint64_t> stopTime_{0};
};

class TChksumCalc : public TCustomChksumCalc {
public:
    using TCustomChksumCalc::TCustomChksumCalc;
};

// The text of a parse result ("Success", "Wrong hash size", ...).
std::string ParseResultText(TFileParseResult value);
