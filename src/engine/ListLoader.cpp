// The checksum engine's list loading: a list file, read in chunks through
// the byte machine, becomes flat trees of reference digests under the
// record of its base folder (and of the drives its entries lead to).
#include "Packages/Common/Assertion.h"
#include "engine/ChksumCalc.h"
#include "engine/FileReader.h"
#include "engine/LxHash.h"
#include "system/ScopeExit.h"

#include <chrono>
#include <vector>

namespace {

constexpr uint32_t kChunkSize = 4096;
// Pieces of the second reading that decides whether a list is UTF-8.
constexpr uint32_t kCheckChunkSize = 64 * 1024;

// Adds the entries of one list to the engine's records: those in the base
// folder to the base folder's record, those that lead out of it to the
// record of their drive or share.
class TListLoader final : public TListParser {
public:
    TListLoader(TCustomChksumCalc& engine, const TFileHandle& file, const std::u16string& listFile,
                uint32_t list, const std::u16string& basePath, TEntryFilter filter,
                const TDirTree* refTree, bool fromListFolder)
        : engine_(engine), file_(file), list_(list), filter_(std::move(filter)), refTree_(refTree),
          base_(IncludeTrailingBackslashW(basePath)),
          entryFolder_(fromListFolder ? IncludeTrailingBackslashW(ExtractFileDirW(listFile))
                                      : base_) {}

    // Reads the list to its end, or until parsing stops.
    void Load();

protected:
    void AddEntry(const std::u16string& path, const uint8_t (&digest)[16]) override;
    uint32_t CheckUtf8(bool& utf8) override;

private:
    void AddNode(TDirectory& dir, std::u16string_view name, const uint8_t (&digest)[16]);
    TDirectory& BaseRecord();
    TDirectory& Record(const std::u16string& folder);
    void CopyReference(TDirectory& dir, TTreeNode* node) const;

