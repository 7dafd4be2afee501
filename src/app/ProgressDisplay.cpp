// What the run shows while it works and when it ends: the scan lines, the
// progress scale, each file's name and digest, and the summary.
#include "app/Application.h"

#include "app/ExitCodes.h"
#include "app/Progress.h"
#include "console/Console.h"
#include "console/Console_ENG.h"
#include "console/Text.h"
#include "system/AnsiText.h"

#include <algorithm>

namespace {

// "0%[", 50 dots and "]100%".
constexpr int kScaleColumns = 58;

} // namespace

void TApplication::BeforeScan() {
    if (sourceIsFile_)
        return;
    if (options_.RunMode == rmCalculate) {
        ConsoleWriteLine(
            FormatText(msg::CalculatingSizeFormat, ShownPath(sourcePath_, Console().Width() - 24)));
    } else {
        ConsoleWriteLine(msg::CalculatingFilesSize);
        listedCount_ = calc_->CountFiles();
    }
}

void TApplication::ScanError(const std::u16string& path, int32_t errorCode) {
    exitCode_ |= ecScanError;
    if (options_.RunMode != rmCalculate)
        return;
    if (!options_.Silent) {
        if (scanErrorCount_ == 0)
            ConsoleWriteLine(msg::ScanningErrorDetected, false, true);
        WriteSystemError(static_cast<uint32_t>(errorCode), 2);
        ConsoleWriteLine(ShownPath(path, Console().Width() - 2), false, false, 2);
    }
    ++scanErrorCount_;
}

void TApplication::ShowProgressScale() {
    if (!options_.Silent)
        Console().WriteRaw(std::string("0%[") + std::string(50, '.') + "]100%\r\n");
    progressShown_ = true;
}

void TApplication::UpdateProgress(bool final) {
    if (options_.Silent)
        return;
    // Before reading, a verification looks the listed files up.
    if (!progressShown_) {
        if (options_.RunMode == rmVerify && listedCount_ > 0)
            Console().ShowStatus(
                FormatText(msg::EntriesLookedUpFormat,
                           {std::to_string(calc_->LookedUp.load()), std::to_string(listedCount_)}));
        return;
    }
    const int64_t ticks =
        ProgressTickCount(calc_->ReadBytes.load(), totalSize_, calc_->FailedBytes.load());
    // A console narrower than the scale wraps the marks: they are added as
    // they come, as on a file.
    if (Console().IsScreen() && Console().Width() > kScaleColumns) {
        ShowProgressLine(ticks, final);
        return;
    }
    const std::string marks = ProgressMarks(progressTicks_, ticks);
    if (marks.empty())
        return;
    Console().WriteRaw(marks);
    progressTicks_ = static_cast<int32_t>(ticks);
}

// A console's marks line is written whole each time, from its start, with
// the files done and the time left where the full scale ends, while they
// fit the width. The last call leaves the marks alone on their line.
void TApplication::ShowProgressLine(int64_t ticks, bool final) {
    constexpr size_t kStatusColumn = 3 + 50 + 2;
    // More bytes than were counted (files that grew) earn more marks than
    // the line holds: the line stays full.
    ticks = std::min<int64_t>(ticks, Console().Width() - 4);
    std::string line = "   " + std::string(static_cast<size_t>(ticks), '*');
    if (!final) {
        const uint64_t failedBytes = calc_->FailedBytes.load();
        const std::string status =
            ProgressStatus(calc_->ReadFiles.load() + calc_->FailedFiles.load(), fileCount_,
                           calc_->ReadBytes.load(), totalSize_ - static_cast<int64_t>(failedBytes),
                           calc_->GetElapsedTime());
        std::string withStatus = line;
        withStatus.resize(std::max(withStatus.size() + 2, kStatusColumn), ' ');
        withStatus += status;
        if (static_cast<int>(withStatus.size()) < Console().Width())
            line = std::move(withStatus);
    }
    if (line == progressLine_)
        return;
    // Blanks cover what a longer line before left on the screen.
    std::string shown = "\r" + line;
    if (progressLine_.size() > line.size())
        shown.append(progressLine_.size() - line.size(), ' ');
    Console().WriteRaw(shown);
    progressLine_ = std::move(line);
    progressTicks_ = static_cast<int32_t>(ticks);
}

