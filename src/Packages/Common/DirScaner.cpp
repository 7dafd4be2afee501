#include "Packages/Common/DirScaner.h"

#include "Packages/Common/Assertion.h"
#include "Packages/Common/ScanThreads.h"
#include "Packages/Common/WndMan.h"
#include "Packages/Files/FileFunc.h"
#include "system/AnsiText.h"
#include "system/Process.h"
#include "system/ScopeExit.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

// Takes the scanner's component lock; the returned guard gives it back.
[[nodiscard]] auto LockScanner(TLinkServer& server) {
    server.Lock();
    return ScopeExit([&server] { server.Unlock(); });
}

void AddSorted(TPathList& list, const std::u16string& path) {
    const std::u16string key = WideUpperCase(path);
    const auto at = std::lower_bound(list.begin(), list.end(), key,
                                     [](const std::u16string& entry, const std::u16string& k) {
                                         return WideUpperCase(entry) < k;
                                     });
    list.insert(at, path);
}

void RemoveSame(TPathList& list, const std::u16string& path) {
    const int index = IndexOfSamePath(list, path);
    if (index >= 0)
        list.erase(list.begin() + index);
}

bool ListedIn(const TPathList& a, const TPathList& b, const std::u16string& path) {
    return IndexOfSamePath(a, path) >= 0 || IndexOfSamePath(b, path) >= 0;
}

} // namespace

// A bare drive (X:) names the drive's current folder for the system; the
// scanner means the drive's root.
bool IsFolderPath(const std::u16string& path) {
    if (path.size() == 2 && path[1] == u':')
        return WideDirectoryExists(path + u"\\");
    return WideDirectoryExists(path);
}

// ---------------------------------------------------------------- TDirectory

TDirectory::TDirectory(TCustomDirScaner* owner, const std::u16string& path, bool recursive)
    : Owner(owner), Recursive(recursive) {
    if (owner == nullptr)
        AssertionFailure();
    if (path.empty())
        AssertionFailure();
    Path = path;
    Tree = owner->GetTreeClass()(nullptr, path);
    Tree->GetData(Tree->GetRoot())->Link = this;
    IncludeMasks = &owner->IncludeMasks();
    ExcludeMasks = &owner->ExcludeMasks();
    owner->LinkDirectory(this);
    if (owner->HasOption(soAutoScan))
        StartWorker<TScanThread>(owner, std::u16string(), this);
}

TDirectory::~TDirectory() {
    // Workers still queued for this record must never reach it.
    Owner->ThreadManager().TerminateFor(this);
    Owner->StopCurrentWork();
    Owner->UnlinkDirectory(this);
}

void TDirectory::GetStatistics(int64_t& size, int64_t& files, int64_t& folders) const {
    size = Size;
    files = Files;
    folders = Folders;
}

void TDirectory::MaskFile(TTreeNode* node) {
    TDirNodeData* data = Tree->GetData(node);
    if (data->Masked != 0)
        return;
    data->Masked = 1;
    --Files;
    Size -= data->Size;
    ++MaskedFiles;
    MaskedSize += data->Size;
}

void TDirectory::IncludePath(const std::u16string& path) {
    if (SamePathText(ExcludeTrailingBackslashW(path), ExcludeTrailingBackslashW(Path)))
        AssertionFailure();
    if (!IsPathInside(path, Path))
        AssertionFailure("Path is not my");
    const bool autoScan = Owner->HasOption(soAutoScan);
    if (IsFolderPath(path)) {
        const TPathCheck answer = Owner->CheckPath(path);
        if (answer == pcInside)
            return;
        if (answer == pcOutside) {
            RemoveSame(ExcludedFolders, path);
        } else if (answer == pcContains) {
            for (TPathList* list :
                 {&IncludedFolders, &ExcludedFolders, &IncludedFiles, &ExcludedFiles})
                RemoveContained(*list, path);
        }
        if (Owner->CheckPath(path) != pcInside)
            AddSorted(IncludedFolders, path);
    } else {
        if (!MatchesMaskList(IncludeMasks->Text(), WideToAnsi(ExtractFileNameW(path))))
            AssertionFailure();
        if (IndexOfSamePath(IncludedFiles, path) >= 0)
            return;
        RemoveSame(ExcludedFiles, path);
        AddSorted(IncludedFiles, path);
    }
    if (autoScan)
        StartWorker<TScanThread>(Owner, path, this);
}

