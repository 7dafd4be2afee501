// Updating lists (/U): before the files are read, every list the run would
// write that exists is read, so that the files it names and that were not
// written since keep their entries unread; at the end, what the updates
// did, and the listed files that are gone.
#include "app/Application.h"

#include "app/ExitCodes.h"
#include "console/Console.h"
#include "console/Console_ENG.h"
#include "console/Text.h"
#include "engine/LxHash.h"
#include "system/AnsiText.h"
#include "system/Unicode.h"

#include <map>
#include <unordered_map>
#include <unordered_set>

namespace {

// The files of a folder that its list holds: those selected in it.
template <typename Visit>
void ForEachOwnFile(const TDirTree& tree, TTreeNode* folder, Visit visit) {
    for (TTreeNode* child = folder->FirstChild; child != nullptr; child = child->NextSibling)
        if (!IsDirectory(tree.GetData(child)->Attributes) && tree.GetData(child)->Masked == 0)
            visit(child);
}

} // namespace

bool TApplication::LoadListsToUpdate() {
    if (sourceIsFile_ || saver_->Placement == plNone || saver_->Placement == plRoot) {
        if (GetPathKind(options_.ListPath) != pkFile)
            return true;
        const TFileParseInfo info =
            saver_->LoadExisting(options_.ListPath, saver_->BaseFolder, missingListed_);
        if (info.Result == fprSuccess)
            return true;
        // The run's one list cannot be updated: nothing is worth reading.
        ReportNotUpdated({info.FileName, lfNotLoaded, info.ErrorCode, info.Line, info.Result});
        Terminate(ecCantWriteResult);
        return false;
    }
    const std::string extension = WideToAnsi(saver_->Extension);
    for (TDirectory* dir = calc_->FirstDirectory(); dir != nullptr;
         dir = calc_->NextDirectory(dir)) {
        TDirTree& tree = *dir->Tree;
        for (TTreeNode* node = tree.GetNext(tree.GetRoot()); node != nullptr;
             node = tree.GetNext(node)) {
            if (tree.GetData(node)->Masked == 0 ||
                !MatchesMaskList(extension, WideToAnsi(tree.GetName(node))) ||
                !TCheckSumSaver::IsListOf(saver_->Placement, tree, node))
                continue;
            const std::u16string list = tree.GetFullPath(node);
            // Each file's list belongs to the file of its name without the
            // extension, each folder's list to the files beside it.
            std::vector<TTreeNode*> files;
            if (saver_->Placement == plEachFile) {
                if (TTreeNode* file =
                        saver_->ScannedFile(list.substr(0, list.size() - saver_->Extension.size()));
                    file != nullptr)
                    files.push_back(file);
            } else {
                ForEachOwnFile(tree, node->Parent, [&](TTreeNode* file) { files.push_back(file); });
            }
            // A list whose files are all gone is read too: the run writes
            // nothing over it, and reports its files missing.
            const TFileParseInfo info =
                saver_->LoadExisting(list, ExtractFileDirW(list), missingListed_);
            if (info.Result == fprSuccess)
                continue;
            // Left as it is, and its files are not read for nothing.
            unwrittenLists_.push_back({list, lfNotLoaded, info.ErrorCode, info.Line, info.Result});
            ++saver_->ListCount;
            ++saver_->FailedLists;
            for (TTreeNode* file : files)
                dir->MaskFile(file);
        }
    }
    return true;
}

void TApplication::ReportNotUpdated(const TUnwrittenList& list) {
    ReportUnwritten(msg::ListNotUpdated, list.Path, list.ErrorCode);
    if (list.Result != fprSuccess && list.Result != fprFileAccessError)
        ConsoleWriteLine(FormatText(msg::LineCodeFormat,
                                    {std::to_string(list.Line), ParseResultText(list.Result)}));
}

// What the updates did, after the lists are written, and the lists they
// could not write with their causes.
void TApplication::ReportUpdates() {
    const uint32_t failed = saver_->FailedLists;
    if (failed > 0)
        exitCode_ |= failed == saver_->ListCount || options_.Placement == plNone ||
                             options_.Placement == plRoot
                         ? ecCantWriteResult
                         : ecCantWriteSomeResults;
    ReportUnwrittenLists();
    if (options_.Silent)
        return;
    const uint32_t fresh =
        saver_->ListCount - failed - saver_->UpdatedLists - saver_->UntouchedLists;
    if (saver_->UpdatedLists > 0)
        ConsoleWriteLine(
            FormatText(msg::ListsUpdatedFormat,
                       {std::to_string(saver_->UpdatedLists), std::to_string(saver_->AddedEntries),
                        std::to_string(saver_->UpdatedEntries)}));
    if (fresh > 0)
        ConsoleWriteLine(FormatText(msg::NewListsFormat, std::to_string(fresh)));
    if (saver_->UpdatedLists == 0 && fresh == 0 && failed == 0)
        ConsoleWriteLine(msg::ListsUpToDate);
}

