// What the run shows while it works and when it ends: the scan lines, the
// progress scale, each file's name and digest, and the summary.
#include "app/Application.h"

#include "app/ExitCodes.h"
#include "app/Progress.h"
#include "console/Console.h"
#include "console/Console_ENG.h"
#include "console/Text.h"
#include "system/AnsiText.h"

void TApplication::BeforeScan() {
    if (sourceIsFile_)
        return;
    if (options_.RunMode == rmCalculate)
        ConsoleWriteLine(FormatText(msg::CalculatingSizeFormat,
                                    ShortenPath(WideToAnsi(sourcePath_), Console().Width() - 24)));
    else
        ConsoleWriteLine(msg::CalculatingFilesSize);
}

void TApplication::ScanError(const std::u16string& path, int32_t errorCode) {
    exitCode_ |= ecScanError;
    if (options_.RunMode != rmCalculate)
        return;
    if (!options_.Silent) {
        if (scanErrorCount_ == 0)
            ConsoleWriteLine(msg::ScanningErrorDetected, false, true);
        WriteSystemError(static_cast<uint32_t>(errorCode), 2);
        ConsoleWriteLine(ShortenPath(WideToAnsi(path), Console().Width() - 2), false, false, 2);
    }
    ++scanErrorCount_;
}

void TApplication::ShowProgressScale() {
    if (!options_.Silent)
        Console().WriteRaw(std::string("0%[") + std::string(50, '.') + "]100%\r\n");
    progressShown_ = true;
}

void TApplication::UpdateProgress() {
    if (!progressShown_ || options_.Silent)
        return;
    const int64_t ticks =
        ProgressTickCount(calc_->ReadBytes.load(), totalSize_, calc_->FailedBytes.load());
    const std::string marks = ProgressMarks(progressTicks_, ticks);
    if (marks.empty())
        return;
    Console().WriteRaw(marks);
    progressTicks_ = static_cast<int32_t>(ticks);
}

void TApplication::ShowFileName(TTreeNode* node, TDirTree* tree) {
    // A file that failed after it was opened left its name without a digest.
    if (outputColumn_ != 0)
        Console().WriteRaw("\r\n");
    const std::u16string name = RelativeToFolder(sourcePath_, tree->GetFullPath(node));
    const std::string shown = ShortenPath(WideToAnsi(name), Console().Width() - 33);
    Console().WriteRaw(shown + " ");
    outputColumn_ = static_cast<int32_t>(shown.size()) + 1;
}

void TApplication::WriteHashColumn(const std::string& text) {
    // A console line filled to its edge has moved to the next line by
    // itself; a file or a pipe has no edge.
    const bool fillsLine = Console().IsScreen() &&
                           outputColumn_ + static_cast<int32_t>(text.size()) == Console().Width();
    Console().WriteRaw(fillsLine ? text : text + "\r\n");
}

void TApplication::PrintErrorGroups(const TErrorTree& tree) {
    for (TTreeNode* group = tree.GetRoot()->FirstChild; group != nullptr;
         group = group->NextSibling) {
        WriteSystemError(static_cast<uint32_t>(tree.GetValue(group)), 0);
        for (TTreeNode* item = group->FirstChild; item != nullptr; item = item->NextSibling) {
            const auto* failed = reinterpret_cast<const TTreeNode*>(tree.GetValue(item));
            ConsoleWriteLine(
                ShortenPath("  " + WideToAnsi(calc_->GetItemPath(failed)), Console().Width() - 2));
        }
    }
}

void TApplication::ShowSummary() {
    UpdateProgress();
    Console().ShowCursor();
    ConsoleWriteLine("\r\n", false, true, 0, false);
    if (calc_->HasScanErrors()) {
        ConsoleWriteLine(msg::ScanningErrors, false, true);
        PrintErrorGroups(*calc_->GetScanErrorsByCode());
        ConsoleWriteLine("");
    }
    if (calc_->FailedFiles > 0) {
        exitCode_ |= ecReadError;
        ConsoleWriteLine(msg::FileAccessErrors, false, true);
        PrintErrorGroups(*calc_->GetReadErrorsByCode());
        ConsoleWriteLine("");
    }
    const bool listsWritten = options_.RunMode == rmCalculate && options_.WriteToFile;
    if (listsWritten)
        WriteResults();
    if (calc_->ReadBytes == 0) {
        exitCode_ |= options_.RunMode == rmCalculate ? ecFailure : ecNothingToVerify;
    } else {
        PrintStatistics();
        if (listsWritten)
            ReportResults();
    }
    Terminate(exitCode_);
}

void TApplication::PrintStatistics() {
    const uint64_t readBytes = calc_->ReadBytes;
    const int64_t speed = AverageSpeed(readBytes, calc_->GetElapsedTime());
    const int64_t failed = static_cast<int64_t>(calc_->FailedFiles.load());
    ConsoleWriteLine(msg::CalculationSummary, false, true);
    ConsoleWriteLine("  Processed " + std::to_string(fileCount_ - failed) + " files in " +
                     std::to_string(folderCount_) + " folders with total size " +
                     FormatFileSize(static_cast<int64_t>(readBytes)) + ".");
    ConsoleWriteLine("  Average speed " + FormatFileSize(speed) + "\\Sec.");
    if (scanErrorCount_ > 0)
        ConsoleWriteLine("  Scanning errors - " + std::to_string(scanErrorCount_));
    if (failed > 0)
        ConsoleWriteLine("  File access errors - " + std::to_string(failed) + " (" +
                         std::to_string(Percent(failed, fileCount_)) + "%)");
}
