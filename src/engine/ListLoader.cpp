// The checksum engine's list loading: a list file, read in chunks through
// the byte machine, becomes a flat tree of reference digests under the
// record of its base folder.
#include "Packages/Common/Assertion.h"
#include "engine/ChksumCalc.h"
#include "engine/FileReader.h"
#include "engine/LxHash.h"
#include "system/ScopeExit.h"

#include <vector>

namespace {

constexpr uint32_t kChunkSize = 4096;

// Adds the entries of one list to the engine's record of the base folder.
class TListLoader final : public TListParser {
public:
    TListLoader(TCustomChksumCalc& engine, const std::u16string& listFile, uint32_t list,
                TEntryFilter filter, const TDirTree* refTree)
        : engine_(engine), list_(list), filter_(std::move(filter)), refTree_(refTree),
          listFolder_(IncludeTrailingBackslashW(ExtractFileDirW(listFile))) {
        // Entries name files beside the list: their paths below the base
        // begin with the list's own folder below it.
        const std::u16string below = RelativeToFolder(filter_.BasePath, listFolder_);
        prefix_ = below.empty() ? below : IncludeTrailingBackslashW(below);
    }

protected:
    void AddEntry(const std::u16string& path, const uint8_t (&digest)[16]) override;

private:
    TDirectory& Directory();
    void CopyReference(TDirectory& dir, TTreeNode* node, const std::u16string& path) const;

    TCustomChksumCalc& engine_;
    const uint32_t list_; // the list's number among the engine's loaded lists
    const TEntryFilter filter_;
    const TDirTree* const refTree_;
    const std::u16string listFolder_;
    std::u16string prefix_;
    std::u16string name_; // of the entry's node: kept to spare an allocation per entry
    TDirectory* directory_ = nullptr;
};

void TListLoader::AddEntry(const std::u16string& path, const uint8_t (&digest)[16]) {
    if (!filter_.Accepts(path))
        return;
    TDirectory& dir = Directory();
    name_.assign(prefix_).append(path);
    TTreeNode* node = dir.Tree->AddNamedNode(nullptr, name_);
    TCheckSumData* data = engine_.CheckSumDataOf(node);
    CopyDigest(digest, data->Hash);
    data->List = list_;
    if (refTree_ != nullptr)
        CopyReference(dir, node, listFolder_ + path);
}

// Only a record of the base folder itself will do: in one around it or
// inside it, the entries would be looked up under another folder.
TDirectory& TListLoader::Directory() {
    if (directory_ != nullptr)
        return *directory_;
    const std::u16string& base = filter_.BasePath;
    const std::u16string bare = ExcludeTrailingBackslashW(base);
    for (TDirectory* dir = engine_.FirstDirectory(); dir != nullptr && directory_ == nullptr;
         dir = engine_.NextDirectory(dir))
        if (SamePathText(ExcludeTrailingBackslashW(dir->Path), bare))
            directory_ = dir;
    // A record keeps the trailing backslash of a drive root only.
    if (directory_ == nullptr)
        directory_ = engine_.AddDirectory(base.size() == 3 && base[1] == u':' ? base : bare, true);
    return *directory_;
}

void TListLoader::CopyReference(TDirectory& dir, TTreeNode* node,
                                const std::u16string& path) const {
    const TTreeNode* found = refTree_->FindPath(path);
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
                                                   const TDirTree* refTree) {
    if (listFile.empty())
        AssertionFailure("ChksumCalc", 983);
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
    TListLoader loader(
        *this, listFile, mode != lmProbe ? static_cast<uint32_t>(loadedLists_.size()) : 0,
        {mode, basePath, fileFilter, IncludeMasks().Text(), ExcludeMasks().Text()}, refTree);
    loader.InitParser(mode == lmProbe);
    std::vector<uint8_t> buffer(kChunkSize);
    for (bool more = true; more;) {
        uint32_t read = 0;
        if (const uint32_t error = ReadChunk(file, buffer.data(), kChunkSize, read); error != 0) {
            loader.ReadFailed(error);
            more = false;
        } else if (read == 0) {
            loader.FinishParse();
            more = false;
        } else {
            more = loader.ParseChunk(buffer.data(), read);
        }
    }
    info = loader.Info();
    info.FileName = listFile;
    return info;
}
