#include "app/Application.h"

#include "Packages/Files/StrProc.h"
#include "app/CommandLine.h"
#include "app/ExitCodes.h"
#include "app/Product.h"
#include "app/Progress.h"
#include "app/Text.h"
#include "console/Console.h"
#include "console/Console_ENG.h"
#include "console/LogFile.h"
#include "console/OutputCheck.h"
#include "system/AnsiText.h"
#include "system/LxSys.h"
#include "system/Process.h"
#include "system/Threads.h"

std::atomic<bool> Cancelled{false};

namespace {

constexpr uint32_t kCtrlC = 0;
constexpr uint32_t kCtrlBreak = 1;
constexpr uint32_t kCtrlClose = 2;

bool IsSilentSwitch(const std::u16string& arg) {
    return arg == u"/S" || arg == u"/s";
}

bool HasWildcards(const std::u16string& name) {
    return name.find_first_of(u"*?") != std::u16string::npos;
}

std::string Ansi(const std::u16string& text) {
    return WideToAnsi(text);
}

char16_t UpperAscii(char16_t c) {
    return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c;
}

} // namespace

TApplication::TApplication() {
    MainThreadId = CurrentThreadId();
    InitMainThreadSynchronization();
    Console().ResetPageCounter();
    args_ = SplitCommandLine(ProcessCommandLineW());
    bool silent = false;
    for (size_t i = 1; i < args_.size(); ++i)
        silent = silent || IsSilentSwitch(args_[i]);
    if (!silent)
        WritePaged(FormatText(FormatText(BannerFormat, ProgramVersionText()), ProductWebAddress),
                   msg::PressAnyKey);
    std::u16string name = args_.empty() ? u"" : ExtractFileNameW(args_[0]);
    const size_t dot = name.rfind(u'.');
    if (dot != std::u16string::npos)
        name.erase(dot);
    ProgramName = WideUpperCase(name);

    Calc = std::make_unique<TChksumCalc>(nullptr);
    Calc->SetPriority(tpTimeCritical);
    Calc->SetOptions(Calc->Options().Without(soAutoScan));
    Calc->OnBeforeScan = [this](TCustomDirScaner*) { BeforeScan(); };
    Calc->OnStartReading = [this](TCustomChksumCalc*, bool& abort) { StartReading(abort); };
    Calc->OnScanError = [this](TCustomDirScaner*, const std::u16string& path, int32_t code) {
        ScanError(path, code);
    };
    Calc->OnTimer = [this](TCustomDirScaner*) { UpdateProgress(); };
    // Files of this name are lists of another kind and never hashed.
    Calc->ExcludeMasks().Add("md?sum.lst");

    Saver = std::make_unique<TCheckSumSaver>(*Calc);
    Saver->OnGetHeader = [](TCheckSumSaver*, bool& write, std::string& header) {
        write = true;
        header = FormatText(FormatText(msg::ListHeaderFormat, ProductName), ProductWebAddress);
    };
}

TApplication::~TApplication() {
    Console().ShowCursor();
    // The engine stops its workers first; they may still report to this object.
    Saver.reset();
    Calc.reset();
}

void TApplication::Run() {
    SetUp();
    InstallConsoleControlHandler(
        [this](uint32_t ctrlType) { return ConsoleCtrlHandler(ctrlType); });
    RunMessageLoop([this](const TThreadMessage& message) { HandleMessage(message); });
    RemoveConsoleControlHandler();
}

void TApplication::Terminate(uint32_t code) {
    ExitCode = code;
    Console().ShowCursor();
    if (LogIsOpen()) {
        if (code == 0)
            WriteLogLine(msg::TerminatedWithoutErrors);
        else
            WriteLogLine("\r\n" +
                         FormatText(FormatText(msg::TerminatedWithCodeFormat, std::to_string(code)),
                                    ExitCodeText(code)));
    }
    PostThreadMessageTo(MainThreadId, {WM_QUIT_ID, 0, 0});
}

