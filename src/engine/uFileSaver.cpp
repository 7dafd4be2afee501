#include "engine/uFileSaver.h"

#include "engine/ListFormat.h"
#include "system/AnsiText.h"
#include "system/Utf8.h"

std::u16string TCheckSumSaver::EntryPath(const TCustomChksumCalc& engine, const TTreeNode* node,
                                         const std::u16string& base) {
    const std::u16string path = engine.GetItemPath(node);
    if (path.empty())
        return {};
    if (engine.StaticNode() != nullptr && node->Parent == engine.StaticNode())
        return ExtractFileNameW(path);
    if (base.empty())
        return path;
    return RelativeToFolder(base, path);
}

std::string TCheckSumSaver::FormatLine(const TCustomChksumCalc& engine, const TTreeNode* node,
                                       const std::u16string& base, bool utf8) {
    const std::u16string shown = EntryPath(engine, node, base);
    if (shown.empty())
        return {};
    return engine.GetHashText(node) + std::string(kListEntrySeparator) +
           (utf8 ? WideToUtf8(shown) : WideToAnsi(shown)) + std::string(kListLineBreak);
}

bool TCheckSumSaver::IsListOf(TPlacement placement, const TDirTree& tree, const TTreeNode* node) {
    std::u16string stem = tree.GetName(node);
    RemoveFileExtW(stem);
    const bool namedAfterFolder = SamePathText(stem, tree.GetName(node->Parent));
    return namedAfterFolder == (placement == plEachFolder);
}

bool TCheckSumSaver::IsFolder(const TTreeNode* node) const {
    const TDirNodeData* data = engine_.Tree().GetData(node);
    // A record's root stands for its folder even where the system could not
    // describe it (a drive root).
    return IsDirectory(data->Attributes) ||
           (node->Parent == engine_.Tree().GetRoot() && node != engine_.StaticNode());
}

void TCheckSumSaver::Save(TTreeNode* node, const std::u16string& fileName, bool silent) {
    if (Extension.empty())
        return;
    switch (Placement) {
    case plEachFile:
        if (node == nullptr) {
            SaveEachFile(nullptr);
            return;
        }
        if (IsFolder(node) || engine_.Tree().GetData(node)->Masked != 0)
            return;
        ListFileName = engine_.GetItemPath(node) + Extension;
        break;
    case plEachFolder: {
        if (node == nullptr) {
            SaveEachFolder(nullptr);
            return;
        }
        const std::u16string folder = engine_.GetItemPath(node);
        ListFileName = IncludeTrailingBackslashW(folder) +
                       ExtractFileNameW(ExcludeTrailingBackslashW(folder)) + Extension;
        break;
    }
    default:
        ListFileName = fileName;
        break;
    }
    WriteList(node, silent);
}

void TCheckSumSaver::SaveEachFile(TTreeNode*) {
    for (TTreeNode* item = engine_.FirstItem(false); item != nullptr;
         item = engine_.NextItem(item, false))
        Save(item, {}, false);
}

// A folder gets a list when it holds a file of its own (or a masked folder).
void TCheckSumSaver::SaveEachFolder(TTreeNode*) {
    TTreeNode* first = engine_.FirstItem(true);
    if (first == nullptr)
        return;
    for (TTreeNode* item = first->Parent; item != nullptr; item = engine_.NextItem(item, false)) {
        if (!IsFolder(item))
            continue;
        for (const TTreeNode* child = item->FirstChild; child != nullptr;
             child = child->NextSibling) {
            if (!IsFolder(child) || engine_.Tree().GetData(child)->Masked != 0) {
                Save(item, {}, false);
                break;
            }
        }
    }
}

void TCheckSumSaver::WriteList(TTreeNode* node, bool silent) {
    ++ListCount;
    listFailed_ = false;
    WriteCheckedList(node, silent);
    if (listFailed_)
        ++FailedLists;
}

void TCheckSumSaver::WriteCheckedList(TTreeNode* node, bool silent) {
    bool askAll = (Placement == plEachFile || Placement == plEachFolder) && !OverwriteAll;
    if (!checkOutput_(ListFileName, OverwriteAll, askAll, silent)) {
        // Without a system error (0) the user answered No.
        DoError(ListFileName, FileLastError);
        return;
    }
    OverwriteAll = !askAll;
    utf8_ = NeedsUtf8(node);
    if (!OpenList(ListFileName))
        return;
    WriteEntries(node);
    handle_.Reset();
}

void TCheckSumSaver::ForEachEntry(TTreeNode* node, const TEntryVisitor& visit) const {
    auto file = [&](const TTreeNode* entry, const std::u16string& base) {
        const TDirNodeData* data = engine_.Tree().GetData(entry);
        // A file that could not be found or read has no digest to vouch
        // for: it is reported as an error, not written with a made-up one.
        if (!IsFolder(entry) && data->Masked == 0 && data->ErrorCode == 0)
            visit(entry, base);
    };
    switch (Placement) {
    case plEachFile:
        file(node, IncludeTrailingBackslashW(ExtractFileDirW(engine_.GetItemPath(node))));
        break;
    case plEachFolder:
        if (engine_.Tree().GetData(node)->Masked == 0)
            for (const TTreeNode* child = node->FirstChild; child != nullptr;
                 child = child->NextSibling)
                file(child, engine_.GetItemPath(node));
        break;
    default:
        for (TTreeNode* item = engine_.FirstItem(false); item != nullptr;
             item = engine_.NextItem(item, false))
            file(item, BaseFolder);
        break;
    }
}

// A list whose names all fit the ANSI code page is ANSI text; one that
// would lose characters there is UTF-8 with a byte-order mark, so that
// every entry can be verified.
bool TCheckSumSaver::NeedsUtf8(TTreeNode* node) const {
    bool needed = false;
    ForEachEntry(node, [&](const TTreeNode* entry, const std::u16string& base) {
        const std::u16string shown = EntryPath(engine_, entry, base);
        needed = needed || !FitsAnsiCodePage(shown);
    });
    return needed;
}

void TCheckSumSaver::WriteEntries(TTreeNode* node) {
    ForEachEntry(node, [&](const TTreeNode* entry, const std::u16string& base) {
        if (WideWriteFile(handle_, FormatLine(engine_, entry, base, utf8_)) != 0)
            DoError(ListFileName, FileLastError);
    });
}

bool TCheckSumSaver::OpenList(const std::u16string& name) {
    handle_ = WideCreateFileForWrite(name);
    if (handle_.Valid() && (!utf8_ || WideWriteFile(handle_, kUtf8ByteOrderMark) == 0) &&
        WriteHeader())
        return true;
    const uint32_t error = FileLastError;
    handle_.Reset();
    DoError(name, error);
    return false;
}

bool TCheckSumSaver::WriteHeader() {
    if (!handle_.Valid())
        return false;
    bool write = false;
    std::string header;
    if (OnGetHeader)
        OnGetHeader(this, write, header);
    if (!write || header.empty())
        return true;
    return WideWriteFile(handle_, header) == 0;
}

void TCheckSumSaver::DoError(const std::u16string& fileName, uint32_t errorCode) {
    listFailed_ = true;
    if (OnError)
        OnError(this, fileName, errorCode);
}
