// The directory scanner: it collects folders and single files, scans them
// on worker threads (one working at a time) into path trees, filters files
// through include and exclude masks, records folders that cannot be listed
// and announces everything through one notification method.
//
// All folders hang in one master tree: the root node of each directory
// record's own tree is also a top-level node of the master tree. Files
// included one by one hang under the static node, always the last
// top-level node, under their full paths.
#pragma once

#include "Packages/Common/DirTree.h"
#include "Packages/Common/Masks.h"
#include "Packages/Files/StrProc.h"
#include "system/Threads.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCustomDirScaner;
class TCustomThread;
class THiddenWindow;
class TThreadManager;

// Notification kinds of Notify(kind, lParam); lParam per kind in the comments.
enum TScanerMessage : int32_t {
    dsmTimer = 0,         // nullptr
    dsmThreadDone = 1,    // the worker
    dsmThreadAborted = 2, // the worker
    dsmScanError = 3,     // the node of the folder that failed to list
};
// What a notification names: a worker or a node, as the kind says.
using TNotifyParam = const void*;

enum TScanerOption : uint8_t {
    soIgnoreSVI = 0,        // skip folders named "System Volume Information"
    soIgnoreRecycler = 1,   // skip folders named "RECYCLER"
    soAutoScan = 2,         // inclusions, exclusions and mask changes start their worker at once
    soAllowStatic = 3,      // workers count the statistics of the records
    soASync = 4,            // Include and Scan return without waiting for the workers
    soManageMainThread = 5, // the owner thread runs at lowest priority while workers work
    soKeepMaskedFiles = 6,  // files that fail the masks stay in the tree, marked Masked
    soNotSynchronize = 7,   // scan errors are reported on the worker itself
};

// A set of TScanerOption, bit number = option.
class TScanerOptions {
public:
    constexpr TScanerOptions() = default;
    constexpr explicit TScanerOptions(uint16_t bits) : bits_(bits) {}
    constexpr uint16_t Bits() const { return bits_; }
    constexpr bool Has(TScanerOption option) const { return (bits_ >> option) & 1; }
    constexpr TScanerOptions With(TScanerOption option) const {
        return TScanerOptions(static_cast<uint16_t>(bits_ | (1u << option)));
    }
    constexpr TScanerOptions Without(TScanerOption option) const {
        return TScanerOptions(static_cast<uint16_t>(bits_ & ~(1u << option)));
    }
    constexpr bool operator==(const TScanerOptions&) const = default;

private:
    uint16_t bits_ = 0;
};
// soIgnoreSVI, soIgnoreRecycler, soAutoScan, soAllowStatic, soASync,
// soManageMainThread and soKeepMaskedFiles.
constexpr TScanerOptions DefaultScanerOptions{0x007F};

// Scanner states, bit number = state.
enum class TScanerState : uint8_t {
    Loading = 0,
    Saving = 1,
    Scaning = 2, // a scan worker is at work
    Masking = 3,
    Clearing = 4, // inside Clear
    LockedByDescendant = 5,
};

// Where a path lies against the directory records (CheckPath).
enum TPathCheck : uint8_t {
    pcInside = 0,   // in the scope of a record
    pcListed = 1,   // an explicit list entry overrides the default answer
    pcOutside = 2,  // in no record's scope
    pcContains = 3, // contains a record
};

// Relation of FindDirectory.
enum TDirRelation : uint8_t {
    drNone = 0,
    drSame = 1,         // the record's folder is the path
    drRecordInside = 2, // the record's folder lies inside the path
    drPathInside = 3,   // the path lies inside the record's folder
};

using TScanErrorEvent =
    std::function<void(TCustomDirScaner* sender, const std::u16string& path, int32_t errorCode)>;
using TScanerEvent = std::function<void(TCustomDirScaner* sender)>;

// One included folder: its path tree, its scan errors, its explicit
// inclusions and exclusions, and its statistics. A plain record: the
// worker that holds the scanner's turn writes it, the owner thread reads it
// when no worker works on it.
class TDirectory {
public:
    // Links the record's tree into owner's master tree and, with
    // soAutoScan, starts the scan of the whole folder. An owner of nullptr
    // or an empty path is an assertion failure.
    TDirectory(TCustomDirScaner* owner, const std::u16string& path, bool recursive);
    // Stops the workers about this record and unlinks the tree from the
    // master tree.
    ~TDirectory();
    TDirectory(const TDirectory&) = delete;
    TDirectory& operator=(const TDirectory&) = delete;