void TApplication::ShowFileName(TTreeNode* node, TDirTree* tree) {
    // A file that failed after it was opened left its name without a digest.
    if (outputColumn_ != 0)
        Console().WriteRaw("\r\n");
    const std::u16string name = RelativeToFolder(sourcePath_, tree->GetFullPath(node));
    const std::string shown = ShownPath(name, Console().Width() - 33);
    Console().WriteRaw(shown + " ");
    outputColumn_ = TextColumns(shown) + 1;
}

void TApplication::WriteHashColumn(const std::string& text) {
    // A console line filled to its edge has moved to the next line by
    // itself; a file or a pipe has no edge.
    const bool fillsLine =
        Console().IsScreen() && outputColumn_ + TextColumns(text) == Console().Width();
    Console().WriteRaw(fillsLine ? text : text + "\r\n");
}

void TApplication::PrintErrorGroups(const std::vector<TErrorGroup>& groups) {
    for (const TErrorGroup& group : groups) {
        WriteSystemError(static_cast<uint32_t>(group.Code), 0);
        // The log has no width: it keeps each path whole.
        for (const TTreeNode* failed : group.Nodes) {
            const std::u16string path = calc_->GetItemPath(failed);
            Console().WriteLineLoggedAs("  " + ShownPath(path, Console().Width() - 4),
                                        "  " + ShownName(path));
        }
    }
}

void TApplication::ShowSummary() {
    UpdateProgress(true);
    Console().ShowCursor();
    ConsoleWriteLine("\r\n", false, true, 0, false);
    if (calc_->HasScanErrors()) {
        ConsoleWriteLine(msg::ScanningErrors, false, true);
        PrintErrorGroups(calc_->GetScanErrorsByCode());
        ConsoleWriteLine("");
    }
    if (calc_->FailedFiles > 0) {
        exitCode_ |= ecReadError;
        ConsoleWriteLine(msg::FileAccessErrors, false, true);
        PrintErrorGroups(calc_->GetReadErrorsByCode());
        ConsoleWriteLine("");
    }
    const bool verifying = options_.RunMode == rmVerify;
    const bool listsWritten = !verifying && options_.WriteToFile;
    if (verifying && !calc_->Changed.empty()) {
        exitCode_ |= ecChangedFiles;
        if (calc_->DamagedCount > 0)
            exitCode_ |= ecDamagedFiles;
        WriteChangedFiles();
    }
    // An update found them before reading, to read them with the others.
    if (verifying && !newFilesRoot_.empty() && !cancelled_ && !options_.Update) {
        Console().ShowStatus(msg::LookingForNewFiles);
        newFiles_ = FindNewFiles();
    }
    if (!newFiles_.empty())
        WritePathBlock(msg::NewFiles, newFiles_);
    if (!missingListed_.empty()) {
        exitCode_ |= ecScanError;
        WritePathBlock(msg::MissingFromLists, missingListed_);
    }
    if (listsWritten)
        WriteResults();
    if (verifying && options_.Update && !cancelled_)
        WriteVerifiedUpdates();
    // Cancelled while the outputs were written: those written are whole, and
    // no report follows.
    if (cancelled_) {
        Terminate(ecCancelled);
        return;
    }
    // An update may find every file as its list holds it, and read none.
    const bool nothingRead = calc_->ReadBytes == 0 && saver_->KeptFiles == 0;
    if (nothingRead)
        exitCode_ |= verifying ? ecNothingToVerify : ecFailure;
    // Empty files are hashed all the same: their verdict is told.
    if (!nothingRead || fileCount_ > static_cast<int64_t>(calc_->FailedFiles.load())) {
        PrintStatistics();
        if (verifying)
            ReportMissingFiles();
    }
    if (verifying)
        ReportChangedList();
    if (verifying && options_.Update)
        ReportUpdates();
    // Lists of empty files are lists all the same.
    if (listsWritten)
        ReportResults();
    Terminate(exitCode_);
}

