#include "engine/FlatScanThread.h"

#include "Packages/Common/LoopGuard.h"
#include "Packages/Files/FileFunc.h"
#include "engine/ListParser.h"
#include "system/SystemErrors.h"
#include "system/Unicode.h"

namespace {

// A folder that holds this many listed entries is listed once instead of
// searched once per entry: each search costs as much as a short listing.
constexpr size_t kListFolderFrom = 8;

// The folder part of an entry path below the base, without backslash.
std::u16string FolderOf(const std::u16string& name) {
    const size_t at = name.rfind(u'\\');
    return at == std::u16string::npos ? std::u16string() : name.substr(0, at);
}

} // namespace

TFlatScanThread::TFlatScanThread(TCustomDirScaner* scanner, TDirectory* directory,
                                 std::atomic<uint64_t>& lookedUp)
    : TCustomThread(scanner, directory), lookedUp_(lookedUp) {}

void TFlatScanThread::Work() {
    const TDirTree& tree = *Directory()->Tree;
    const std::u16string base = IncludeTrailingBackslashW(tree.RootPath());
    // The tree is flat: the walk goes from sibling to sibling.
    for (TTreeNode* node = tree.GetRoot()->FirstChild; node != nullptr; node = tree.GetNext(node))
        ++entriesPerFolder_[WideLowerCase(FolderOf(tree.GetName(node)))];
    entriesLeft_ = entriesPerFolder_;
    for (TTreeNode* node = tree.GetRoot()->FirstChild; node != nullptr && !Terminated();
         node = tree.GetNext(node)) {
        LookUp(node, base);
        ++lookedUp_;
        // A folder's listing goes once its last entry is looked up: a list
        // names a folder's files together, so few listings live at a time.
        const std::u16string folder = WideLowerCase(FolderOf(tree.GetName(node)));
        if (--entriesLeft_[folder] == 0)
            listings_.erase(folder);
    }
}

void TFlatScanThread::LookUp(TTreeNode* node, const std::u16string& base) {
    const std::u16string name = Directory()->Tree->GetName(node);
    // A search takes wildcards as a pattern and would find some other file.
    if (!CanNameFile(name)) {
        ReportScanError(node, static_cast<int32_t>(kErrorInvalidName));
        return;
    }
    const std::u16string folder = FolderOf(name);
    if (LoopsBack(base, folder)) {
        ReportScanError(node, static_cast<int32_t>(kErrorCantResolveFilename));
        return;
    }
    if (entriesPerFolder_[WideLowerCase(folder)] >= kListFolderFrom) {
        if (const TListing* listing = Listing(base, folder)) {
            const auto found = listing->find(WideLowerCase(ExtractFileNameW(name)));
            if (found != listing->end()) {
                Fill(node, found->second);
                return;
            }
        }
    }
    // The search finds what a listing shows under another name (a short
    // name, trailing dots), and gives the system's own code for what is
    // missing.
    TLxSearchRec rec;
    if (const int code = WideFindFirst(base + name, rec); code != 0) {
        ReportScanError(node, code);
        return;
    }
    Fill(node, {rec.Attr, rec.Time, rec.Size});
}

const TFlatScanThread::TListing* TFlatScanThread::Listing(const std::u16string& base,
                                                          const std::u16string& folder) {
    auto [at, added] = listings_.try_emplace(WideLowerCase(folder));
    if (added) {
        TListing listing;
        TLxSearchRec rec;
        const std::u16string pattern = base + (folder.empty() ? u"" : folder + u"\\") + u"*";
        for (int code = WideFindFirst(pattern, rec); code == 0; code = WideFindNext(rec))
            listing.try_emplace(WideLowerCase(rec.Name), TFound{rec.Attr, rec.Time, rec.Size});
        if (!listing.empty())
            at->second = std::move(listing);
    }
    return at->second ? &*at->second : nullptr;
}

bool TFlatScanThread::LoopsBack(const std::u16string& base, const std::u16string& folder) {
    if (folder.empty())
        return false;
    const std::u16string key = WideLowerCase(folder);
    if (const auto known = loops_.find(key); known != loops_.end())
        return known->second;
    const bool loops = LoopsBack(base, FolderOf(folder)) || LinkBack(base, folder);
    loops_.emplace(key, loops);
    return loops;
}

bool TFlatScanThread::LinkBack(const std::u16string& base, const std::u16string& folder) const {
    // Only a link can lead back; other folders are not opened for this.
    const uint32_t attributes = WideFileAttributes(base + folder);
    if (attributes == INVALID_FILE_ATTRIBUTES_VALUE || !IsReparsePoint(attributes))
        return false;
    TLoopGuard guard(WideFolderId);
    guard.Enter(Directory()->Tree->RootPath());
    for (size_t at = folder.find(u'\\'); at != std::u16string::npos;
         at = folder.find(u'\\', at + 1))
        guard.Enter(base + folder.substr(0, at));
    return guard.LeadsBack(base + folder);
}

void TFlatScanThread::Fill(TTreeNode* node, const TFound& found) {
    // A listed file whose name is now a folder's is not there: it is missing,
    // as if the lookup had found nothing.
    if (IsDirectory(found.Attributes)) {
        ReportScanError(node, static_cast<int32_t>(kErrorFileNotFound));
        return;
    }
    TDirNodeData* data = Directory()->Tree->GetData(node);
    data->Attributes = found.Attributes;
    data->Time = found.Time;
    data->Size = static_cast<int64_t>(found.Size);
    // Counted whatever soAllowStatic says: the statistics of a verification
    // come from here alone.
    CountFile(data->Size);
    CountFoldersOf(Directory()->Tree->GetName(node));
}

// Each folder below the base that holds a found file, however deep, counts
// once, as a scan counts the folders it walks.
void TFlatScanThread::CountFoldersOf(const std::u16string& name) {
    for (std::u16string folder = FolderOf(name);
         !folder.empty() && foldersCounted_.insert(WideLowerCase(folder)).second;
         folder = FolderOf(folder))
        CountFolder();
}