bool TApplication::ConsoleCtrlHandler(uint32_t ctrlType) {
    if (ctrlType == kCtrlC || ctrlType == kCtrlBreak || ctrlType == kCtrlClose)
        Cancel();
    return true;
}

void TApplication::Cancel() {
    Cancelled = true;
    Calc->Abort();
    Console().WriteRaw(msg::CancelledByUser);
    PostThreadMessageTo(MainThreadId, {WM_QUIT_ID, 0, 0});
}

void TApplication::SetUp() {
    ScanErrorCount = 0;
    ListsFailed = 0;
    ListsToWrite = 0;
    ProgressTicks = 0;
    Saver->Placement = plNone;
    RunMode = rmCalculate;
    Recursive = false;
    if (args_.size() < 2) {
        ShowUsage();
        return;
    }
    const std::u16string& arg1 = args_[1];
    if (!arg1.empty() && arg1[0] == u'/') {
        SourcePath = GetCurrentDirW();
        SourceKind = pkFolder;
        Saver->BaseFolder = SourcePath;
        ParseOptions(1);
        return;
    }
    SetUpSource(arg1);
}

void TApplication::SetUpSource(const std::u16string& arg1) {
    const std::u16string name = ExtractFileNameW(arg1);
    if (HasWildcards(name)) {
        SourcePath = ExcludeTrailingBackslashW(arg1.substr(0, arg1.size() - name.size()));
        Calc->IncludeMasks().Add(Ansi(name));
    } else {
        SourcePath = arg1;
    }
    ExpandPathW(SourcePath);
    SourceKind = GetPathKind(SourcePath);
    const bool singleArgument = args_.size() == 2;
    switch (SourceKind) {
    case pkNone:
        ReportFileAccessError(SourcePath);
        ConsoleWriteLine(std::string("\r\n") + msg::DefineRightPath, true);
        Terminate(ecWrongParams);
        return;
    case pkFile:
        SourceIsFile = true;
        Saver->BaseFolder = IncludeTrailingBackslashW(ExtractFileDirW(SourcePath));
        if (singleArgument) {
            WriteToFile = false;
            StartWork();
        } else if (args_[2].size() >= 2) {
            ParseOptions(2);
        } else {
            RecordInvalidOption(args_[2]);
            ReportInvalidOption();
        }
        return;
    case pkFolder:
    case pkDrive:
        Saver->BaseFolder = SourcePath;
        if (singleArgument) {
            Calc->SetOptions(Calc->Options().Without(soKeepMaskedFiles));
            StartWork();
        } else if (!args_[2].empty()) {
            ParseOptions(2);
        } else {
            RecordInvalidOption(args_[2]);
            ReportInvalidOption();
        }
        return;
    }
}

void TApplication::ParseOptions(size_t first) {
    RunMode = rmNone;
    for (size_t i = first; i < args_.size(); ++i) {
        const std::u16string& arg = args_[i];
        const bool isSwitch = !arg.empty() && arg[0] == u'/';
        if (i == 2 && !isSwitch) {
            ListPath = arg;
            ExpandPathW(ListPath);
            WriteToFile = true;
        } else if (arg.size() < 2 || !isSwitch) {
            RecordInvalidOption(arg);
        } else if (UpperAscii(arg[1]) == u'T' && SourceIsFile) {
            ReportOptionsViolation(msg::TypeNeedsFolder);
            return;
        } else if (!ParseSwitch(arg)) {
            RecordInvalidOption(arg);
        }
    }
    if (HelpRequested) {
        ShowUsage();
        return;
    }
    if (RunMode == rmNone)
        RunMode = rmCalculate;
    if (!logPath_.empty() && !OpenLogFile(logPath_, ProductName, ProductWebAddress)) {
        Terminate(ecCantCreateLog);
        return;
    }
    if (InvalidOption) {
        ReportInvalidOption();
        return;
    }
    StartWork();
}

