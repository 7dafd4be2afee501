#include "engine/uFileSaver.h"

#include "engine/ListFormat.h"
#include "system/AnsiText.h"
#include "system/Utf8.h"

namespace {

constexpr size_t kWritePiece = 64 * 1024;

} // namespace

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
    if (StopRequested && StopRequested())
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

// A folder gets a list when a file of its own was selected.
void TCheckSumSaver::SaveEachFolder(TTreeNode*) {
    TTreeNode* first = engine_.FirstItem(true);
    if (first == nullptr)
        return;
    for (TTreeNode* item = first->Parent; item != nullptr; item = engine_.NextItem(item, false)) {
        if (!IsFolder(item))
            continue;
        for (const TTreeNode* child = item->FirstChild; child != nullptr;
             child = child->NextSibling) {
            if (!IsFolder(child) && engine_.Tree().GetData(child)->Masked == 0) {
                Save(item, {}, false);
                break;
            }
        }
    }
}

bool TCheckSumSaver::MayReplace(const std::u16string& fileName, uint32_t& error) const {
    error = 0;
    const uint32_t attributes = WideFileAttributes(fileName);
    if (attributes == INVALID_FILE_ATTRIBUTES_VALUE || IsDirectory(attributes))
        return true;
    const TFileParseInfo probe = engine_.LoadCheckSumList(
        fileName, IncludeTrailingBackslashW(ExtractFileDirW(fileName)), {}, lmProbe, nullptr);
    if (probe.Result == fprFileAccessError)
        error = probe.ErrorCode;
    return probe.Result == fprSuccess;
}

void TCheckSumSaver::WriteList(TTreeNode* node, bool silent) {
    if (IsExisting(ListFileName)) {
        WriteUpdate(node);
        return;
    }
    ++ListCount;
    // A list of files that were all unreadable would only replace a good
    // list with an empty one.
    const TListContent content = ContentOf(node);
    if (content.Entries == 0) {
        DoError(ListFileName, lfNothingRead, 0);
        return;
    }
    uint32_t error = 0;
    if (!MayReplace(ListFileName, error)) {
        DoError(ListFileName, error != 0 ? lfSystemError : lfNotAList, error);
        return;
    }
    bool askAll = (Placement == plEachFile || Placement == plEachFolder) && !OverwriteAll;
    if (!checkOutput_(ListFileName, OverwriteAll, askAll, silent)) {
        // Without a system error (0) the user answered No, or the check said why.
        error = FileLastError;
        DoError(ListFileName, error != 0 ? lfSystemError : lfDeclined, error);
        return;
    }
    OverwriteAll = !askAll;
    error = WriteListFile(node, content.Utf8);
    if (error != 0)
        DoError(ListFileName, lfSystemError, error);
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
TCheckSumSaver::TListContent TCheckSumSaver::ContentOf(TTreeNode* node) const {
    TListContent content;
    ForEachEntry(node, [&](const TTreeNode* entry, const std::u16string& base) {
        ++content.Entries;
        content.Utf8 = content.Utf8 || !FitsAnsiCodePage(EntryPath(engine_, entry, base));
    });
    return content;
}

// Written beside the list and moved over it when complete: a full disk, a
// write error or a killed process leaves the old list as it was.
uint32_t TCheckSumSaver::WriteListFile(TTreeNode* node, bool utf8) {
    TReplacingFile file(ListFileName);
    uint32_t error = file.Open();
    std::string text = (utf8 ? std::string(kUtf8ByteOrderMark) : std::string()) + Header();
    ForEachEntry(node, [&](const TTreeNode* entry, const std::u16string& base) {
        if (error != 0)
            return;
        text += FormatLine(engine_, entry, base, utf8);
        // Written in large pieces: one call per line would cost a long list dearly.
        if (text.size() >= kWritePiece) {
            error = file.Write(text);
            text.clear();
        }
    });
    if (error == 0)
        error = file.Write(text);
    return error != 0 ? error : file.Commit();
}

std::string TCheckSumSaver::Header() {
    bool write = false;
    std::string header;
    if (OnGetHeader)
        OnGetHeader(this, write, header);
    return write ? header : std::string();
}

void TCheckSumSaver::DoError(const std::u16string& fileName, TListFault fault, uint32_t errorCode) {
    ++FailedLists;
    if (OnError)
        OnError(this, fileName, fault, errorCode);
}