    // The counted bytes, files and folders.
    void GetStatistics(int64_t& size, int64_t& files, int64_t& folders) const;
    // Brings a folder or a file below the record's folder into the scan.
    // The folder itself, a path outside it and a file that fails the include
    // masks are assertion failures.
    void IncludePath(const std::u16string& path);
    // Takes a counted file of the tree out of the run: it becomes masked and
    // moves to the masked figures. Nothing for a file masked already.
    void MaskFile(TTreeNode* node);
    // Stops the current worker and empties the trees, the lists and the
    // error count; the record keeps its folder and its place.
    void Clear();

    TCustomDirScaner* const Owner;
    // The folder's nodes; the root's Link refers to this record.
    std::unique_ptr<TDirTree> Tree;
    // The folder, without trailing backslash except for a drive root.
    std::u16string Path;
    // The nodes of the folders that failed to list since the last full
    // scan, in the order they failed. Appended on the owner thread (the
    // workers report through a synchronised call; on the worker itself
    // with soNotSynchronize) and read once the workers have ended.
    std::vector<TTreeNode*> ScanErrors;
    TPathList IncludedFolders; // brought into scope explicitly
    TPathList ExcludedFolders; // taken out of scope explicitly
    TPathList IncludedFiles;   // pass whatever the masks say
    TPathList ExcludedFiles;   // fail whatever the masks say
    TMasks* IncludeMasks;      // the owner's lists
    TMasks* ExcludeMasks;
    int64_t Size = 0;        // bytes of the counted files
    int64_t Files = 0;       // files counted
    int64_t Folders = 0;     // folders counted
    int64_t MaskedSize = 0;  // bytes of the masked files kept in the tree
    int64_t MaskedFiles = 0; // masked files kept in the tree
    const bool Recursive;    // sub-folders are walked
};

class TCustomDirScaner : public TLinkServer {
public:
    // treeClass: the class of the master tree and of every record's tree
    // (descendants with trees of their own pass theirs). Must be created on
    // a thread that dispatches messages: its timer ticks and its workers'
    // reports arrive through that thread's message loop.
    explicit TCustomDirScaner(TComponent* owner, TDirTreeClass treeClass = CreateDirTree<TDirTree>);
    // Stops every worker and waits until each has ended (serving their
    // synchronised calls); no notification is delivered meanwhile.
    ~TCustomDirScaner() override;

    // Adds a folder (recursive: with its sub-folders) or, when path is not an
    // existing folder, a single file. A folder inside an included one is
    // brought into that record's scope; a folder that contains records
    // replaces them. Without soASync it waits until every
    // worker has finished, when it started one.
    void Include(const std::u16string& path, bool recursive);
    // Adds a single file (replacing an earlier entry of the same path).
    void IncludeFile(const std::u16string& path);
    // Rescans every record and the single files; nothing while a scan works.
    void Scan();
    // Drops every record and single file, and the masks unless keepMasks.
    void Clear(bool keepMasks);
    // A new record of path, kept with the others (and scanned with soAutoScan).
    TDirectory* AddDirectory(const std::u16string& path, bool recursive);
    // Lets one waiting worker leave, stops the timer and asks the working
    // worker to stop; waits for none of them. Callable from any thread (a
    // timer that another thread cannot stop ends at its first tick without
    // workers).
    virtual void Abort();

    // The records in master-tree order.
    TDirectory* FirstDirectory() const;
    TDirectory* NextDirectory(const TDirectory* dir) const;
    // The first record that is path, lies inside it or contains it; relation
    // tells which (drNone and nullptr when none does).
    TDirectory* FindDirectory(const std::u16string& path, TDirRelation& relation) const;
    // Where path lies against the records and the lists.
    TPathCheck CheckPath(const std::u16string& path) const;

    // Pre-order walk over the master tree: the first item of the first
    // record that has items (then of the static node unless skipStatic).
    TTreeNode* FirstItem(bool skipStatic) const;
    // The next item; the root nodes of later records are items too. The
    // static node itself is never returned.
    TTreeNode* NextItem(const TTreeNode* node, bool skipStatic) const;
    // Full path of an item; empty for nullptr, the master root and the static node.
    std::u16string GetItemPath(const TTreeNode* node) const;

    // Items of all records that are not folders.
    int64_t CountFiles() const;
    // Sums of the records' statistics plus the single files.
    void GetStatistics(int64_t& size, int64_t& files, int64_t& folders) const;
    // Sums of the records' masked statistics.
    void GetMaskedStatistics(int64_t& size, int64_t& files) const;
    // True when a record has a scan error.
    bool HasScanErrors() const;

    // Waits until every worker has ended and its end has been announced,
    // serving synchronised calls meanwhile. Owner thread only.
    void WaitForWorkers();