// Applies one switch of at least two characters; false when its form is not accepted.
bool TApplication::ParseSwitch(const std::u16string& arg) {
    const size_t length = arg.size();
    const bool hasColon = length >= 3 && arg[2] == u':';
    switch (UpperAscii(arg[1])) {
    case u'?':
    case u'H':
        if (length != 2)
            return false;
        HelpRequested = true;
        return true;
    case u'C':
        if (length < 4 || !hasColon)
            return false;
        ChangedListPath = arg.substr(3);
        return true;
    case u'L':
        if (length < 4 || !hasColon)
            return false;
        logPath_ = arg.substr(3);
        return true;
    case u'O':
        if (length != 2)
            return false;
        Saver->OverwriteAll = true;
        return true;
    case u'R':
        if (length != 2)
            return false;
        Recursive = true;
        return true;
    case u'S':
        if (length != 2)
            return false;
        SilentMode = true;
        Saver->OverwriteAll = true;
        return true;
    case u'T': {
        if (length != 4 || !hasColon)
            return false;
        WriteToFile = true;
        switch (UpperAscii(arg[3])) {
        case u'E':
            Saver->Placement = plEachFile;
            return true;
        case u'R':
            Saver->Placement = plRoot;
            return true;
        case u'F':
            Saver->Placement = plEachFolder;
            return true;
        default:
            return false;
        }
    }
    case u'V':
        RunMode = rmVerify;
        return true;
    default:
        return false;
    }
}

// Where the calculation or the verification starts. Verification is not
// built yet: such command lines end here.
void TApplication::StartWork() {
    if (RunMode == rmCalculate)
        StartCalculation();
    else
        Terminate(0);
}

void TApplication::StartCalculation() {
    if (!SetUpLists())
        return;
    // Existing lists are not hashed.
    Calc->ExcludeMasks().Add(Ansi(Saver->Extension));
    Calc->Include(SourcePath, Recursive);
    Calc->Calculate();
}

// Checks the list paths of the placement; false when the run has ended.
bool TApplication::SetUpLists() {
    if (SourceIsFile) {
        const TPathKind kind = GetPathKind(ListPath);
        if (!ListPath.empty() && (kind == pkFolder || kind == pkDrive || ListPath == u"\\\\")) {
            ReportInvalidPath(ListPath);
            return false;
        }
        return true;
    }
    switch (Saver->Placement) {
    case plNone:
        if (ListPath.empty()) {
            WriteToFile = false;
            return true;
        }
        if (const TPathKind kind = GetPathKind(ListPath);
            kind == pkFolder || kind == pkDrive || !IsValidPathSyntax(ListPath)) {
            ReportInvalidPath(ListPath);
            return false;
        }
        break;
    case plEachFile:
    case plEachFolder:
        SetListExtension();
        return true;
    case plRoot:
        ListPath =
            IncludeTrailingBackslashW(SourcePath) +
            (ListPath.empty() ? ExtractFileNameW(ExcludeTrailingBackslashW(SourcePath)) + u".md5"
                              : ExtractFileNameW(ListPath));
        break;
    }
    Calc->SetOptions(Calc->Options().Without(soKeepMaskedFiles));
    if (!CheckOutputFileSimple(ListPath, Saver->OverwriteAll)) {
        ConsoleWriteLine(msg::SpecifyCorrectListPath);
        Terminate(ecCantWriteResult);
        return false;
    }
    Saver->OverwriteAll = true;
    return true;
}

void TApplication::SetListExtension() {
    if (ListPath.empty())
        return;
    const std::u16string name = ExtractFileNameW(ListPath);
    const size_t dot = name.rfind(u'.');
    Saver->Extension = dot == std::u16string::npos ? u"." + name : name.substr(dot);
}

void TApplication::RecordInvalidOption(const std::u16string& arg) {
    if (!InvalidOption)
        InvalidOption = arg;
}

