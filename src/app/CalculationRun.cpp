// The calculation run: the list set-up, the start of the reading with its
// checks of the outputs' paths, and the writing and report of the lists.
#include "app/Application.h"

#include "app/ExitCodes.h"
#include "console/Console.h"
#include "console/Console_ENG.h"
#include "console/OutputCheck.h"
#include "console/Text.h"
#include "system/AnsiText.h"

void TApplication::StartCalculation() {
    if (!SetUpLists())
        return;
    // Existing lists are not hashed.
    calc_->ExcludeMasks().Add(WideToAnsi(saver_->Extension));
    calc_->Include(sourcePath_, options_.Recursive);
    calc_->Calculate();
}

// Checks the list paths of the placement; false when the run has ended.
bool TApplication::SetUpLists() {
    std::u16string& listPath = options_.ListPath;
    if (sourceIsFile_) {
        const TPathKind kind = GetPathKind(listPath);
        if (!listPath.empty() && (kind == pkFolder || kind == pkDrive || listPath == u"\\\\")) {
            ReportInvalidPath(listPath);
            return false;
        }
        if (NamesTheSourceFile(listPath)) {
            ReportUnwritten(msg::OutputIsAnInput, listPath, 0);
            return RefuseListPath();
        }
        return true;
    }
    switch (saver_->Placement) {
    case plNone:
        if (listPath.empty()) {
            options_.WriteToFile = false;
            return true;
        }
        if (const TPathKind kind = GetPathKind(listPath);
            kind == pkFolder || kind == pkDrive || !IsValidPathSyntax(listPath)) {
            ReportInvalidPath(listPath);
            return false;
        }
        break;
    case plEachFile:
    case plEachFolder:
        SetListExtension();
        return true;
    case plRoot:
        listPath = RootListPath(listPath);
        break;
    }
    calc_->SetOptions(calc_->Options().Without(soKeepMaskedFiles));
    // Asked before the question about overwriting: a file that is not a
    // list is never replaced.
    if (uint32_t error = 0; !saver_->MayReplace(listPath, error)) {
        ReportUnwritten(error != 0 ? msg::CantWriteOutput : msg::NotAListLeftAlone, listPath,
                        error);
        return RefuseListPath();
    }
    // An update never asks: it writes over a list only with the list's entries.
    if (!CheckOutputFileSimple(listPath, saver_->OverwriteAll || options_.Update)) {
        // A question that a cancel interrupted is no refusal: the loop ends the run.
        return cancelled_ ? false : RefuseListPath();
    }
    saver_->OverwriteAll = true;
    return true;
}

// Ends the run whose list cannot be written; false for SetUpLists.
bool TApplication::RefuseListPath() {
    ConsoleWriteLine(msg::SpecifyCorrectListPath);
    Terminate(ecCantWriteResult);
    return false;
}

// The list in the source folder itself: named after the folder, or the
// file name of a given File (its folder part is dropped).
std::u16string TApplication::RootListPath(const std::u16string& given) const {
    return IncludeTrailingBackslashW(sourcePath_) +
           (given.empty()
                ? ExtractFileNameW(ExcludeTrailingBackslashW(sourcePath_)) + saver_->Extension
                : ExtractFileNameW(given));
}

void TApplication::SetListExtension() {
    if (options_.ListPath.empty())
        return;
    const std::u16string name = ExtractFileNameW(options_.ListPath);
    const size_t dot = name.rfind(u'.');
    saver_->Extension = dot == std::u16string::npos ? u"." + name : name.substr(dot);
}

