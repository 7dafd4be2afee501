#include "app/Application.h"

#include "app/ExitCodes.h"
#include "app/Product.h"
#include "console/Console.h"
#include "console/Console_ENG.h"
#include "console/LogFile.h"
#include "console/OutputCheck.h"
#include "console/Text.h"
#include "system/AnsiText.h"
#include "system/LxSys.h"
#include "system/Process.h"
#include "system/ScopeExit.h"
#include "system/Threads.h"

namespace {

constexpr uint32_t kCtrlC = 0;
constexpr uint32_t kCtrlBreak = 1;
constexpr uint32_t kCtrlClose = 2;

std::u16string ProgramNameOf(const std::u16string& programPath) {
    std::u16string name = ExtractFileNameW(programPath);
    const size_t dot = name.rfind(u'.');
    if (dot != std::u16string::npos)
        name.erase(dot);
    return WideUpperCase(name);
}

} // namespace

TApplication::TApplication() {
    mainThreadId_ = CurrentThreadId();
    InitMainThreadSynchronization();
    Console().ResetPageCounter();
    args_ = SplitCommandLine(ProcessCommandLineW());
    bool silent = false;
    for (size_t i = 1; i < args_.size(); ++i)
        silent = silent || IsSilentSwitch(args_[i]);
    if (!silent)
        WritePaged(FormatText(BannerFormat, {ProgramVersionText(), ProductWebAddress}),
                   msg::PressAnyKey);
    programName_ = ProgramNameOf(args_.empty() ? u"" : args_[0]);

    calc_ = std::make_unique<TChksumCalc>(nullptr);
    calc_->SetPriority(tpTimeCritical);
    calc_->SetOptions(calc_->Options().Without(soAutoScan));
    calc_->OnBeforeScan = [this](TCustomDirScaner*) { Guard([this] { BeforeScan(); }); };
    calc_->OnStartReading = [this](TCustomChksumCalc*, bool& abort) {
        abort = !Guard([&] { StartReading(abort); }) || abort;
    };
    calc_->OnScanError = [this](TCustomDirScaner*, const std::u16string& path, int32_t code) {
        Guard([&] { ScanError(path, code); });
    };
    calc_->OnTimer = [this](TCustomDirScaner*) { Guard([this] { UpdateProgress(); }); };
    calc_->OnLoadList = [this](TCustomDirScaner*) { Guard([this] { LoadList(); }); };
    calc_->OnListProgress = [this](uint64_t entries) {
        if (!options_.Silent)
            Console().ShowStatus(FormatText(msg::EntriesReadFormat, std::to_string(entries)));
    };
    calc_->OnFileEvent = [this](const TFileEvent& event) { HandleFileEvent(event); };
    // Files of this name are lists of another kind and never hashed.
    calc_->ExcludeMasks().Add("md?sum.lst");

    saver_ = std::make_unique<TCheckSumSaver>(*calc_, CheckOutputFile);
    saver_->OnGetHeader = [](TCheckSumSaver*, bool& write, std::string& header) {
        write = true;
        header = FormatText(msg::ListHeaderFormat, {ProductName, ProductWebAddress});
    };
    saver_->OnError = [this](TCheckSumSaver*, const std::u16string& fileName, TListFault fault,
                             uint32_t error) {
        if (fault != lfDeclined)
            unwrittenLists_.push_back({fileName, fault, error});
    };
    // A cancelled run stops between lists, so that no list is left half written.
    saver_->StopRequested = [this] { return cancelled_.load(); };
}

TApplication::~TApplication() {
    Console().ShowCursor();
    // The engine stops its workers first; they may still report to this object.
    saver_.reset();
    calc_.reset();
}

void TApplication::Run() {
    // From the set-up's questions on, cancelling ends the run with its bits.
    InstallConsoleControlHandler(
        [this](uint32_t ctrlType) { return ConsoleCtrlHandler(ctrlType); });
    const ScopeExit removeHandler([] { RemoveConsoleControlHandler(); });
    SetUp();
    RunMessageLoop([this](const TThreadMessage& message) { HandleMessage(message); });
    if (failure_)
        std::rethrow_exception(failure_);
    // A cancel that comes after the run has ended changes nothing.
    if (cancelled_ && !ended_)
        Terminate(ecCancelled);
}

bool TApplication::Guard(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (...) {
        if (!failure_)
            failure_ = std::current_exception();
        PostThreadMessageTo(mainThreadId_, {WM_QUIT_ID, 0, 0});
        return false;
    }
}

void TApplication::Terminate(uint32_t code) {
    // Whatever ends a cancelled run ends it as cancelled.
    if (cancelled_) {
        Console().WriteRaw(msg::CancelledByUser);
        code |= ecCancelled;
    }
    Console().ReportLogFailure();
    exitCode_ |= code;
    ended_ = true;
    Console().ClearStatus();
    Console().ShowCursor();
    if (LogIsOpen()) {
        if (exitCode_ == 0)
            WriteLogLine(msg::TerminatedWithoutErrors);
        else
            WriteLogLine("\r\n" + FormatText(msg::TerminatedWithCodeFormat,
                                             {std::to_string(exitCode_), ExitCodeText(exitCode_)}));
    }
    PostThreadMessageTo(mainThreadId_, {WM_QUIT_ID, 0, 0});
}

bool TApplication::ConsoleCtrlHandler(uint32_t ctrlType) {
    if (ctrlType == kCtrlC || ctrlType == kCtrlBreak || ctrlType == kCtrlClose)
        Cancel();
    return true;
}

void TApplication::Cancel() {
    cancelled_ = true;
    // A question waiting for a key gives way at once.
    Console().InterruptInput();
    calc_->Abort();
    PostThreadMessageTo(mainThreadId_, {WM_QUIT_ID, 0, 0});
}

void TApplication::HandleMessage(const TThreadMessage& message) {
    if (cancelled_)
        return;
    // Whatever woke the main thread (the progress timer, the end notice or
    // anything else), the files done meanwhile are shown first.
    calc_->DeliverFileEvents();
    if (message.Id == CM_READ_DONE)
        ShowSummary();
}

bool TApplication::NamesFilesOnScreen() const {
    return !options_.WriteToFile && options_.RunMode == rmCalculate;
}

void TApplication::HandleFileEvent(const TFileEvent& event) {
    if (cancelled_)
        return;
    const bool onScreen = NamesFilesOnScreen();
    switch (event.Kind) {
    case CM_FILE_BEGIN:
        if (onScreen)
            ShowFileName(event.Node, event.Tree);
        break;
    case CM_FILE_DONE:
        if (onScreen) {
            WriteHashColumn(calc_->GetHashText(event.Node));
            outputColumn_ = 0;
        } else if (writeListsAtOnce_ && options_.RunMode == rmCalculate) {
            saver_->Save(event.Node, {}, true);
        }
        break;
    default:
        break;
    }
}