void TApplication::ReportInvalidOption() {
    ConsoleWriteLine(FormatText(msg::InvalidOptionFormat, Ansi(InvalidOption.value_or(u""))) +
                     "\r\n" + FormatText(msg::RunHelpFormat, Ansi(ProgramName)));
    Terminate(ecWrongParams);
}

void TApplication::ReportInvalidPath(const std::u16string& path) {
    ConsoleWriteLine(FormatText(msg::InvalidPathFormat, Ansi(path)));
    ConsoleWriteLine(msg::DefineRightPath, true);
    Terminate(ecWrongParams);
}

void TApplication::ReportOptionsViolation(const char* text) {
    ConsoleWriteLine(msg::OptionsViolation);
    ConsoleWriteLine(text, true);
    ConsoleWriteLine("\r\n" + FormatText(msg::RunHelpFormat, Ansi(ProgramName)));
    Terminate(ecParamsViolation);
}

void TApplication::ReportFileAccessError(const std::u16string& path) {
    const uint32_t error = FileLastError;
    ConsoleWriteLine(msg::CannotAccessFile);
    ConsoleWriteLine(ShortenPath(Ansi(path), Console().Width()));
    ConsoleWriteLine(msg::SystemReturnedError);
    WriteSystemError(error, 0);
}

void TApplication::ShowUsage() {
    const std::string name = Ansi(ProgramName);
    WritePaged(FormatText(msg::UsageFormat, name), msg::PressAnyKey);
    WritePaged(ReplaceAll(msg::HelpText, "%0:s", name), msg::PressAnyKey);
    Terminate(0);
}

// ------------------------------------------------------------------ the run

void TApplication::HandleMessage(const TThreadMessage& message) {
    if (Cancelled)
        return;
    auto* node = reinterpret_cast<TTreeNode*>(message.WParam);
    auto* tree = reinterpret_cast<TDirTree*>(message.LParam);
    switch (message.Id) {
    case CM_FILE_BEGIN:
        if (!WriteToFile && RunMode == rmCalculate)
            ShowFileName(node, tree);
        break;
    case CM_FILE_DONE:
        if (!WriteToFile && RunMode == rmCalculate) {
            WriteHashColumn(Calc->GetHashText(node));
            OutputColumn = 0;
        } else if (WriteToFile && OverwriteAll && RunMode == rmCalculate &&
                   Saver->Placement == plEachFile) {
            // Each file's own list is written as soon as its digest is known.
            Saver->Save(node, {}, true);
        }
        break;
    case CM_READ_DONE:
        ShowSummary();
        break;
    default:
        break;
    }
}

void TApplication::StartReading(bool& abort) {
    Calc->GetStatistics(TotalSize, FileCount, FolderCount);
    if (FileCount == 0) {
        if (RunMode == rmCalculate) {
            ConsoleWriteLine(msg::NoFilesToCalculate, true);
            abort = true;
            ExitCode |= ecNothingToCalc;
        } else {
            HighlightOn();
            ConsoleWriteLine(msg::NoFilesToVerify);
            HighlightOff();
            ConsoleWriteLine(msg::CheckSettings);
        }
        Terminate(ecNothingToCalc);
        return;
    }
    OverwriteAll = Saver->OverwriteAll;
    if (WriteToFile && RunMode == rmCalculate && !Saver->OverwriteAll &&
        (Saver->Placement == plEachFile || Saver->Placement == plEachFolder))
        PreCheckOverwrites();
    ConsoleWriteLine(msg::Calculating);
    if (WriteToFile || RunMode == rmVerify) {
        Console().HideCursor();
        ShowProgressScale();
    }
}

void TApplication::BeforeScan() {
    if (SourceIsFile)
        return;
    if (RunMode == rmCalculate)
        ConsoleWriteLine(FormatText(msg::CalculatingSizeFormat,
                                    ShortenPath(Ansi(SourcePath), Console().Width() - 24)));
    else
        ConsoleWriteLine(msg::CalculatingFilesSize);
}