// /V /U: the new files join the reading. Each becomes an entry of the
// record that holds it, named by no list (List 0), so it is hashed and not
// compared.
void TApplication::AddNewFilesToRead() {
    if (!options_.Silent)
        Console().ShowStatus(msg::LookingForNewFiles);
    newFiles_ = FindNewFiles();
    for (const std::u16string& path : newFiles_) {
        TLxSearchRec rec;
        // Gone since it was listed: it stays named as new, and is not added.
        if (WideFindFirst(path, rec) != 0)
            continue;
        for (TDirectory* dir = calc_->FirstDirectory(); dir != nullptr;
             dir = calc_->NextDirectory(dir)) {
            const std::u16string base = IncludeTrailingBackslashW(dir->Path);
            if (!IsPathInside(path, base))
                continue;
            TTreeNode* node = dir->Tree->AddNamedNode(nullptr, path.substr(base.size()));
            TDirNodeData* data = dir->Tree->GetData(node);
            data->Attributes = rec.Attr;
            data->Size = static_cast<int64_t>(rec.Size);
            data->Time = rec.Time;
            ++dir->Files;
            dir->Size += data->Size;
            newNodes_.push_back(node);
            break;
        }
    }
}

// /V /U, after reading: each edited file's entry follows its content (a
// damaged file's entry stays, as evidence), and each new file read joins
// the list of its placement. A list that did not load cleanly is left as
// it is.
void TApplication::WriteVerifiedUpdates() {
    const bool ownFolder = saver_->Placement == plEachFile || saver_->Placement == plEachFolder;
    std::unordered_set<std::u16string> failed;
    for (const TFileParseInfo& info : loadErrors_)
        failed.insert(WideLowerCase(info.FileName));
    struct TTarget {
        std::u16string Path;
        // Edited files by lower-case full path, with their digests.
        std::unordered_map<std::u16string, const uint8_t*> Edited;
        std::vector<TNewEntry> Added;
    };
    std::map<std::u16string, TTarget> targets; // by lower-case list path
    auto target = [&](const std::u16string& list) -> TTarget* {
        const std::u16string key = WideLowerCase(list);
        if (failed.count(key) != 0)
            return nullptr;
        TTarget& found = targets[key];
        found.Path = list;
        return &found;
    };
    auto entryFolder = [&](const std::u16string& list) {
        return ownFolder ? ExtractFileDirW(list) : saver_->BaseFolder;
    };
    const auto& loaded = calc_->LoadedLists();
    for (TTreeNode* node : calc_->Changed) {
        const TCheckSumData* sum = calc_->CheckSumDataOf(node);
        if (sum->Changed != chEdited || sum->List == 0 || sum->List > loaded.size())
            continue;
        if (TTarget* list = target(loaded[sum->List - 1].Path); list != nullptr)
            list->Edited.emplace(WideLowerCase(calc_->GetItemPath(node)), sum->Hash);
    }
    for (TTreeNode* node : newNodes_) {
        if (calc_->Tree().GetData(node)->ErrorCode != 0)
            continue;
        const std::u16string path = calc_->GetItemPath(node);
        std::u16string list = options_.ListPath;
        if (saver_->Placement == plEachFile) {
            list = path + saver_->Extension;
        } else if (saver_->Placement == plEachFolder) {
            const std::u16string folder = ExtractFileDirW(path);
            list = IncludeTrailingBackslashW(folder) +
                   ExtractFileNameW(ExcludeTrailingBackslashW(folder)) + saver_->Extension;
        }
        if (TTarget* into = target(list); into != nullptr) {
            TNewEntry entry{RelativeToFolder(IncludeTrailingBackslashW(entryFolder(list)), path),
                            {}};
            CopyDigest(calc_->CheckSumDataOf(node)->Hash, entry.Digest);
            into->Added.push_back(std::move(entry));
        }
    }
    for (const auto& [key, list] : targets)
        saver_->UpdateList(list.Path, entryFolder(list.Path), list.Edited, list.Added);
}