void TDirectory::Clear() {
    Owner->StopCurrentWork();
    Size = Files = Folders = MaskedSize = MaskedFiles = 0;
    Tree->Clear();
    ScanErrors.clear();
    IncludedFolders.clear();
    ExcludedFolders.clear();
    IncludedFiles.clear();
    ExcludedFiles.clear();
}

// ---------------------------------------------------------------- ApplyMask

bool ApplyMask(const TDirectory* directory, const TTreeNode* parent, uint32_t attributes,
               const std::u16string& fullName) {
    if (directory == nullptr || parent == nullptr)
        AssertionFailure("Cant apply a mask");
    if (IsDirectoryOrVolumeLabel(attributes))
        return true;
    const TDirTree& tree = *directory->Tree;
    // A file below a masked folder is masked with it.
    for (const TTreeNode* node = parent; node != nullptr; node = node->Parent) {
        const TDirNodeData* data = tree.GetData(node);
        if (IsDirectory(data->Attributes)) {
            if (data->Masked != 0)
                return false;
            break;
        }
        if (node == tree.GetRoot())
            break;
    }
    return !IsFileFilteredOut(fullName, directory->IncludeMasks->Text(),
                              directory->ExcludeMasks->Text(), directory->IncludedFiles,
                              directory->ExcludedFiles);
}

// ---------------------------------------------------------------- scanner

TCustomDirScaner::TCustomDirScaner(TComponent* owner, TDirTreeClass treeClass)
    : TLinkServer(owner), treeClass_(treeClass), ownerThread_(TThreadRef::Current()),
      ownerThreadId_(CurrentThreadId()) {
    window_ = std::make_unique<THiddenWindow>(
        "Directory Scaner" + std::to_string(reinterpret_cast<uintptr_t>(this)),
        [this](uint32_t message, uintptr_t wParam, intptr_t) { WindowMessage(message, wParam); });
    tree_ = treeClass_(nullptr, std::u16string());
    includeMasks_ = std::make_unique<TMasks>(this);
    excludeMasks_ = std::make_unique<TMasks>(this);
    for (TMasks* masks : {includeMasks_.get(), excludeMasks_.get()})
        masks->OnChanged = [this](TMasks* sender) { MasksChanged(sender); };
    threadManager_ = std::make_unique<TThreadManager>();
}

TCustomDirScaner::~TCustomDirScaner() {
    BeginDestroy();
    threadManager_->TerminateAll();
    WaitForWorkers();
    Clear(false);
    if (timerId_ != 0)
        window_->StopTimer(TimerId());
    window_.reset();
}

void TCustomDirScaner::Include(const std::u16string& path, bool recursive) {
    if (path.empty())
        return;
    const uint64_t before = workersCreated_;
    const std::u16string p =
        path.size() == 3 && path[1] == u':' ? path : ExcludeTrailingBackslashW(path);
    TDirRelation relation;
    TDirectory* dir = FindDirectory(p, relation);
    if (dir == nullptr) {
        if (IsFolderPath(p))
            directories_.push_back(std::make_unique<TDirectory>(this, p, recursive));
        else
            IncludeFile(p);
    } else if (relation == drRecordInside) {
        FreeDirectoriesInside(p);
        directories_.push_back(std::make_unique<TDirectory>(this, p, recursive));
    } else if (relation == drPathInside) {
        dir->IncludePath(path);
    }
    WaitIfSynchronous(before);
}

TDirectory* TCustomDirScaner::AddDirectory(const std::u16string& path, bool recursive) {
    directories_.push_back(std::make_unique<TDirectory>(this, path, recursive));
    return directories_.back().get();
}

void TCustomDirScaner::IncludeFile(const std::u16string& path) {
    // The scan below replaces an earlier node of the same file itself.
    RemoveSame(staticList_, path);
    AddSorted(staticList_, path);
    EnsureStaticNode();
    if (HasOption(soAutoScan))
        StartWorker<TScanThread>(this, path, nullptr);
}

