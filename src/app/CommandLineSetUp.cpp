// The command-line set-up: the source, the switches, the log, the reports
// of bad input and the help.
#include "app/Application.h"

#include "app/ExitCodes.h"
#include "app/Product.h"
#include "console/Console.h"
#include "console/Console_ENG.h"
#include "console/LogFile.h"
#include "console/Text.h"
#include "system/AnsiText.h"

namespace {

bool HasWildcards(const std::u16string& name) {
    return name.find_first_of(u"*?") != std::u16string::npos;
}

} // namespace

void TApplication::SetUp() {
    saver_->Placement = plNone;
    if (args_.size() < 2) {
        ShowUsage();
        return;
    }
    const std::u16string& arg1 = args_[1];
    if (!arg1.empty() && arg1[0] == u'/') {
        sourcePath_ = GetCurrentDirW();
        saver_->BaseFolder = sourcePath_;
        ApplyOptions(1);
        return;
    }
    SetUpSource(arg1);
}

void TApplication::SetUpSource(const std::u16string& arg1) {
    const std::u16string name = ExtractFileNameW(arg1);
    if (HasWildcards(name)) {
        sourcePath_ = ExcludeTrailingBackslashW(arg1.substr(0, arg1.size() - name.size()));
        calc_->IncludeMasks().Add(WideToAnsi(name));
    } else {
        sourcePath_ = arg1;
    }
    ExpandPathW(sourcePath_);
    const bool singleArgument = args_.size() == 2;
    switch (GetPathKind(sourcePath_)) {
    case pkNone:
        ReportFileAccessError(sourcePath_, FileLastError);
        ConsoleWriteLine(std::string("\r\n") + msg::DefineRightPath, true);
        Terminate(ecWrongParams);
        return;
    case pkFile:
        sourceIsFile_ = true;
        saver_->BaseFolder = IncludeTrailingBackslashW(ExtractFileDirW(sourcePath_));
        if (singleArgument) {
            StartWork();
        } else if (args_[2].size() >= 2) {
            ApplyOptions(2);
        } else {
            options_.InvalidOption = args_[2];
            ReportInvalidOption();
        }
        return;
    case pkFolder:
    case pkDrive:
        saver_->BaseFolder = sourcePath_;
        if (singleArgument) {
            calc_->SetOptions(calc_->Options().Without(soKeepMaskedFiles));
            StartWork();
        } else if (!args_[2].empty()) {
            ApplyOptions(2);
        } else {
            options_.InvalidOption = args_[2];
            ReportInvalidOption();
        }
        return;
    }
}

void TApplication::ApplyOptions(size_t first) {
    options_ = ParseOptions(args_, first, sourceIsFile_);
    if (options_.TypeNeedsFolder) {
        ReportOptionsViolation(msg::TypeNeedsFolder);
        return;
    }
    if (options_.HelpRequested) {
        ShowUsage();
        return;
    }
    if (options_.Update && options_.RunMode == rmCalculate && !options_.WriteToFile) {
        ReportOptionsViolation(msg::UpdateNeedsLists);
        return;
    }
    for (std::u16string* path : {&options_.ListPath, &options_.LogPath, &options_.ChangedListPath})
        if (!path->empty())
            ExpandPathW(*path);
    saver_->Placement = options_.Placement;
    saver_->OverwriteAll = options_.OverwriteAll;
    if (!options_.LogPath.empty() && !OpenLog())
        return;
    if (options_.InvalidOption) {
        ReportInvalidOption();
        return;
    }
    StartWork();
}

// Opens the /L: file; false when the run has ended.
bool TApplication::OpenLog() {
    if (NamesTheSourceFile(options_.LogPath))
        ReportUnwritten(msg::OutputIsAnInput, options_.LogPath, 0);
    else if (OpenLogFile(options_.LogPath, ProductName, ProductWebAddress))
        return true;
    // A question that a cancel interrupted is no failure: the loop ends the run.
    else if (cancelled_)
        return false;
    Terminate(ecCantCreateLog);
    return false;
}

void TApplication::StartWork() {
    // Cancelled during a question of the set-up: the loop ends the run.
    if (cancelled_)
        return;
    if (options_.RunMode == rmCalculate)
        StartCalculation();
    else
        StartVerification();
}

void TApplication::ReportInvalidOption() {
    ConsoleWriteLine(
        FormatText(msg::InvalidOptionFormat, ShownName(options_.InvalidOption.value_or(u""))) +
        "\r\n" + FormatText(msg::RunHelpFormat, ShownName(programName_)));
    Terminate(ecWrongParams);
}

void TApplication::ReportInvalidPath(const std::u16string& path) {
    ConsoleWriteLine(FormatText(msg::InvalidPathFormat, ShownName(path)));
    ConsoleWriteLine(msg::DefineRightPath, true);
    Terminate(ecWrongParams);
}

void TApplication::ReportOptionsViolation(const char* text) {
    ConsoleWriteLine(msg::OptionsViolation);
    ConsoleWriteLine(text, true);
    ConsoleWriteLine("\r\n" + FormatText(msg::RunHelpFormat, ShownName(programName_)));
    Terminate(ecParamsViolation);
}

void TApplication::ReportFileAccessError(const std::u16string& path, uint32_t errorCode) {
    ConsoleWriteLine(msg::CannotAccessFile);
    ConsoleWriteLine(ShownPath(path, Console().Width()));
    ConsoleWriteLine(msg::SystemReturnedError);
    WriteSystemError(errorCode, 0);
}

void TApplication::ReportUnwritten(const char* reason, const std::u16string& path,
                                   uint32_t errorCode) {
    ConsoleWriteLine(reason);
    ConsoleWriteLine(ShownName(path));
    if (errorCode != 0)
        WriteSystemError(errorCode, 0);
}

bool TApplication::NamesTheSourceFile(const std::u16string& path) const {
    return sourceIsFile_ && SamePathText(path, sourcePath_);
}

void TApplication::ShowUsage() {
    const std::string name = ShownName(programName_);
    WritePaged(FormatText(msg::UsageFormat, name), msg::PressAnyKey);
    WritePaged(ReplaceAll(msg::HelpText, "%0:s", name), msg::PressAnyKey);
    Terminate(0);
}
