// The verification run: where the reference lists come from for each kind
// of source and placement, their loading and its reports, and the list of
// changed files.
#include "app/Application.h"

#include "app/ExitCodes.h"
#include "app/Progress.h"
#include "console/Console.h"
#include "console/Console_ENG.h"
#include "console/LogFile.h"
#include "console/OutputCheck.h"
#include "console/Text.h"
#include "system/AnsiText.h"
#include "system/Utf8.h"

namespace {

// Visits the lists of a reference scanner's tree in pre-order, passing
// over folders and masked nodes. A list is a leaf: visit may delete it.
template <typename Visit> void ForEachList(const TDirTree& tree, Visit visit) {
    for (TTreeNode* node = tree.GetNext(tree.GetRoot()); node != nullptr;) {
        TTreeNode* next = tree.GetNext(node);
        const TDirNodeData* data = tree.GetData(node);
        if (!IsDirectory(data->Attributes) && data->Masked == 0)
            visit(node);
        node = next;
    }
}

} // namespace

void TApplication::StartVerification() {
    switch (saver_->Placement) {
    case plNone:
        if (const TPathKind kind = GetPathKind(options_.ListPath);
            kind == pkFolder || kind == pkDrive) {
            ReportInvalidPath(options_.ListPath);
            return;
        }
        if (sourceIsFile_)
            VerifySingleFile();
        else
            LoadFolderReferences();
        return;
    case plRoot:
        LoadFolderReferences();
        return;
    case plEachFile:
    case plEachFolder:
        LoadFoundReferences();
        return;
    }
}

void TApplication::VerifySingleFile() {
    const std::u16string folder = IncludeTrailingBackslashW(ExtractFileDirW(sourcePath_));
    std::u16string& listPath = options_.ListPath;
    TFileParseInfo info;
    if (!listPath.empty()) {
        info = calc_->LoadCheckSumList(listPath, folder, sourcePath_, lmFile, nullptr);
    } else if (calc_->LoadCheckSumList(sourcePath_, folder, {}, lmProbe, nullptr).Result ==
               fprSuccess) {
        // The source is a list itself: every file it names is verified, and
        // its folder may hold new files.
        listPath = sourcePath_;
        info = calc_->LoadCheckSumList(listPath, folder, {}, lmAll, nullptr);
        newFilesRoot_ = folder;
    } else {
        listPath = sourcePath_ + saver_->Extension;
        info = calc_->LoadCheckSumList(listPath, folder, sourcePath_, lmFile, nullptr);
    }
    if (info.Result != fprSuccess) {
        ReportListError(info);
        return;
    }
    if (ChangedListIsRead(IsChangedList(listPath)))
        return;
    sourceIsFile_ = false;
    calc_->FlatScan();
    calc_->Verify();
}

void TApplication::LoadFolderReferences() {
    if (saver_->Placement != plNone && saver_->Placement != plRoot)
        throw EWrongFolderCheckingMode("");
    std::u16string& listPath = options_.ListPath;
    // The root's list lies in the root, as the calculation wrote it.
    if (listPath.empty() || saver_->Placement == plRoot)
        listPath = RootListPath(listPath);
    switch (GetPathKind(listPath)) {
    case pkNone:
        ReportFileAccessError(listPath, FileLastError);
        ReferencesNotFound(FormatText(msg::ListLookedForFormat, ShownName(listPath)));
        return;
    case pkFolder:
    case pkDrive:
        ReportInvalidPath(listPath);
        return;
    case pkFile:
        break;
    }
    calc_->Clear(true);
    newFilesRoot_ = saver_->BaseFolder;
    const TFileParseInfo info =
        calc_->LoadCheckSumList(listPath, saver_->BaseFolder, {}, lmAll, nullptr);
    if (info.Result == fprSuccess) {
        if (ChangedListIsRead(IsChangedList(listPath)))
            return;
        calc_->FlatScan();
        calc_->Verify();
    } else if (info.Result == fprFileAccessError) {
        ConsoleWriteLine(msg::FailedToLoadList);
        ConsoleWriteLine(ShownPath(listPath, Console().Width()));
        ConsoleWriteLine(msg::SystemReturnedError);
        WriteSystemError(info.ErrorCode, 0);
        ReferencesNotFound(FormatText(msg::ListLookedForFormat, ShownName(listPath)));
    } else {
        ReportListError(info);
    }
}

