#include "app/Application.h"

#include "Packages/Files/StrProc.h"
#include "app/CommandLine.h"
#include "app/ExitCodes.h"
#include "app/Product.h"
#include "app/Text.h"
#include "console/Console.h"
#include "console/Console_ENG.h"
#include "console/LogFile.h"
#include "system/AnsiText.h"
#include "system/LxSys.h"
#include "system/Process.h"

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
}

TApplication::~TApplication() {
    Console().ShowCursor();
}

void TApplication::Run() {
    SetUp();
    InstallConsoleControlHandler(
        [this](uint32_t ctrlType) { return ConsoleCtrlHandler(ctrlType); });
    // Worker threads report through this loop once the engine runs; until
    // then it only waits for the quit message.
    RunMessageLoop([](const TThreadMessage&) {});
    RemoveConsoleControlHandler();
}

void TApplication::Terminate(uint32_t code) {
    terminated_ = true;
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
    Console().WriteRaw(msg::CancelledByUser);
    PostThreadMessageTo(MainThreadId, {WM_QUIT_ID, 0, 0});
}

void TApplication::SetUp() {
    ScanErrorCount = 0;
    ListsFailed = 0;
    ListsToWrite = 0;
    ProgressTicks = 0;
    Placement = plNone;
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
        BaseFolder = SourcePath;
        ParseOptions(1);
        return;
    }
    SetUpSource(arg1);
}

void TApplication::SetUpSource(const std::u16string& arg1) {
    const std::u16string name = ExtractFileNameW(arg1);
    if (HasWildcards(name)) {
        SourcePath = ExcludeTrailingBackslashW(arg1.substr(0, arg1.size() - name.size()));
        IncludeMasks.push_back(name);
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
        BaseFolder = IncludeTrailingBackslashW(ExtractFileDirW(SourcePath));
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
        BaseFolder = SourcePath;
        if (singleArgument) {
            KeepMaskedFiles = false;
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
        OverwriteAll = true;
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
        OverwriteAll = true;
        return true;
    case u'T': {
        if (length != 4 || !hasColon)
            return false;
        WriteToFile = true;
        switch (UpperAscii(arg[3])) {
        case u'E':
            Placement = plEachFile;
            return true;
        case u'R':
            Placement = plRoot;
            return true;
        case u'F':
            Placement = plEachFolder;
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

// Where the calculation or the verification starts. Until the engine is
// built every command line that passes its checks ends here successfully.
void TApplication::StartWork() {
    Terminate(0);
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