void TApplication::ScanError(const std::u16string& path, int32_t errorCode) {
    ExitCode |= ecScanError;
    if (RunMode != rmCalculate)
        return;
    if (!SilentMode) {
        if (ScanErrorCount == 0)
            ConsoleWriteLine(msg::ScanningErrorDetected, false, true);
        WriteSystemError(static_cast<uint32_t>(errorCode), 2);
        ConsoleWriteLine(ShortenPath(Ansi(path), Console().Width() - 2), false, false, 2);
    }
    ++ScanErrorCount;
}

void TApplication::ShowProgressScale() {
    if (!SilentMode)
        Console().WriteRaw(std::string("0%[") + std::string(50, '.') + "]100%\r\n");
    ProgressShown = true;
}

void TApplication::UpdateProgress() {
    if (!ProgressShown || SilentMode)
        return;
    const int64_t ticks =
        ProgressTickCount(Calc->ReadBytes.load(), TotalSize, Calc->FailedBytes.load());
    const std::string marks = ProgressMarks(ProgressTicks, ticks);
    if (marks.empty())
        return;
    Console().WriteRaw(marks);
    ProgressTicks = static_cast<int32_t>(ticks);
}

void TApplication::ShowFileName(TTreeNode* node, TDirTree* tree) {
    // A file that failed after it was opened left its name without a digest.
    if (OutputColumn != 0)
        Console().WriteRaw("\r\n");
    std::u16string name = RelativeToFolder(SourcePath, tree->GetFullPath(node));
    const std::string shown = ShortenPath(Ansi(name), Console().Width() - 33);
    Console().WriteRaw(shown + " ");
    OutputColumn = static_cast<int32_t>(shown.size()) + 1;
}

void TApplication::WriteHashColumn(const std::string& text) {
    // A console line filled to its edge has moved to the next line by
    // itself; a file or a pipe has no edge.
    const bool fillsLine = Console().IsScreen() &&
                           OutputColumn + static_cast<int32_t>(text.size()) == Console().Width();
    Console().WriteRaw(fillsLine ? text : text + "\r\n");
}

void TApplication::PrintErrorGroups(const TErrorTree& tree) {
    for (TTreeNode* group = tree.GetRoot()->FirstChild; group != nullptr;
         group = group->NextSibling) {
        WriteSystemError(static_cast<uint32_t>(tree.GetValue(group)), 0);
        for (TTreeNode* item = group->FirstChild; item != nullptr; item = item->NextSibling) {
            const auto* failed = reinterpret_cast<const TTreeNode*>(tree.GetValue(item));
            ConsoleWriteLine(
                ShortenPath("  " + Ansi(Calc->GetItemPath(failed)), Console().Width() - 2));
        }
    }
}

void TApplication::ShowSummary() {
    UpdateProgress();
    Console().ShowCursor();
    ConsoleWriteLine("\r\n", false, true, 0, false);
    if (Calc->HasScanErrors()) {
        ConsoleWriteLine(msg::ScanningErrors, false, true);
        PrintErrorGroups(*Calc->GetScanErrorsByCode());
        ConsoleWriteLine("");
    }
    if (Calc->FailedFiles > 0) {
        ExitCode |= ecReadError;
        ConsoleWriteLine(msg::FileAccessErrors, false, true);
        PrintErrorGroups(*Calc->GetReadErrorsByCode());
        ConsoleWriteLine("");
    }
    if (RunMode == rmCalculate && WriteToFile)
        WriteResults();
    if (Calc->ReadBytes == 0) {
        ExitCode |= RunMode == rmCalculate ? ecFailure : ecNothingToVerify;
    } else {
        PrintStatistics();
        if (RunMode == rmCalculate && WriteToFile)
            ReportResults();
    }
    Terminate(ExitCode);
}