void TApplication::LoadFoundReferences() {
    SetListExtension();
    // The reference scanner lives for this set-up only.
    const auto refScanner = std::make_unique<TDirScaner>(nullptr);
    ConsoleWriteLine(FormatText(msg::CalculatingSizeFormat, ShownName(sourcePath_)));
    refScanner->SetPriority(tpHighest);
    refScanner->SetOptions(
        refScanner->Options().Without(soASync).With(soAutoScan).With(soNotSynchronize));
    refScanner->IncludeMasks().Add(WideToAnsi(saver_->Extension));
    refScanner->Include(sourcePath_, options_.Recursive);
    int64_t listFiles = 0;
    refScanner->GetStatistics(totalSize_, listFiles, folderCount_);
    totalSize_ = 0;
    folderCount_ = 0;
    TDirectory* dir = refScanner->FirstDirectory();
    if (listFiles == 0 || dir == nullptr) {
        ReferencesNotFound(FoundListsLookedFor());
        return;
    }
    const int64_t used = SelectFoundLists(*dir->Tree);
    if (used == 0) {
        ReferencesNotFound(FoundListsLookedFor());
        return;
    }
    usedListCount_ = used;
    newFilesRoot_ = sourcePath_;
    ConsoleWriteLine(FormatText(msg::LoadingReferencesFormat, msg::FoundFiles));
    bool changedListIsAList = false;
    ForEachList(*dir->Tree, [&](TTreeNode* node) {
        const std::u16string list = dir->Tree->GetFullPath(node);
        changedListIsAList = changedListIsAList || IsChangedList(list);
        // No reference tree: the flat scan below finds each listed file, so
        // one that is gone is reported missing, not unreadable.
        const TFileParseInfo info =
            calc_->LoadCheckSumList(list, sourcePath_, {}, lmAll, nullptr, true);
        if (info.Result != fprSuccess)
            ReportLoadError(info);
    });
    if (!loadErrors_.empty()) {
        // A list that could not be read fails the run, whatever the others show.
        exitCode_ |= ecFileParseError;
        ConsoleWriteLine("");
        ConsoleWriteLine(LoadErrorsLine());
        ConsoleWriteLine("");
    }
    if (ChangedListIsRead(changedListIsAList))
        return;
    calc_->FlatScan();
    calc_->Verify();
}

// Keeps the lists of the placement: /T:F the lists named after their
// folder, /T:E the others. Returns how many were kept.
int64_t TApplication::SelectFoundLists(TDirTree& tree) {
    int64_t kept = 0;
    ForEachList(tree, [&](TTreeNode* node) {
        if (TCheckSumSaver::IsListOf(saver_->Placement, tree, node))
            ++kept;
        else
            tree.DeleteNode(node);
    });
    return kept;
}

void TApplication::ReportLoadError(const TFileParseInfo& info) {
    if (loadErrors_.empty())
        ConsoleWriteLine(msg::ChecksumLoadError);
    ConsoleWriteLine(ShownPath(info.FileName, Console().Width() - 2), false, false, 2);
    loadErrors_.push_back(info);
    if (info.Result == fprFileAccessError) {
        WriteSystemError(info.ErrorCode, 2);
        return;
    }
    ConsoleWriteHighlighted(
        FormatText(msg::LineCodeFormat, {std::to_string(info.Line), ParseResultText(info.Result)}),
        false, false, 2);
}

std::string TApplication::LoadErrorsLine() const {
    const auto count = static_cast<int64_t>(loadErrors_.size());
    return FormatText(msg::CantLoadReferencesFormat,
                      {std::to_string(count), std::to_string(Percent(count, usedListCount_))});
}

void TApplication::ReportListError(const TFileParseInfo& info) {
    if (info.ErrorCode != 0) {
        ReportFileAccessError(info.FileName, info.ErrorCode);
    } else {
        ConsoleWriteLine(FormatText(
            msg::NotAChecksumListFormat,
            {ShownName(info.FileName), std::to_string(info.Line), ParseResultText(info.Result)}));
    }
    Terminate(ecFileParseError);
}

// lookedFor names the list, or the lists, that were looked for.
void TApplication::ReferencesNotFound(const std::string& lookedFor) {
    ConsoleWriteLine(msg::ReferencesNotFound);
    ConsoleWriteLine(lookedFor);
    Terminate(ecNothingToVerify);
}

// The lists /T:E and /T:F look for, and where.
std::string TApplication::FoundListsLookedFor() const {
    const std::string where =
        ShownName(sourcePath_) + (options_.Recursive ? msg::AndItsSubFolders : "");
    return FormatText(saver_->Placement == plEachFolder ? msg::FolderListsLookedForFormat
                                                        : msg::FileListsLookedForFormat,
                      {ShownName(saver_->Extension), where});
}

