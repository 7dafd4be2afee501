// The checksum-list writer's updates: an existing list is read before the
// files are, its unchanged files keep their digests without being read, and
// it is written back in its own form with what changed.
#include "engine/FileReader.h"
#include "engine/LxHash.h"
#include "engine/uFileSaver.h"
#include "system/Unicode.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace {

// The full path of the file an entry names.
std::u16string EntryFile(const std::u16string& folder, const std::u16string& path) {
    return NeedsResolving(path) ? ResolveEntry(folder, path) : folder + path;
}

// Reads the list at path whole and parses it: its bytes, its last-write
// time and its entries; the result tells how reading or parsing ended.
TFileParseInfo ReadList(const std::u16string& path, std::string& text, uint64_t& time,
                        std::vector<TListEntry>& entries) {
    TFileParseInfo info;
    if (const uint32_t error = ReadWholeList(path, text, time); error != 0) {
        info.Result = fprFileAccessError;
        info.ErrorCode = error;
    } else {
        TListEntries parsed = ParseListText(text);
        info = parsed.Info;
        entries = std::move(parsed.Entries);
    }
    info.FileName = path;
    return info;
}

} // namespace

TTreeNode* TCheckSumSaver::ScannedFile(const std::u16string& path) {
    if (!indexed_) {
        for (TTreeNode* item = engine_.FirstItem(false); item != nullptr;
             item = engine_.NextItem(item, false))
            if (!IsFolder(item) && engine_.Tree().GetData(item)->Masked == 0)
                scanned_.emplace_back(FoldedPathKey(engine_.GetItemPath(item)), item);
        std::sort(scanned_.begin(), scanned_.end());
        indexed_ = true;
    }
    const uint64_t key = FoldedPathKey(path);
    for (auto at = std::lower_bound(scanned_.begin(), scanned_.end(),
                                    std::make_pair(key, static_cast<TTreeNode*>(nullptr)));
         at != scanned_.end() && at->first == key; ++at)
        if (SamePathText(engine_.GetItemPath(at->second), path))
            return at->second;
    return nullptr;
}

TFileParseInfo TCheckSumSaver::LoadExisting(const std::u16string& listPath,
                                            const std::u16string& base,
                                            std::vector<std::u16string>& missing) {
    TExistingList list;
    uint64_t listTime = 0;
    const TFileParseInfo info = ReadList(listPath, list.Text, listTime, list.Entries);
    if (info.Result != fprSuccess)
        return info;
    const std::u16string folder = IncludeTrailingBackslashW(base);
    list.Files.reserve(list.Entries.size());
    for (const TListEntry& entry : list.Entries) {
        const std::u16string path = EntryFile(folder, entry.Path);
        TTreeNode* file = ScannedFile(path);
        list.Files.push_back(file);
        if (file == nullptr) {
            // A file outside the scan (another mask, a folder not entered)
            // keeps its entry unseen; one that is gone, or a folder now, is
            // reported.
            const uint32_t attributes = WideFileAttributes(path);
            if (attributes == INVALID_FILE_ATTRIBUTES_VALUE || IsDirectory(attributes))
                missing.push_back(path);
            continue;
        }
        const TDirNodeData* data = engine_.Tree().GetData(file);
        TCheckSumData* sum = engine_.CheckSumDataOf(file);
        // Written before the list, so the entry holds its content. The same
        // time may be an edit just after the list was written: read again.
        if (data->ErrorCode != 0 || sum->Kept != 0 || listTime == 0 || data->Time == 0 ||
            data->Time >= listTime)
            continue;
        CopyDigest(entry.Digest, sum->Hash);
        sum->Kept = 1;
        ++KeptFiles;
        KeptSize += static_cast<uint64_t>(data->Size);
    }
    existing_[WideLowerCase(listPath)] = std::move(list);
    return info;
}