    TCustomChksumCalc& engine_;
    const TFileHandle& file_;
    const uint32_t list_; // the list's number among the engine's loaded lists
    const TEntryFilter filter_;
    const TDirTree* const refTree_;
    const std::u16string base_; // with one trailing backslash, as entryFolder_
    const std::u16string entryFolder_;
    uint64_t consumed_ = 0; // bytes of the list read so far
    uint64_t entries_ = 0;  // entry lines read so far
    // The entry's full path: kept to spare an allocation per entry.
    std::u16string full_;
    TDirectory* baseRecord_ = nullptr;
};

void TListLoader::Load() {
    using Clock = std::chrono::steady_clock;
    // A long list tells that it is moving, about once a second.
    Clock::time_point nextReport = Clock::now() + std::chrono::seconds(1);
    std::vector<uint8_t> buffer(kChunkSize);
    for (bool more = true; more;) {
        if (engine_.OnListProgress && Clock::now() >= nextReport) {
            engine_.OnListProgress(entries_);
            nextReport = Clock::now() + std::chrono::seconds(1);
        }
        uint32_t read = 0;
        if (const uint32_t error = ReadChunk(file_, buffer.data(), kChunkSize, read); error != 0) {
            ReadFailed(error);
            more = false;
        } else if (read == 0) {
            FinishParse();
            more = false;
        } else {
            consumed_ += read;
            more = ParseChunk(buffer.data(), read);
        }
    }
}

void TListLoader::AddEntry(const std::u16string& path, const uint8_t (&digest)[16]) {
    ++entries_;
    bool inBase = true;
    if (NeedsResolving(path)) {
        full_ = ResolveEntry(entryFolder_, path);
        inBase = IsPathInside(full_, base_);
    } else {
        full_.assign(entryFolder_).append(path);
    }
    if (!filter_.Accepts(full_))
        return;
    if (inBase) {
        AddNode(BaseRecord(), std::u16string_view(full_).substr(base_.size()), digest);
        return;
    }
    // A file outside the base folder lives in the record of its drive or
    // share, so that its full path stays its own. A path without a root
    // (such as "\\") stays as listed: its lookup reports what the system
    // finds.
    const std::u16string root = PathRootW(full_);
    if (root.empty())
        AddNode(BaseRecord(), path, digest);
    else
        AddNode(Record(root), std::u16string_view(full_).substr(root.size()), digest);
}

void TListLoader::AddNode(TDirectory& dir, std::u16string_view name, const uint8_t (&digest)[16]) {
    TTreeNode* node = dir.Tree->AddNamedNode(nullptr, name);
    TCheckSumData* data = engine_.CheckSumDataOf(node);
    CopyDigest(digest, data->Hash);
    data->List = list_;
    if (refTree_ != nullptr)
        CopyReference(dir, node);
}

// The list is read once more from its start, then reading goes on where it
// stopped.
uint32_t TListLoader::CheckUtf8(bool& utf8) {
    TUtf8Check check;
    std::vector<uint8_t> buffer(kCheckChunkSize);
    uint32_t error = WideSetFilePosition(file_, 0);
    for (bool more = error == 0; more;) {
        uint32_t read = 0;
        error = ReadChunk(file_, buffer.data(), kCheckChunkSize, read);
        more = error == 0 && read > 0 && check.Put(buffer.data(), read);
    }
    if (error == 0)
        error = WideSetFilePosition(file_, consumed_);
    utf8 = check.WellFormed();
    return error;
}

TDirectory& TListLoader::BaseRecord() {
    if (baseRecord_ == nullptr)
        baseRecord_ = &Record(base_);
    return *baseRecord_;
}

// Only a record of the folder itself will do: in one around it or inside
// it, the entries would be looked up under another folder.
TDirectory& TListLoader::Record(const std::u16string& folder) {
    const std::u16string bare = ExcludeTrailingBackslashW(folder);
    TDirectory* found = nullptr;
    for (TDirectory* dir = engine_.FirstDirectory(); dir != nullptr && found == nullptr;
         dir = engine_.NextDirectory(dir))
        if (SamePathText(ExcludeTrailingBackslashW(dir->Path), bare))
            found = dir;
    // A record keeps the trailing backslash of a drive root only.
    if (found == nullptr)
        found =
            engine_.AddDirectory(IsDriveRooted(folder) && folder.size() == 3 ? folder : bare, true);
    return *found;
}

void TListLoader::CopyReference(TDirectory& dir, TTreeNode* node) const {
    const TTreeNode* found = refTree_->FindPath(full_);
    if (found == nullptr)
        return;
    const TDirNodeData* from = refTree_->GetData(found);
    TDirNodeData* to = dir.Tree->GetData(node);
    to->Attributes = from->Attributes;
    to->Size = from->Size;
    to->Time = from->Time;
    // Counted whatever soAllowStatic says, as the flat scan counts.
    ++dir.Files;
    dir.Size += from->Size;
}

} // namespace

TFileParseInfo TCustomChksumCalc::LoadCheckSumList(const std::u16string& listFile,
                                                   const std::u16string& basePath,
                                                   const std::u16string& fileFilter, uint8_t mode,
                                                   const TDirTree* refTree, bool fromListFolder) {
    if (listFile.empty())
        AssertionFailure();
    SetState(TScanerState::Loading, true);
    const ScopeExit loaded([this] { SetState(TScanerState::Loading, false); });
    TFileParseInfo info;
    info.FileName = listFile;
    const TFileHandle file = OpenListForReading(listFile);
    if (!file.Valid()) {
        info.Result = fprFileAccessError;
        info.ErrorCode = FileLastError;
        return info;
    }
    if (mode != lmProbe && OnLoadList)
        OnLoadList(this);
    // A probe adds no entry, so it needs no number.
    if (mode != lmProbe)
        loadedLists_.push_back({listFile, FileLastWriteTime(file)});
    TListLoader loader(*this, file, listFile,
                       mode != lmProbe ? static_cast<uint32_t>(loadedLists_.size()) : 0, basePath,
                       {mode, fileFilter, IncludeMasks().Text(), ExcludeMasks().Text()}, refTree,
                       fromListFolder);
    loader.InitParser(mode == lmProbe);
    loader.Load();
    info = loader.Info();
    info.FileName = listFile;
    return info;
}