void TApplication::PrintStatistics() {
    const uint64_t readBytes = Calc->ReadBytes;
    const int64_t speed = AverageSpeed(readBytes, Calc->GetElapsedTime());
    const int64_t failed = static_cast<int64_t>(Calc->FailedFiles.load());
    ConsoleWriteLine(msg::CalculationSummary, false, true);
    ConsoleWriteLine("  Processed " + std::to_string(FileCount - failed) + " files in " +
                     std::to_string(FolderCount) + " folders with total size " +
                     FormatFileSize(static_cast<int64_t>(readBytes)) + ".");
    ConsoleWriteLine("  Average speed " + FormatFileSize(speed) + "\\Sec.");
    if (ScanErrorCount > 0)
        ConsoleWriteLine("  Scanning errors - " + std::to_string(ScanErrorCount));
    if (failed > 0)
        ConsoleWriteLine("  File access errors - " + std::to_string(failed) + " (" +
                         std::to_string(Percent(failed, FileCount)) + "%)");
}

// ------------------------------------------------------------------- lists

// Existing lists that the run would replace are masked files that match the
// list extension: with two or more, one question covers them all.
void TApplication::PreCheckOverwrites() {
    int64_t maskedSize = 0;
    int64_t masked = 0;
    Calc->GetMaskedStatistics(maskedSize, masked);
    if (masked == 0) {
        OverwriteAll = true;
        return;
    }
    const std::string extension = Ansi(Saver->Extension);
    int count = 0;
    for (TDirectory* dir = Calc->FirstDirectory(); dir != nullptr; dir = Calc->NextDirectory(dir)) {
        const TDirTree& tree = *dir->Tree;
        for (const TTreeNode* node = tree.GetNext(tree.GetRoot()); node != nullptr;
             node = tree.GetNext(node)) {
            const std::string name = Ansi(tree.GetName(node));
            if (tree.GetData(node)->Masked == 0 || !MatchesMaskList(extension, name))
                continue;
            std::u16string stem = tree.GetName(node);
            RemoveFileExtW(stem);
            const bool sameAsFolder = SamePathText(stem, tree.GetName(node->Parent));
            if ((Saver->Placement == plEachFile) != sameAsFolder)
                ++count;
        }
    }
    if (count == 0) {
        OverwriteAll = true;
    } else if (count >= 2) {
        OverwriteAll = AskAnswer(FormatText(msg::OverwritePreCheckFormat, std::to_string(count)),
                                 ansYesNo) == ansYes;
        Saver->OverwriteAll = OverwriteAll;
    }
}

void TApplication::WriteResults() {
    ConsoleWriteLine("");
    switch (Saver->Placement) {
    case plEachFile:
        if (!OverwriteAll)
            Saver->Save(nullptr, ListPath, false);
        break;
    case plEachFolder:
        Saver->Save(nullptr, {}, false);
        break;
    default:
        Saver->Save(nullptr, ListPath, false);
        break;
    }
    ListsToWrite = static_cast<int32_t>(Saver->ListCount);
    ListsFailed = static_cast<int32_t>(Saver->FailedLists);
}

void TApplication::ReportResults() {
    const bool singleList =
        SourceIsFile || Saver->Placement == plNone || Saver->Placement == plRoot;
    if (ListsFailed == 0) {
        if (!SilentMode)
            Console().WriteRaw((singleList ? FormatText(msg::ResultWrittenFormat, Ansi(ListPath))
                                           : std::string(msg::AllResultsWritten)) +
                               "\r\n");
    } else if (singleList) {
        ExitCode |= ecCantWriteResult;
        if (!SilentMode)
            Console().WriteRaw(std::string(msg::CantWriteOutput) + "\r\n");
    } else if (ListsToWrite - ListsFailed > 0) {
        ExitCode |= ecCantWriteSomeResults;
        ConsoleWriteLine(FormatText(
            FormatText(msg::ResultsPartlyWrittenFormat, std::to_string(ListsToWrite - ListsFailed)),
            std::to_string(ListsToWrite)));
    } else {
        ExitCode |= ecCantWriteResult;
        ConsoleWriteLine(msg::CantWriteOutput);
    }
}
