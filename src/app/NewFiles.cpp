// New files of a verification: files in the folders the run covers that no
// loaded list names, and that are neither lists nor the run's own outputs.
// The folders are listed once the reading is done; nothing is read.
#include "app/Application.h"

#include "Packages/Common/LoopGuard.h"
#include "Packages/Files/FileFunc.h"
#include "Packages/Files/FileMasks.h"
#include "console/Console.h"
#include "console/Console_ENG.h"
#include "console/Text.h"
#include "system/Unicode.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace {

bool EndsWith(const std::u16string& name, const std::u16string& tail) {
    return name.size() > tail.size() && SamePathText(name.substr(name.size() - tail.size()), tail);
}

// Lists folder, and with recursive the folders below it (a link is entered
// unless it leads back to a folder of the current path), handing each file
// to take with its full path.
template <typename Take>
void ListFiles(const std::u16string& folder, bool recursive, TLoopGuard& guard, Take take) {
    guard.Enter(folder);
    TLxSearchRec rec;
    const std::u16string base = IncludeTrailingBackslashW(folder);
    // The folders below, and whether each is a link (only a link can lead back).
    std::vector<std::pair<std::u16string, bool>> folders;
    for (int code = WideFindFirst(base + u"*", rec); code == 0; code = WideFindNext(rec)) {
        if (rec.Name == u"." || rec.Name == u"..")
            continue;
        if (!IsDirectory(rec.Attr))
            take(base + rec.Name);
        else if (recursive)
            folders.emplace_back(base + rec.Name, IsReparsePoint(rec.Attr));
    }
    for (const auto& [below, link] : folders)
        if (!link || !guard.LeadsBack(below))
            ListFiles(below, true, guard, take);
    guard.Leave();
}

} // namespace

std::vector<std::u16string> TApplication::FindNewFiles() const {
    // The listed files, and the folders that hold them (by folded path, each
    // with its path as written).
    std::vector<uint64_t> known;
    std::map<std::u16string, std::u16string> folders;
    for (TDirectory* dir = calc_->FirstDirectory(); dir != nullptr;
         dir = calc_->NextDirectory(dir)) {
        const TDirTree& tree = *dir->Tree;
        const std::u16string base = IncludeTrailingBackslashW(tree.RootPath());
        for (const TTreeNode* node = tree.GetNext(tree.GetRoot()); node != nullptr;
             node = tree.GetNext(node)) {
            const std::u16string path = base + tree.GetName(node);
            const std::u16string folder = ExcludeTrailingBackslashW(ExtractFileDirW(path));
            folders.try_emplace(WideLowerCase(folder), folder);
            known.push_back(FoldedPathKey(path));
        }
    }
    // The run's own files and the lists it read are no new files. Listed
    // paths are known by their keys: a million of them take 8 MB instead
    // of the 150 MB of their paths, and two paths of a million share a key
    // about once in ten million runs.
    for (const std::u16string& output : OwnOutputs())
        known.push_back(FoldedPathKey(output));
    for (const TCustomChksumCalc::TLoadedList& list : calc_->LoadedLists())
        known.push_back(FoldedPathKey(list.Path));
    std::sort(known.begin(), known.end());
    const std::u16string partialList = saver_->Extension + std::u16string(kPartialSuffix);
    const std::string includeMasks = calc_->IncludeMasks().Text();
    const std::string excludeMasks = calc_->ExcludeMasks().Text();
    std::vector<std::u16string> found;
    auto take = [&](const std::u16string& path) {
        const std::u16string name = ExtractFileNameW(path);
        if (EndsWith(name, saver_->Extension) || EndsWith(name, partialList) ||
            std::binary_search(known.begin(), known.end(), FoldedPathKey(path)) ||
            IsFileFilteredOut(path, includeMasks, excludeMasks, {}, {}))
            return;
        found.push_back(path);
    };
    TLoopGuard guard(WideFolderId);
    const std::u16string root = ExcludeTrailingBackslashW(newFilesRoot_);
    ListFiles(root, options_.Recursive, guard, take);
    if (!options_.Recursive) {
        // The folders the lists name, each once, besides the root.
        folders.erase(WideLowerCase(root));
        for (const auto& [key, folder] : folders)
            ListFiles(folder, false, guard, take);
    }
    // In the order of their paths, whatever order the folders list them in.
    std::vector<std::pair<std::u16string, std::u16string>> sorted;
    for (std::u16string& path : found)
        sorted.emplace_back(WideLowerCase(path), std::move(path));
    std::sort(sorted.begin(), sorted.end());
    found.clear();
    for (auto& [key, path] : sorted)
        found.push_back(std::move(path));
    return found;
}