    // A running timer is restarted with the new period.
    void SetInterval(uint32_t milliseconds);
    TThreadPriority Priority() const { return priority_; }
    void SetPriority(TThreadPriority priority);
    TScanerOptions Options() const { return TScanerOptions(options_.load()); }
    void SetOptions(TScanerOptions options) { options_ = options.Bits(); }
    bool HasOption(TScanerOption option) const { return Options().Has(option); }
    bool HasState(TScanerState state) const;
    void SetState(TScanerState state, bool on);

    TDirTreeClass GetTreeClass() const { return treeClass_; }
    TDirTree& Tree() const { return *tree_; }
    TTreeNode* StaticNode() const { return staticNode_; }
    const TPathList& StaticList() const { return staticList_; }
    TMasks& IncludeMasks() const { return *includeMasks_; }
    TMasks& ExcludeMasks() const { return *excludeMasks_; }
    int32_t ThreadCount() const { return threadCount_; }
    bool TimerRunning() const { return timerId_ != 0; }

    // Announces a change (see TScanerMessage) to the kind's event, if it
    // has one. Nothing while the scanner is being destroyed.
    virtual void Notify(int32_t kind, TNotifyParam lParam);

    TScanErrorEvent OnScanError;
    TScanerEvent OnTimer;
    TScanerEvent OnBeforeScan;

    // --- Used by the workers and the directory records ---
    // Counts a worker in; the first starts the progress timer.
    void RegisterThread();
    // Counts a worker out; returns the workers still registered.
    int32_t UnregisterThread();
    TEvent& AbortEvent() { return abortEvent_; }
    TMutex& RunMutex() { return runMutex_; }
    TEvent& DoneEvent() { return doneEvent_; }
    TThreadManager& ThreadManager() { return *threadManager_; }
    const TThreadRef& OwnerThread() const { return ownerThread_; }
    uint32_t OwnerThreadId() const { return ownerThreadId_; }
    // The worker at work, or nullptr.
    void SetCurrentThread(TCustomThread* thread);
    // Links a record's tree root into the master tree, before the static node.
    void LinkDirectory(TDirectory* dir);
    void UnlinkDirectory(TDirectory* dir);
    // Waits until the work of the current worker has ended (asking it to stop).
    void StopCurrentWork();

protected:
    // Applies Priority to the worker at work.
    virtual void PriorityChanged();
    // Fires OnScanError.
    virtual void DoScanError(const std::u16string& path, int32_t errorCode);

private:
    // Asks the worker at work, if any, to stop; true when there was one.
    bool TerminateCurrentThread();
    TTreeNode* EnsureStaticNode();
    void WindowMessage(uint32_t message, uintptr_t wParam);
    void MasksChanged(TMasks* sender);
    void FireEvents(int32_t kind, TNotifyParam lParam);
    void FreeDirectoriesInside(const std::u16string& folder);
    void FreeDirectories();
    TDirectory* DirectoryAt(const TTreeNode* top) const;
    const TTreeNode* TopOf(const TTreeNode* node) const;
    void WaitIfSynchronous(uint64_t workersBefore);
    void StartTimer();
    uintptr_t TimerId() const { return reinterpret_cast<uintptr_t>(this); }

    TDirTreeClass treeClass_;
    std::unique_ptr<THiddenWindow> window_;
    std::atomic<int32_t> threadCount_{0};
    std::atomic<uint64_t> workersCreated_{0};
    TEvent abortEvent_{false, false};
    TMutex runMutex_;
    std::atomic<uintptr_t> timerId_{0};
    uint32_t interval_ = 100;
    TPathList staticList_;
    std::atomic<uint16_t> options_{DefaultScanerOptions.Bits()};
    std::unique_ptr<TMasks> includeMasks_;
    std::unique_ptr<TMasks> excludeMasks_;
    TThreadPriority priority_ = tpNormal;
    TThreadRef ownerThread_;
    uint32_t ownerThreadId_;
    std::unique_ptr<TThreadManager> threadManager_;
    TCustomThread* currentThread_ = nullptr;
    TEvent doneEvent_{false, false};
    std::atomic<uint8_t> state_{0};
    std::unique_ptr<TDirTree> tree_;
    TTreeNode* staticNode_ = nullptr;
    // The records, in the order of their roots in the master tree.
    std::vector<std::unique_ptr<TDirectory>> directories_;
};

// The scanner as a ready component.
class TDirScaner : public TCustomDirScaner {
public:
    using TCustomDirScaner::TCustomDirScaner;
};

// True when the entry passes the masks: folders and volume labels always;
// a file fails below a masked folder, else by the masks and the record's
// IncludedFiles and ExcludedFiles. directory or parent nullptr is an
// assertion failure.
bool ApplyMask(const TDirectory* directory, const TTreeNode* parent, uint32_t attributes,
               const std::u16string& fullName);

// True when path is an existing folder; a bare drive (X:) stands for its root.
bool IsFolderPath(const std::u16string& path);
