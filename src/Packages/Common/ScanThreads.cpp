#include "Packages/Common/ScanThreads.h"

#include "Packages/Common/Assertion.h"
#include "Packages/Files/FileFunc.h"
#include "system/ScopeExit.h"
#include "system/SystemErrors.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

// Deletes the node of the single file path; false when there is no static node.
bool DeleteSingle(TCustomDirScaner& scanner, const std::u16string& path) {
    TTreeNode* staticNode = scanner.StaticNode();
    if (staticNode == nullptr)
        return false;
    for (TTreeNode* n = staticNode->FirstChild; n != nullptr; n = n->NextSibling)
        if (SamePathText(scanner.Tree().GetName(n), path)) {
            scanner.Tree().DeleteNode(n);
            break;
        }
    return true;
}

} // namespace

// ---------------------------------------------------------------- TCustomThread

TCustomThread::TCustomThread(TCustomDirScaner* scanner, TDirectory* directory, std::u16string path)
    : scanner_(scanner != nullptr     ? scanner
               : directory != nullptr ? directory->Owner
                                      : nullptr),
      directory_(directory), path_(std::move(path)) {
    if (scanner_ == nullptr)
        AssertionFailure("A worker needs a scanner.");
    FreeOnTerminate = true;
    OnTerminate = [this](TThread&) { ThreadTerminated(); };
    scanner_->ThreadManager().Add(this);
    scanner_->RegisterThread();
    SetPriority(scanner_->Priority());
    scanner_->DoneEvent().Reset();
}

TCustomThread::~TCustomThread() {
    // The last touch of the scanner: once the manager lets go, it may be freed.
    scanner_->ThreadManager().Remove(this);
}

void TCustomThread::Execute() {
    TCustomDirScaner& scanner = *scanner_;
    // A short poll: the reader starts as soon as the scan is over, which
    // matters for the many runs over a few small files.
    if (WaitAlone)
        while (scanner.ThreadCount() >= 2 && !Terminated())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (WaitForFirst(scanner.AbortEvent(), scanner.RunMutex()) == 0) {
        if (scanner.UnregisterThread() == 0)
            scanner.DoneEvent().Set();
        return;
    }
    scanner.SetCurrentThread(this);
    const bool manageOwner = scanner.HasOption(soManageMainThread);
    if (manageOwner)
        scanner.OwnerThread().SetPriority(tpLowest);
    try {
        // A worker stopped while it waited has nothing left to do: its
        // record may be on its way out.
        if (!Terminated())
            Work();
    } catch (...) {
        // The turn is handed on below whatever happened.
    }
    scanner.SetCurrentThread(nullptr);
    const int32_t remaining = scanner.UnregisterThread();
    scanner.RunMutex().Release();
    if (remaining == 0)
        scanner.DoneEvent().Set();
}

void TCustomThread::ThreadTerminated() {
    scanner_->Notify(Terminated() ? dsmThreadAborted : dsmThreadDone, this);
    if (scanner_->ThreadCount() == 0 && scanner_->HasOption(soManageMainThread))
        scanner_->OwnerThread().SetPriority(tpNormal);
}

void TCustomThread::CountFile(int64_t size) {
    if (directory_ == nullptr)
        AssertionFailure();
    ++directory_->Files;
    directory_->Size += size;
}

void TCustomThread::CountFolder() {
    if (directory_ == nullptr)
        AssertionFailure();
    ++directory_->Folders;
}

void TCustomThread::ReportScanError(TTreeNode* node, int32_t code) {
    if (directory_ == nullptr)
        AssertionFailure();
    auto report = [this, node, code] {
        directory_->ScanErrors.push_back(node);
        directory_->Tree->GetData(node)->ErrorCode = code;
        Scanner()->Notify(dsmScanError, node);
    };
    if (Scanner()->HasOption(soNotSynchronize))
        report();
    else
        Synchronize(report);
}

// ---------------------------------------------------------------- TScanThread

TScanThread::TScanThread(TCustomDirScaner* scanner, std::u16string path, TDirectory* directory)
    : TCustomThread(scanner, directory, std::move(path)) {}

void TScanThread::Work() {
    Scanner()->SetState(TScanerState::Scaning, true);
    const ScopeExit scaningEnds([this] { Scanner()->SetState(TScanerState::Scaning, false); });
    countStats_ = Scanner()->HasOption(soAllowStatic);
    keepMasked_ = Scanner()->HasOption(soKeepMaskedFiles);
    if (Directory() != nullptr)
        Path().empty() ? ScanDirectory() : ScanBelow();
    else
        Path().empty() ? RebuildSingles() : RefreshSingle();
}

