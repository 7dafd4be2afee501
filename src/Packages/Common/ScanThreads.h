// The scanner's workers. Each takes its turn on the scanner's run mutex, so
// exactly one works at a time; the scanner's abort event lets one waiting
// worker leave without working. Workers free themselves when they end and
// announce their end on the owner thread.
#pragma once

#include "Packages/Common/DirScaner.h"
#include "Packages/Common/LoopGuard.h"
#include "system/Threads.h"

struct TLxSearchRec;

#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

class TCustomThread : public TThread {
public:
    // Registers with scanner (directory's owner when scanner is nullptr),
    // takes the scanner's priority and announces dsmThreadCreate. The
    // thread starts with StartWorker once fully constructed.
    TCustomThread(TCustomDirScaner* scanner, TDirectory* directory, std::u16string path = {});
    ~TCustomThread() override;

    TCustomDirScaner* Scanner() const { return scanner_; }
    TDirectory* Directory() const { return directory_; }
    // The path the worker is about; empty for everything.
    const std::u16string& Path() const { return path_; }

    // When true, the worker takes its turn only once it is the only
    // registered worker. Set before the start.
    bool WaitAlone = false;

protected:
    // The turn-taking frame around Work.
    void Execute() final;
    // The job; runs while the worker holds the scanner's turn.
    virtual void Work() = 0;
    // Announces the end on the owner thread.
    virtual void ThreadTerminated();

    // Statistics of the worker's record; each needs a record (assertion failure otherwise).
    void CountFile(int64_t size);
    void CountFolder();
    // Records that node could not be found or listed (the record's
    // ScanErrors and the node's ErrorCode) and announces dsmScanError: on
    // the owner thread, or here with soNotSynchronize. Needs a record
    // (assertion failure otherwise).
    void ReportScanError(TTreeNode* node, int32_t code);

private:
    TCustomDirScaner* scanner_;
    TDirectory* directory_;
    std::u16string path_;
};

// Constructs a worker and starts it; the worker frees itself.
template <class T, class... Args> T* StartWorker(Args&&... args) {
    T* worker = new T(std::forward<Args>(args)...);
    worker->Start();
    return worker;
}

// Walks folders into path trees: with a record and no path its whole
// folder, with a record and a path that path below it, without a record
// every single file, or the one single file of path. A link to a folder of
// the current path is not entered: it is a scan error (1921).
class TScanThread : public TCustomThread {
public:
    TScanThread(TCustomDirScaner* scanner, std::u16string path, TDirectory* directory);

protected:
    void Work() override;

private:
    void ScanDirectory();
    void ScanBelow();
    void Unmask(TTreeNode* node);
    void RebuildSingles();
    void RefreshSingle();
    void AddSingle(const std::u16string& path);
    void DescribeRoot(const std::u16string& path);
    void ScanFolder(const std::u16string& path, TTreeNode* parent);
    void AddFile(const std::u16string& base, const TLxSearchRec& rec, TTreeNode* parent);
    void AddFolder(const std::u16string& path, const TLxSearchRec& rec, TTreeNode* parent);
    bool SkippedFolder(const std::u16string& name) const;

    // True (and recorded) when the link folder at path, whose node is node,
    // leads back to a folder of the current path.
    bool LeadsBack(const std::u16string& path, const TLxSearchRec& rec, TTreeNode* node);

    bool countStats_ = false;
    bool keepMasked_ = false;
    TLoopGuard loops_{WideFolderId};
};

// Re-applies the masks to every node of every record and recounts.
class TQueryMaskThread : public TCustomThread {
public:
    explicit TQueryMaskThread(TCustomDirScaner* scanner);

protected:
    void Work() override;
};

// The live workers of one scanner: each adds itself when created and
// leaves when freed, so the scanner can stop them and wait for them.
class TThreadManager {
public:
    TThreadManager() = default;
    // Asks every listed worker to stop and waits until all have ended.
    ~TThreadManager();
    TThreadManager(const TThreadManager&) = delete;
    TThreadManager& operator=(const TThreadManager&) = delete;

    void Add(TCustomThread* thread);
    void Remove(TCustomThread* thread);
    int Count() const;
    // Asks every listed worker to stop.
    void TerminateAll();
    // Asks the listed workers about directory to stop.
    void TerminateFor(const TDirectory* directory);
    // Waits until no worker is listed, serving synchronised calls on the main thread.
    void WaitEmpty();

private:
    mutable std::mutex lock_;
    std::vector<TCustomThread*> threads_;
    TEvent empty_{true, true};
};