void TApplication::StartReading(bool& abort) {
    const bool updating = options_.Update && options_.RunMode == rmCalculate;
    if (options_.RunMode == rmCalculate)
        LeaveOutOwnOutputs();
    if (updating) {
        // Every list the run writes is an update: no question comes.
        saver_->OverwriteAll = true;
        if (!LoadListsToUpdate()) {
            abort = true;
            return;
        }
    }
    if (options_.Update && options_.RunMode == rmVerify && !newFilesRoot_.empty())
        AddNewFilesToRead();
    calc_->GetStatistics(totalSize_, fileCount_, folderCount_);
    // The files whose entries stay are not read: the progress leaves them out.
    const int64_t scanned = fileCount_;
    fileCount_ -= static_cast<int64_t>(saver_->KeptFiles);
    totalSize_ -= static_cast<int64_t>(saver_->KeptSize);
    if (scanned == 0) {
        if (options_.RunMode == rmCalculate) {
            ConsoleWriteLine(msg::NoFilesToCalculate, true);
            abort = true;
        } else {
            ConsoleWriteHighlighted(msg::NoFilesToVerify);
            ConsoleWriteLine(msg::CheckSettings);
        }
        Terminate(ecNothingToCalc);
        return;
    }
    const bool listsWritten = options_.WriteToFile && options_.RunMode == rmCalculate;
    const TPlacement placement = saver_->Placement;
    bool noQuestionLeft = saver_->OverwriteAll;
    if (listsWritten && !noQuestionLeft && (placement == plEachFile || placement == plEachFolder))
        noQuestionLeft = PreCheckOverwrites();
    if (options_.RunMode == rmVerify)
        CheckChangedListPath();
    // Cancelled during the question: nothing is read, the loop ends the run.
    if (cancelled_) {
        abort = true;
        return;
    }
    writeListsAtOnce_ = listsWritten && placement == plEachFile && noQuestionLeft;
    // Otherwise nothing is done per file, and nothing need be queued.
    calc_->QueueFileEvents = NamesFilesOnScreen() || writeListsAtOnce_;
    ConsoleWriteLine(msg::Calculating);
    if (options_.WriteToFile || options_.RunMode == rmVerify) {
        Console().HideCursor();
        ShowProgressScale();
    }
}

// Existing lists that the run would replace are masked files that match the
// list extension: with two or more, one question covers them all. True
// when no list will ask about overwriting.
bool TApplication::PreCheckOverwrites() {
    int64_t maskedSize = 0;
    int64_t masked = 0;
    calc_->GetMaskedStatistics(maskedSize, masked);
    if (masked == 0)
        return true;
    const std::string extension = WideToAnsi(saver_->Extension);
    int count = 0;
    for (TDirectory* dir = calc_->FirstDirectory(); dir != nullptr;
         dir = calc_->NextDirectory(dir)) {
        const TDirTree& tree = *dir->Tree;
        for (const TTreeNode* node = tree.GetNext(tree.GetRoot()); node != nullptr;
             node = tree.GetNext(node)) {
            const std::string name = WideToAnsi(tree.GetName(node));
            if (tree.GetData(node)->Masked == 0 || !MatchesMaskList(extension, name))
                continue;
            if (TCheckSumSaver::IsListOf(saver_->Placement, tree, node))
                ++count;
        }
    }
    if (count == 0)
        return true;
    // A single list is asked about when it is written.
    if (count == 1)
        return false;
    saver_->OverwriteAll =
        AskAnswer(FormatText(msg::OverwritePreCheckFormat, std::to_string(count)), ansYesNo) ==
        ansYes;
    return saver_->OverwriteAll;
}

// The run's own files: the log, and the /C: file and a single list with
// what a killed run left of them.
std::vector<std::u16string> TApplication::OwnOutputs() const {
    std::vector<std::u16string> outputs;
    auto add = [&](const std::u16string& path, bool writtenAsPartial) {
        if (path.empty())
            return;
        outputs.push_back(path);
        if (writtenAsPartial)
            outputs.push_back(path + std::u16string(kPartialSuffix));
    };
    add(options_.LogPath, false);
    add(options_.ChangedListPath, true);
    if (saver_->Placement == plNone || saver_->Placement == plRoot)
        add(options_.ListPath, true);
    return outputs;
}