void TScanThread::ScanDirectory() {
    TDirectory& dir = *Directory();
    dir.Size = dir.Files = dir.Folders = 0;
    // The masked counts start afresh too, or every rescan would add to them.
    dir.MaskedSize = dir.MaskedFiles = 0;
    dir.ScanErrors.clear();
    dir.Tree->Clear();
    dir.Tree->GetData(dir.Tree->GetRoot())->ErrorCode = 0;
    std::u16string path = ExcludeTrailingBackslashW(dir.Tree->RootPath());
    if (path.empty())
        AssertionFailure();
    if (path.back() == u':')
        path += u'\\';
    ScanFolder(path, dir.Tree->GetRoot());
}

void TScanThread::ScanBelow() {
    TDirectory& dir = *Directory();
    TDirTree& tree = *dir.Tree;
    const std::u16string target = ExcludeTrailingBackslashW(Path());
    TTreeNode* node = tree.FindNearest(target);
    if (node == nullptr)
        return;
    std::u16string base = ExcludeTrailingBackslashW(tree.GetFullPath(node));
    if (SamePathText(base, target) && !tree.IsDirectory(node)) {
        Unmask(node);
        return;
    }
    loops_.Enter(tree.RootPath());
    while (!SamePathText(base, target)) {
        const std::u16string component = FirstElementBelow(target, base);
        if (component.empty())
            break;
        base = IncludeTrailingBackslashW(base) + component;
        TLxSearchRec rec;
        const int code = WideFindFirst(base, rec);
        if (code != 0) {
            ReportScanError(node, code);
            return;
        }
        node = tree.AddSearchRec(node, rec, false);
        if (LeadsBack(base, rec, node))
            return;
        loops_.Enter(base);
        if (countStats_) {
            if (IsDirectory(rec.Attr))
                CountFolder();
            else
                CountFile(static_cast<int64_t>(rec.Size));
        }
    }
    if (IsFolderPath(target))
        ScanFolder(target, node);
}

// A file of the tree that was brought into scope explicitly may have been
// kept as masked: it is judged again and moves to the counted files.
void TScanThread::Unmask(TTreeNode* node) {
    TDirectory& dir = *Directory();
    TDirNodeData* data = dir.Tree->GetData(node);
    if (data->Masked == 0 ||
        !ApplyMask(&dir, node->Parent, data->Attributes, dir.Tree->GetFullPath(node)))
        return;
    data->Masked = 0;
    if (!countStats_)
        return;
    --dir.MaskedFiles;
    dir.MaskedSize -= data->Size;
    CountFile(data->Size);
}

void TScanThread::RebuildSingles() {
    TCustomDirScaner& scanner = *Scanner();
    if (scanner.StaticNode() == nullptr)
        return;
    scanner.Tree().DeleteChildren(scanner.StaticNode());
    const TPathList singles = scanner.StaticList();
    for (const std::u16string& path : singles)
        AddSingle(path);
}

void TScanThread::RefreshSingle() {
    if (DeleteSingle(*Scanner(), Path()))
        AddSingle(Path());
}

void TScanThread::AddSingle(const std::u16string& path) {
    // A search would take wildcards as a pattern and find some other file.
    if (path.find_first_of(u"*?") != std::u16string::npos)
        return;
    TLxSearchRec rec;
    if (WideFindFirst(path, rec) != 0)
        return;
    // Single files are kept under their full path.
    rec.Name = path;
    Scanner()->Tree().AddSearchRec(Scanner()->StaticNode(), rec, false);
}

void TScanThread::DescribeRoot(const std::u16string& path) {
    TDirTree& tree = *Directory()->Tree;
    TDirNodeData* root = tree.GetData(tree.GetRoot());
    TLxSearchRec rec;
    // A drive root is no entry of any folder: it keeps its path as its name.
    if (WideFindFirst(path, rec) != 0) {
        tree.SetName(tree.GetRoot(), path);
        return;
    }
    root->Attributes = rec.Attr;
    root->Time = rec.Time;
    tree.SetName(tree.GetRoot(), rec.Name);
}

void TScanThread::ScanFolder(const std::u16string& path, TTreeNode* parent) {
    TDirectory& dir = *Directory();
    TDirTree& tree = *dir.Tree;
    if (parent == tree.GetRoot())
        DescribeRoot(path);
    loops_.Enter(path);
    const ScopeExit left([this] { loops_.Leave(); });
    const std::u16string base = IncludeTrailingBackslashW(path);
    TLxSearchRec rec;
    int code = WideFindFirst(base + u"*.*", rec);
    // What a search of "*.*" answers for a folder without any entry (a drive root).
    if (code == kErrorFileNotFound && parent == tree.GetRoot())
        code = kErrorNoMoreFiles;
    for (; code == 0; code = WideFindNext(rec)) {
        if (Terminated())
            return;
        if (!IsDirectory(rec.Attr))
            AddFile(base, rec, parent);
        else if (rec.Name != u"." && rec.Name != u".." && !SkippedFolder(rec.Name))
            AddFolder(base + rec.Name, rec, parent);
    }
    if (code != kErrorNoMoreFiles)
        ReportScanError(parent, code);
}

