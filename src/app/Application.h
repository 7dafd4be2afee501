// The program's application object: reads the command line, starts the
// work, runs the main thread's message loop and ends every run through
// Terminate with a set of exit-code bits.
#pragma once

#include "Packages/Files/FileFunc.h"
#include "engine/ChksumCalc.h"
#include "engine/uFileSaver.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct TThreadMessage;

enum TRunMode : uint8_t { rmNone = 0, rmCalculate = 1, rmVerify = 2 };

class TApplication {
public:
    // Prints the banner (unless /S is among the arguments).
    TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;
    ~TApplication();

    // The whole run on the main thread: set-up, then the message loop until
    // Terminate or a console control event ends it.
    void Run();
    // Ends the run with code: records it, logs the end line, posts the quit message.
    void Terminate(uint32_t code);
    // The reaction to Ctrl+C, Ctrl+Break and closing the console.
    void Cancel();

    std::u16string ProgramName;
    std::u16string SourcePath;
    std::u16string ListPath;
    uint32_t MainThreadId = 0;
    std::unique_ptr<TChksumCalc> Calc;
    int32_t ScanErrorCount = 0;
    int32_t ListsFailed = 0;
    int32_t ListsToWrite = 0;
    bool WriteToFile = false;
    int32_t ProgressTicks = 0;
    int64_t TotalSize = 0;
    int64_t FileCount = 0;
    int64_t FolderCount = 0;
    TRunMode RunMode = rmCalculate;
    bool ProgressShown = false;
    bool OverwriteAll = false;
    bool SourceIsFile = false;
    bool Recursive = false;
    bool HelpRequested = false;
    bool SilentMode = false;
    uint32_t ExitCode = 0;
    // The first argument that was not recognised (it may be empty).
    std::optional<std::u16string> InvalidOption;
    int32_t OutputColumn = 0;
    TPathKind SourceKind = pkNone;
    std::u16string ChangedListPath;

    std::unique_ptr<TCheckSumSaver> Saver;

private:
    void SetUp();
    void SetUpSource(const std::u16string& arg1);
    void ParseOptions(size_t first);
    bool ParseSwitch(const std::u16string& arg);
    void StartWork();
    void StartCalculation();
    bool SetUpLists();
    void SetListExtension();
    void PreCheckOverwrites();
    void WriteResults();
    void ReportResults();
    void ReportInvalidPath(const std::u16string& path);
    void HandleMessage(const TThreadMessage& message);
    void StartReading(bool& abort);
    void BeforeScan();
    void ScanError(const std::u16string& path, int32_t errorCode);
    void UpdateProgress();
    void ShowProgressScale();
    void ShowFileName(TTreeNode* node, TDirTree* tree);
    void WriteHashColumn(const std::string& text);
    void ShowSummary();
    void PrintStatistics();
    void PrintErrorGroups(const TErrorTree& tree);
    void RecordInvalidOption(const std::u16string& arg);
    void ReportInvalidOption();
    void ReportOptionsViolation(const char* text);
    void ReportFileAccessError(const std::u16string& path);
    void ShowUsage();
    bool ConsoleCtrlHandler(uint32_t ctrlType);

    std::vector<std::u16string> args_;
    std::u16string logPath_;
};

// Set by Cancel from the console control handler's thread.
extern std::atomic<bool> Cancelled;