void TApplication::PrintStatistics() {
    const uint64_t readBytes = calc_->ReadBytes;
    const int64_t speed = AverageSpeed(readBytes, calc_->GetElapsedTime());
    const int64_t failed = static_cast<int64_t>(calc_->FailedFiles.load());
    if (options_.RunMode == rmVerify) {
        ConsoleWriteLine(msg::VerificationSummary, false, true);
        if (!loadErrors_.empty())
            ConsoleWriteLine("  " + LoadErrorsLine());
        const auto changed = static_cast<int64_t>(calc_->Changed.size());
        // Of the listed files found: the new files an update reads are not listed.
        const int64_t found = fileCount_ - static_cast<int64_t>(newNodes_.size());
        ConsoleWriteLine(changed > 0 ? FormatText(msg::ChangedFilesFormat,
                                                  {std::to_string(changed),
                                                   std::to_string(Percent(changed, found))})
                                     : std::string(msg::FilesNotChanged));
        if (calc_->DamagedCount > 0)
            ConsoleWriteLine(
                FormatText(msg::DamagedFilesFormat, std::to_string(calc_->DamagedCount)));
    } else {
        ConsoleWriteLine(msg::CalculationSummary, false, true);
    }
    ConsoleWriteLine("  Processed " + std::to_string(fileCount_ - failed) + " files in " +
                     std::to_string(folderCount_) + " folders with total size " +
                     FormatFileSize(static_cast<int64_t>(readBytes)) + ".");
    // Empty files alone take no time worth a speed.
    if (readBytes > 0)
        ConsoleWriteLine("  Average speed " + FormatFileSize(speed) + "\\Sec.");
    if (saver_->KeptFiles > 0)
        ConsoleWriteLine(FormatText(msg::KeptFilesFormat, std::to_string(saver_->KeptFiles)));
    if (!missingListed_.empty())
        ConsoleWriteLine(
            FormatText(msg::MissingListedFormat, std::to_string(missingListed_.size())));
    if (scanErrorCount_ > 0)
        ConsoleWriteLine("  Scanning errors - " + std::to_string(scanErrorCount_));
    if (failed > 0)
        ConsoleWriteLine("  File access errors - " + std::to_string(failed) + " (" +
                         std::to_string(Percent(failed, fileCount_)) + "%)");
}

// A block of paths under its heading: on the screen below the base folder
// (or by their full paths outside it), and with their full paths in the log.
void TApplication::WritePathBlock(const char* heading, const std::vector<std::u16string>& paths) {
    ConsoleWriteHighlighted(heading, false, true);
    for (const std::u16string& path : paths) {
        const std::u16string below = RelativeToFolder(saver_->BaseFolder, path);
        Console().WriteLineLoggedAs(
            "  " + ShownPath(below.empty() ? path : below, Console().Width() - 4),
            "  " + ShownName(path));
    }
    ConsoleWriteLine("");
}

// Listed files that were not found on disk, and files that no list names;
// a large share of missing files is a warning that the list is out of date.
void TApplication::ReportMissingFiles() {
    // The new files an update reads are counted in neither.
    const int64_t listed = calc_->CountFiles() - static_cast<int64_t>(newNodes_.size());
    const int64_t missing = calc_->CountFiles() - fileCount_;
    const int64_t percent = Percent(missing, listed);
    if (missing > 0)
        ConsoleWriteLine(FormatText(msg::MissingFilesFormat,
                                    {std::to_string(missing), std::to_string(percent)}));
    if (!newFiles_.empty())
        ConsoleWriteLine(FormatText(msg::NewFilesFormat, std::to_string(newFiles_.size())));
    if (percent < 15)
        return;
    ConsoleWriteLine("");
    ConsoleWriteHighlighted(FormatText(msg::ManyFilesMissingFormat, std::to_string(percent)));
    ConsoleWriteLine(msg::RefreshListAdvice);
}