void TScanThread::AddFile(const std::u16string& base, const TLxSearchRec& rec, TTreeNode* parent) {
    TDirectory& dir = *Directory();
    const bool passed = ApplyMask(&dir, parent, rec.Attr, base + rec.Name);
    if (!passed && !keepMasked_)
        return;
    dir.Tree->AddSearchRec(parent, rec, !passed);
    if (!countStats_)
        return;
    if (passed) {
        CountFile(static_cast<int64_t>(rec.Size));
    } else {
        ++dir.MaskedFiles;
        dir.MaskedSize += static_cast<int64_t>(rec.Size);
    }
}

void TScanThread::AddFolder(const std::u16string& path, const TLxSearchRec& rec,
                            TTreeNode* parent) {
    TDirectory& dir = *Directory();
    if (!dir.Recursive || Scanner()->CheckPath(path) == pcOutside)
        return;
    TTreeNode* node = dir.Tree->AddSearchRec(parent, rec, false);
    if (LeadsBack(path, rec, node))
        return;
    if (countStats_)
        CountFolder();
    ScanFolder(path, node);
}

bool TScanThread::LeadsBack(const std::u16string& path, const TLxSearchRec& rec, TTreeNode* node) {
    // Only a link can lead back; other folders are not opened for this.
    if (!IsDirectory(rec.Attr) || !IsReparsePoint(rec.Attr) || !loops_.LeadsBack(path))
        return false;
    ReportScanError(node, static_cast<int32_t>(kErrorCantResolveFilename));
    return true;
}

bool TScanThread::SkippedFolder(const std::u16string& name) const {
    const TCustomDirScaner& scanner = *Scanner();
    return (scanner.HasOption(soIgnoreSVI) && SamePathText(name, u"System Volume Information")) ||
           (scanner.HasOption(soIgnoreRecycler) && SamePathText(name, u"RECYCLER"));
}

// ---------------------------------------------------------------- mask workers

TQueryMaskThread::TQueryMaskThread(TCustomDirScaner* scanner) : TCustomThread(scanner, nullptr) {}

void TQueryMaskThread::Work() {
    TCustomDirScaner& scanner = *Scanner();
    for (TDirectory* dir = scanner.FirstDirectory(); dir != nullptr;
         dir = scanner.NextDirectory(dir)) {
        // The counts are made anew, masked ones included.
        dir->Size = dir->Files = dir->MaskedSize = dir->MaskedFiles = 0;
        const TDirTree& tree = *dir->Tree;
        for (TTreeNode* n = tree.GetNext(tree.GetRoot()); n != nullptr && !Terminated();
             n = tree.GetNext(n)) {
            // Folders always pass and are no files.
            if (tree.IsDirectory(n))
                continue;
            TDirNodeData* data = tree.GetData(n);
            const bool passed = ApplyMask(dir, n->Parent, data->Attributes, tree.GetFullPath(n));
            data->Masked = passed ? 0 : 1;
            if (passed) {
                ++dir->Files;
                dir->Size += data->Size;
            } else {
                ++dir->MaskedFiles;
                dir->MaskedSize += data->Size;
            }
        }
    }
}

// ---------------------------------------------------------------- TThreadManager

TThreadManager::~TThreadManager() {
    TerminateAll();
    WaitEmpty();
}

void TThreadManager::Add(TCustomThread* thread) {
    std::lock_guard<std::mutex> guard(lock_);
    threads_.push_back(thread);
    empty_.Reset();
}

void TThreadManager::Remove(TCustomThread* thread) {
    std::lock_guard<std::mutex> guard(lock_);
    threads_.erase(std::remove(threads_.begin(), threads_.end(), thread), threads_.end());
    if (threads_.empty())
        empty_.Set();
}

int TThreadManager::Count() const {
    std::lock_guard<std::mutex> guard(lock_);
    return static_cast<int>(threads_.size());
}

void TThreadManager::TerminateAll() {
    std::lock_guard<std::mutex> guard(lock_);
    for (auto it = threads_.rbegin(); it != threads_.rend(); ++it)
        (*it)->Terminate();
}

void TThreadManager::TerminateFor(const TDirectory* directory) {
    std::lock_guard<std::mutex> guard(lock_);
    for (TCustomThread* thread : threads_)
        if (thread->Directory() == directory)
            thread->Terminate();
}

void TThreadManager::WaitEmpty() {
    for (;;) {
        WaitServing(empty_);
        // Taking the lock makes sure the last worker has let go of it.
        std::lock_guard<std::mutex> guard(lock_);
        if (threads_.empty())
            return;
    }
}
