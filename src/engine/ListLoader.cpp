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
// Pieces of the second reading that decides whether a list is UTF-8.
constexpr uint32_t kCheckChunkSize = 64 * 1024;

// Adds the entries of one list to the engine's record of the base folder.
class TListLoader final : public TListParser {
public:
    TListLoader(TCustomChksumCalc& engine, const TFileHandle& file, const std::u16string& listFile,
                TEntryFilter filter, const TDirTree* refTree)
        : engine_(engine), file_(file), filter_(std::move(filter)), refTree_(refTree),
          listFolder_(IncludeTrailingBackslashW(ExtractFileDirW(listFile))) {
        // Entries name files beside the list: their paths below the base
        // begin with the list's own folder below it.
        const std::u16string below = RelativeToFolder(filter_.BasePath, listFolder_);
        prefix_ = below.empty() ? below : IncludeTrailingBackslashW(below);
    }

    // Reads the list to its end, or until parsing stops.
    void Load();

protected:
    void AddEntry(const std::u16string& path, const uint8_t (&digest)[16]) override;
    uint32_t CheckUtf8(bool& utf8) override;

private:
    TDirectory& Directory();
    void CopyReference(TDirectory& dir, TTreeNode* node, const std::u16string& path) const;

    TCustomChksumCalc& engine_;
    const TFileHandle& file_;
    const TEntryFilter filter_;
    const TDirTree* const refTree_;
    const std::u16string listFolder_;
    std::u16string prefix_;
    uint64_t consumed_ = 0; // bytes of the list read so far
    std::u16string name_;   // of the entry's node: kept to spare an allocation per entry
    TDirectory* directory_ = nullptr;
};

void TListLoader::Load() {
    std::vector<uint8_t> buffer(kChunkSize);
    for (bool more = true; more;) {
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
    if (!filter_.Accepts(path))
        return;
    TDirectory& dir = Directory();
    name_.assign(prefix_).append(path);
    TTreeNode* node = dir.Tree->AddNamedNode(nullptr, name_);
    CopyDigest(digest, engine_.CheckSumDataOf(node)->Hash);
    if (refTree_ != nullptr)
        CopyReference(dir, node, listFolder_ + path);
}

// The list is read once more from its start, then reading goes on where it
// stopped.
uint32_t TListLoader::CheckUtf8(bool& utf8) {
    TUtf8Check check;
    std::vector<uint8_t> buffer(kCheckChunkSize);
    uint32_t error = SetReadPosition(file_, 0);
    for (bool more = error == 0; more;) {
        uint32_t read = 0;
        error = ReadChunk(file_, buffer.data(), kCheckChunkSize, read);
        more = error == 0 && read > 0 && check.Put(buffer.data(), read);
    }
    if (error == 0)
        error = SetReadPosition(file_, consumed_);
    utf8 = check.WellFormed();
    return error;
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
    TListLoader loader(*this, file, listFile,
                       {mode, basePath, fileFilter, IncludeMasks().Text(), ExcludeMasks().Text()},
                       refTree);
    loader.InitParser(mode == lmProbe);
    loader.Load();
    info = loader.Info();
    info.FileName = listFile;
    return info;
}