// The run's own files are never hashed, nor what a killed run left of a
// list (named like any list of the extension, which is not hashed either).
// They are masked in the scanned trees before anything is read.
void TApplication::LeaveOutOwnOutputs() {
    const std::vector<std::u16string> outputs = OwnOutputs();
    std::vector<std::u16string> names;
    for (const std::u16string& output : outputs)
        names.push_back(ExtractFileNameW(output));
    const std::u16string partialList = saver_->Extension + std::u16string(kPartialSuffix);
    auto isOutput = [&](const TDirTree& tree, const TTreeNode* node) {
        const std::u16string name = tree.GetName(node);
        if (name.size() > partialList.size() &&
            SamePathText(name.substr(name.size() - partialList.size()), partialList))
            return true;
        for (size_t i = 0; i < outputs.size(); ++i)
            // The name first: a full path costs a walk up the tree.
            if (SamePathText(names[i], name) && SamePathText(tree.GetFullPath(node), outputs[i]))
                return true;
        return false;
    };
    for (TDirectory* dir = calc_->FirstDirectory(); dir != nullptr;
         dir = calc_->NextDirectory(dir)) {
        TDirTree& tree = *dir->Tree;
        for (TTreeNode* node = tree.GetNext(tree.GetRoot()); node != nullptr;
             node = tree.GetNext(node))
            if (!IsDirectory(tree.GetData(node)->Attributes) && isOutput(tree, node))
                dir->MaskFile(node);
    }
}

void TApplication::WriteResults() {
    ConsoleWriteLine("");
    switch (saver_->Placement) {
    case plEachFile:
        if (!writeListsAtOnce_) {
            saver_->Save(nullptr, options_.ListPath, false);
            break;
        }
        // The lists written during the run left out the files that could
        // not be read: each of those counts as a list not written.
        for (TTreeNode* failed : calc_->ReadErrors())
            saver_->Save(failed, {}, true);
        break;
    case plEachFolder:
        saver_->Save(nullptr, {}, false);
        break;
    default:
        saver_->Save(nullptr, options_.ListPath, false);
        break;
    }
    listsToWrite_ = static_cast<int32_t>(saver_->ListCount);
    listsFailed_ = static_cast<int32_t>(saver_->FailedLists);
}

// Every list that was not written is named with its cause; lists the user
// chose to keep need no cause, the general line stands for them.
void TApplication::ReportResults() {
    const bool singleList =
        sourceIsFile_ || saver_->Placement == plNone || saver_->Placement == plRoot;
    const bool silent = options_.Silent;
    const bool causesKnown = !unwrittenLists_.empty();
    if (options_.Update) {
        ReportUpdates();
        return;
    }
    if (listsFailed_ == 0) {
        if (!silent)
            Console().WriteRaw(
                (singleList ? FormatText(msg::ResultWrittenFormat, ShownName(options_.ListPath))
                            : std::string(msg::AllResultsWritten)) +
                "\r\n");
    } else if (singleList) {
        exitCode_ |= ecCantWriteResult;
        if (!silent && !causesKnown)
            Console().WriteRaw(std::string(msg::CantWriteOutput) + "\r\n");
    } else if (listsToWrite_ - listsFailed_ > 0) {
        exitCode_ |= ecCantWriteSomeResults;
        ConsoleWriteLine(FormatText(
            msg::ResultsPartlyWrittenFormat,
            {std::to_string(listsToWrite_ - listsFailed_), std::to_string(listsToWrite_)}));
    } else {
        exitCode_ |= ecCantWriteResult;
        if (!causesKnown)
            ConsoleWriteLine(msg::CantWriteOutput);
    }
    ReportUnwrittenLists();
}

void TApplication::ReportUnwrittenLists() {
    for (const TUnwrittenList& list : unwrittenLists_)
        if (list.Fault == lfNotLoaded)
            ReportNotUpdated(list);
        else
            ReportUnwritten(list.Fault == lfNotAList      ? msg::NotAListLeftAlone
                            : list.Fault == lfNothingRead ? msg::NothingReadForList
                                                          : msg::CantWriteOutput,
                            list.Path, list.ErrorCode);
}