bool TCheckSumSaver::IsExisting(const std::u16string& listPath) const {
    return existing_.count(WideLowerCase(listPath)) != 0;
}

void TCheckSumSaver::WriteUpdate(TTreeNode* node) {
    const TExistingList& list = existing_.at(WideLowerCase(ListFileName));
    std::vector<TEntryChange> changes;
    std::unordered_set<const TTreeNode*> named;
    for (size_t i = 0; i < list.Files.size(); ++i) {
        const TTreeNode* file = list.Files[i];
        if (file == nullptr)
            continue;
        named.insert(file);
        const TDirNodeData* data = engine_.Tree().GetData(file);
        const TCheckSumData* sum = engine_.CheckSumDataOf(const_cast<TTreeNode*>(file));
        // An unread file vouches for nothing new: its entry stays.
        if (sum->Kept != 0 || data->Masked != 0 || data->ErrorCode != 0 ||
            std::memcmp(sum->Hash, list.Entries[i].Digest, sizeof sum->Hash) == 0)
            continue;
        TEntryChange change{i, {}};
        CopyDigest(sum->Hash, change.Digest);
        changes.push_back(change);
    }
    std::vector<TNewEntry> added;
    ForEachEntry(node, [&](const TTreeNode* entry, const std::u16string& base) {
        if (named.count(entry) != 0)
            return;
        TNewEntry line{EntryPath(engine_, entry, base), {}};
        CopyDigest(engine_.CheckSumDataOf(const_cast<TTreeNode*>(entry))->Hash, line.Digest);
        added.push_back(std::move(line));
    });
    if (changes.empty() && added.empty()) {
        ++ListCount;
        ++UntouchedLists;
        return;
    }
    WriteUpdatedList(ListFileName, list.Text, changes, added, false);
}

void TCheckSumSaver::WriteUpdatedList(const std::u16string& path, std::string_view text,
                                      const std::vector<TEntryChange>& changes,
                                      const std::vector<TNewEntry>& added, bool fresh) {
    ++ListCount;
    // Written like every list: the old one stays until the new one is whole.
    TReplacingFile file(path);
    uint32_t error = file.Open();
    if (error == 0)
        error = file.Write(UpdateListText(text, changes, added));
    if (error == 0)
        error = file.Commit();
    if (error != 0) {
        DoError(path, lfSystemError, error);
        return;
    }
    if (fresh)
        return;
    ++UpdatedLists;
    AddedEntries += added.size();
    UpdatedEntries += changes.size();
}

void TCheckSumSaver::UpdateList(const std::u16string& path, const std::u16string& base,
                                const std::unordered_map<std::u16string, const uint8_t*>& edited,
                                const std::vector<TNewEntry>& added) {
    const bool fresh = WideFileAttributes(path) == INVALID_FILE_ATTRIBUTES_VALUE;
    std::string text;
    std::vector<TEntryChange> changes;
    if (fresh) {
        text = Header();
    } else {
        uint64_t time = 0;
        std::vector<TListEntry> entries;
        // Not the list that was loaded (or none that loads): left alone.
        if (const TFileParseInfo info = ReadList(path, text, time, entries);
            info.Result != fprSuccess) {
            ++ListCount;
            if (info.Result == fprFileAccessError)
                DoError(path, lfSystemError, info.ErrorCode);
            else
                DoError(path, lfNotLoaded, 0);
            return;
        }
        const std::u16string folder = IncludeTrailingBackslashW(base);
        for (size_t i = 0; i < entries.size(); ++i) {
            const auto found = edited.find(WideLowerCase(EntryFile(folder, entries[i].Path)));
            if (found == edited.end())
                continue;
            TEntryChange change{i, {}};
            CopyDigest(found->second, change.Digest);
            changes.push_back(change);
        }
    }
    if (changes.empty() && added.empty()) {
        ++ListCount;
        ++UntouchedLists;
        return;
    }
    WriteUpdatedList(path, text, changes, added, fresh);
}