void TCustomDirScaner::Scan() {
    if (HasState(TScanerState::Scaning))
        return;
    const uint64_t before = workersCreated_;
    if (OnBeforeScan)
        OnBeforeScan(this);
    for (TDirectory* dir = FirstDirectory(); dir != nullptr; dir = NextDirectory(dir))
        StartWorker<TScanThread>(this, std::u16string(), dir);
    if (!staticList_.empty())
        StartWorker<TScanThread>(this, std::u16string(), nullptr);
    WaitIfSynchronous(before);
}

void TCustomDirScaner::Clear(bool keepMasks) {
    SetState(TScanerState::Clearing, true);
    Abort();
    // Everything the queued workers would work on goes now.
    threadManager_->TerminateAll();
    StopCurrentWork();
    FreeDirectories();
    if (!Destroying()) {
        staticList_.clear();
        if (staticNode_ != nullptr) {
            tree_->DeleteNode(staticNode_);
            staticNode_ = nullptr;
        }
        if (!keepMasks) {
            includeMasks_->Clear();
            excludeMasks_->Clear();
        }
    }
    SetState(TScanerState::Clearing, false);
}

void TCustomDirScaner::Abort() {
    abortEvent_.Set();
    if (timerId_.exchange(0) != 0)
        window_->StopTimer(TimerId());
    // A worker waiting for its turn needs a moment to see the event; with
    // none registered, none can be waiting (the end of every run, the
    // second abort at exit).
    if (threadCount_ > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    abortEvent_.Reset();
    TerminateCurrentThread();
}

// Every record inside the wider folder goes, not only the first: one left
// behind would hold its files a second time.
void TCustomDirScaner::FreeDirectoriesInside(const std::u16string& folder) {
    for (auto it = directories_.begin(); it != directories_.end();) {
        if (IsPathInside((*it)->Path, folder))
            it = directories_.erase(it);
        else
            ++it;
    }
}

void TCustomDirScaner::FreeDirectories() {
    while (!directories_.empty())
        directories_.pop_back();
}

void TCustomDirScaner::WaitIfSynchronous(uint64_t workersBefore) {
    if (HasOption(soASync) || workersCreated_ == workersBefore)
        return;
    WaitServing(doneEvent_);
}

void TCustomDirScaner::WaitForWorkers() {
    threadManager_->WaitEmpty();
}

TDirectory* TCustomDirScaner::DirectoryAt(const TTreeNode* top) const {
    for (; top != nullptr; top = top->NextSibling)
        if (top != staticNode_)
            return static_cast<TDirectory*>(tree_->GetData(top)->Link);
    return nullptr;
}

TDirectory* TCustomDirScaner::FirstDirectory() const {
    return DirectoryAt(tree_->GetRoot()->FirstChild);
}

TDirectory* TCustomDirScaner::NextDirectory(const TDirectory* dir) const {
    if (!dir->Tree)
        AssertionFailure("Directory tree cant be nil.");
    return DirectoryAt(dir->Tree->GetRoot()->NextSibling);
}

TDirectory* TCustomDirScaner::FindDirectory(const std::u16string& path,
                                            TDirRelation& relation) const {
    // Compared as wide text: two names that differ only outside the ANSI
    // code page are different folders.
    const std::u16string p = ExcludeTrailingBackslashW(path);
    for (TDirectory* dir = FirstDirectory(); dir != nullptr; dir = NextDirectory(dir)) {
        const std::u16string own = ExcludeTrailingBackslashW(dir->Path);
        relation = SamePathText(p, own)   ? drSame
                   : IsPathInside(own, p) ? drRecordInside
                   : IsPathInside(p, own) ? drPathInside
                                          : drNone;
        if (relation != drNone)
            return dir;
    }
    relation = drNone;
    return nullptr;
}

TPathCheck TCustomDirScaner::CheckPath(const std::u16string& path) const {
    TDirRelation relation;
    const TDirectory* dir = FindDirectory(path, relation);
    if (dir == nullptr)
        return IndexOfSamePath(staticList_, path) >= 0 ? pcListed : pcOutside;
    if (relation == drRecordInside)
        return pcContains;
    const auto inScope = [&] {
        return ListedIn(dir->ExcludedFiles, dir->ExcludedFolders, path) ? pcListed : pcInside;
    };
    const auto outOfScope = [&] {
        return ListedIn(dir->IncludedFiles, dir->IncludedFolders, path) ? pcListed : pcOutside;
    };
    if (relation == drSame)
        return inScope();
    const int excluded = LastIndexOfContaining(dir->ExcludedFolders, path);
    if (excluded < 0)
        return inScope();
    const int included = LastIndexOfContaining(dir->IncludedFolders, path);
    // The deeper of the two entries wins.
    if (included < 0 ||
        dir->IncludedFolders[included].size() <= dir->ExcludedFolders[excluded].size())
        return outOfScope();
    return inScope();
}

TTreeNode* TCustomDirScaner::FirstItem(bool skipStatic) const {
    for (TDirectory* dir = FirstDirectory(); dir != nullptr; dir = NextDirectory(dir))
        if (TTreeNode* first = dir->Tree->GetRoot()->FirstChild)
            return first;
    if (skipStatic || staticNode_ == nullptr)
        return nullptr;
    return staticNode_->FirstChild;
}

TTreeNode* TCustomDirScaner::NextItem(const TTreeNode* node, bool skipStatic) const {
    TTreeNode* next = tree_->GetNext(node);
    if (next == nullptr || next != staticNode_)
        return next;
    return skipStatic ? nullptr : staticNode_->FirstChild;
}

const TTreeNode* TCustomDirScaner::TopOf(const TTreeNode* node) const {
    const TTreeNode* root = tree_->GetRoot();
    while (node->Parent != nullptr && node->Parent != root)
        node = node->Parent;
    return node;
}

std::u16string TCustomDirScaner::GetItemPath(const TTreeNode* node) const {
    if (node == nullptr || node == tree_->GetRoot() || node == staticNode_)
        return {};
    if (staticNode_ != nullptr && node->Parent == staticNode_)
        return tree_->GetName(node);
    const TTreeNode* top = TopOf(node);
    const auto* dir = static_cast<const TDirectory*>(tree_->GetData(top)->Link);
    if (node == top)
        return dir->Path;
    std::u16string tail;
    for (const TTreeNode* n = node; n != top; n = n->Parent)
        tail = tail.empty() ? tree_->GetName(n) : tree_->GetName(n) + u'\\' + tail;
    return IncludeTrailingBackslashW(dir->Path) + tail;
}

int64_t TCustomDirScaner::CountFiles() const {
    int64_t count = 0;
    for (TDirectory* dir = FirstDirectory(); dir != nullptr; dir = NextDirectory(dir)) {
        const TDirTree& tree = *dir->Tree;
        for (const TTreeNode* n = tree.GetNext(tree.GetRoot()); n != nullptr; n = tree.GetNext(n))
            count += tree.IsDirectory(n) ? 0 : 1;
    }
    return count;
}

void TCustomDirScaner::GetStatistics(int64_t& size, int64_t& files, int64_t& folders) const {
    size = files = folders = 0;
    for (TDirectory* dir = FirstDirectory(); dir != nullptr; dir = NextDirectory(dir)) {
        size += dir->Size;
        files += dir->Files;
        folders += dir->Folders;
    }
    if (staticNode_ == nullptr)
        return;
    for (const TTreeNode* n = staticNode_->FirstChild; n != nullptr; n = n->NextSibling) {
        size += tree_->GetData(n)->Size;
        ++files;
    }
}

void TCustomDirScaner::GetMaskedStatistics(int64_t& size, int64_t& files) const {
    size = files = 0;
    for (TDirectory* dir = FirstDirectory(); dir != nullptr; dir = NextDirectory(dir)) {
        size += dir->MaskedSize;
        files += dir->MaskedFiles;
    }
}

bool TCustomDirScaner::HasScanErrors() const {
    for (TDirectory* dir = FirstDirectory(); dir != nullptr; dir = NextDirectory(dir))
        if (!dir->ScanErrors.empty())
            return true;
    return false;
}

void TCustomDirScaner::SetInterval(uint32_t milliseconds) {
    if (milliseconds == interval_)
        return;
    interval_ = milliseconds;
    if (timerId_ != 0)
        StartTimer();
}

void TCustomDirScaner::SetPriority(TThreadPriority priority) {
    if (priority == priority_)
        return;
    priority_ = priority;
    PriorityChanged();
}

bool TCustomDirScaner::HasState(TScanerState state) const {
    return (state_.load() >> static_cast<int>(state)) & 1;
}

void TCustomDirScaner::SetState(TScanerState state, bool on) {
    const auto bit = static_cast<uint8_t>(1u << static_cast<int>(state));
    if (on)
        state_.fetch_or(bit);
    else
        state_.fetch_and(static_cast<uint8_t>(~bit));
}

void TCustomDirScaner::Notify(int32_t kind, TNotifyParam lParam) {
    if (Destroying())
        return;
    FireEvents(kind, lParam);
}

void TCustomDirScaner::FireEvents(int32_t kind, TNotifyParam lParam) {
    switch (kind) {
    case dsmTimer:
        if (OnTimer && threadCount_ > 0)
            OnTimer(this);
        break;
    case dsmScanError:
        if (lParam != nullptr) {
            const auto* node = static_cast<const TTreeNode*>(lParam);
            const bool single = staticNode_ != nullptr && node->Parent == staticNode_;
            DoScanError(single ? tree_->GetName(node) : GetItemPath(node),
                        tree_->GetData(node)->ErrorCode);
        }
        break;
    default:
        break;
    }
}

void TCustomDirScaner::PriorityChanged() {
    const auto guard = LockScanner(*this);
    if (currentThread_ != nullptr)
        currentThread_->SetPriority(priority_);
}

void TCustomDirScaner::DoScanError(const std::u16string& path, int32_t errorCode) {
    if (OnScanError)
        OnScanError(this, path, errorCode);
}

void TCustomDirScaner::RegisterThread() {
    const auto guard = LockScanner(*this);
    if (threadCount_ == 0)
        StartTimer();
    ++threadCount_;
    ++workersCreated_;
}

int32_t TCustomDirScaner::UnregisterThread() {
    const auto guard = LockScanner(*this);
    return --threadCount_;
}

void TCustomDirScaner::StartTimer() {
    if (window_->StartTimer(TimerId(), interval_))
        timerId_ = TimerId();
}

void TCustomDirScaner::WindowMessage(uint32_t message, uintptr_t wParam) {
    if (message != WM_TIMER_ID || wParam != TimerId())
        return;
    try {
        if (threadCount_ != 0) {
            Notify(dsmTimer, nullptr);
        } else {
            // Also when Abort on another thread could not stop it.
            window_->StopTimer(TimerId());
            timerId_ = 0;
        }
    } catch (...) {
        // A failing progress display must not end the message loop.
    }
}

void TCustomDirScaner::SetCurrentThread(TCustomThread* thread) {
    const auto guard = LockScanner(*this);
    currentThread_ = thread;
}

bool TCustomDirScaner::TerminateCurrentThread() {
    const auto guard = LockScanner(*this);
    if (currentThread_ == nullptr)
        return false;
    currentThread_->Terminate();
    return true;
}

void TCustomDirScaner::StopCurrentWork() {
    if (!TerminateCurrentThread())
        return;
    // The turn comes back once the work has ended.
    WaitServing(runMutex_);
    runMutex_.Release();
}

TTreeNode* TCustomDirScaner::EnsureStaticNode() {
    if (staticNode_ == nullptr)
        staticNode_ = tree_->AddChild(nullptr);
    return staticNode_;
}

void TCustomDirScaner::LinkDirectory(TDirectory* dir) {
    TTreeNode* root = dir->Tree->GetRoot();
    if (staticNode_ != nullptr)
        tree_->InternalInsert(staticNode_, root, imInsertBefore);
    else
        tree_->InternalInsert(nullptr, root, imAddChild);
}

void TCustomDirScaner::UnlinkDirectory(TDirectory* dir) {
    TTreeNode* root = dir->Tree->GetRoot();
    if (root->Parent != tree_->GetRoot())
        return;
    tree_->Unlink(root);
    root->Parent = root->PrevSibling = root->NextSibling = nullptr;
}

void TCustomDirScaner::MasksChanged(TMasks* sender) {
    if (sender->WasEmpty() || HasState(TScanerState::Loading) || HasState(TScanerState::Clearing) ||
        !HasOption(soAutoScan))
        return;
    StartWorker<TQueryMaskThread>(this);
}