bool TApplication::IsChangedList(const std::u16string& path) const {
    return !options_.ChangedListPath.empty() && SamePathText(path, options_.ChangedListPath);
}

// The /C: file must not replace a file the run reads: one of its lists
// (namesAList) or a listed file. True, after the report and with the run
// ended, when it would.
bool TApplication::ChangedListIsRead(bool namesAList) {
    bool read = namesAList;
    if (!options_.ChangedListPath.empty())
        for (const TTreeNode* item = calc_->FirstItem(false); item != nullptr && !read;
             item = calc_->NextItem(item, false))
            read = IsChangedList(calc_->GetItemPath(item));
    if (!read)
        return false;
    ReportUnwritten(msg::OutputIsAnInput, options_.ChangedListPath, 0);
    Terminate(ecCantWriteResult);
    return true;
}

void TApplication::LoadList() {
    if (options_.RunMode == rmVerify &&
        (saver_->Placement == plEachFile || saver_->Placement == plEachFolder))
        return;
    ConsoleWriteLine(FormatText(msg::LoadingReferencesFormat,
                                ShownPath(options_.ListPath, Console().Width() - 28)));
}

// The changed files on the screen, below the base folder (or by their full
// paths outside it), those not written since their list marked, and with
// their full paths in the /C: file.
void TApplication::WriteChangedFiles() {
    ConsoleWriteHighlighted(msg::ChangedFiles, false, true);
    std::u16string paths;
    for (TTreeNode* node : calc_->Changed) {
        const std::u16string path = calc_->GetItemPath(node);
        const std::string mark =
            calc_->CheckSumDataOf(node)->Changed == chDamaged ? msg::NotModifiedMark : "";
        // A list's entry may lead out of the base folder: that file shows its full path.
        const std::u16string below = RelativeToFolder(saver_->BaseFolder, path);
        outputColumn_ = 0;
        WriteHashColumn("  " +
                        ShownPath(below.empty() ? path : below,
                                  Console().Width() - 2 - static_cast<int>(mark.size())) +
                        mark);
        // The log keeps the record whole: the full path of every changed file.
        WriteLogLine("  " + ShownName(path) + mark);
        paths += path + u"\r\n";
    }
    if (!options_.ChangedListPath.empty())
        WriteChangedList(paths);
    ConsoleWriteLine("");
}

// Checked before reading, as a list's path is: a question about its folder
// comes now and never after a long run. A refusal does not end the run; the
// end of the report says that the file was not written, and why.
void TApplication::CheckChangedListPath() {
    if (options_.ChangedListPath.empty())
        return;
    bool offerAll = false;
    changedList_ = CheckOutputPath(options_.ChangedListPath, true, offerAll, false);
    // The refusal stands apart from the run that goes on below it.
    if (changedList_.Verdict != ovAllowed)
        ConsoleWriteLine("");
}

// Writes the /C: file, when its path passed the check: ANSI text, or UTF-8
// with a byte-order mark when a name would be lost in the ANSI code page.
void TApplication::WriteChangedList(const std::u16string& paths) {
    if (changedList_.Verdict != ovAllowed)
        return;
    const std::string text = FitsAnsiCodePage(paths)
                                 ? WideToAnsi(paths)
                                 : std::string(kUtf8ByteOrderMark) + WideToUtf8(paths);
    // Complete or not at all: an old file of that name stays until then.
    TReplacingFile file(options_.ChangedListPath);
    uint32_t error = file.Open();
    if (error == 0)
        error = file.Write(text);
    if (error == 0)
        error = file.Commit();
    if (error == 0)
        changedListWritten_ = true;
    else
        changedList_ = {ovFailed, error};
}

// Where the /C: file was written, or why it was not (bit 16). Without a
// changed file there is nothing to write and, unless its path was refused,
// nothing to say.
void TApplication::ReportChangedList() {
    const std::u16string& path = options_.ChangedListPath;
    if (path.empty())
        return;
    switch (changedList_.Verdict) {
    case ovAllowed:
        if (changedListWritten_ && !options_.Silent)
            ConsoleWriteLine(FormatText(msg::ChangedListWrittenFormat, ShownName(path)));
        return;
    case ovDeclined:
        ReportUnwritten(msg::ChangedListFolderNotCreated, path, 0);
        break;
    case ovFolder:
        ReportUnwritten(msg::ChangedListIsAFolder, path, 0);
        break;
    case ovFailed:
        ReportUnwritten(msg::CantWriteOutput, path, changedList_.ErrorCode);
        break;
    }
    exitCode_ |= ecCantWriteResult;
}
