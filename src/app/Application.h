// The program's application object: reads the command line, starts the
// work, runs the main thread's message loop and ends every run through
// Terminate with a set of exit-code bits.
//
// Its parts live in files of their own: the command-line set-up
// (CommandLineSetUp.cpp), the calculation run (CalculationRun.cpp), the
// verification run (VerificationRun.cpp) with its new files
// (NewFiles.cpp), and the progress display, per-file output and summary
// (ProgressDisplay.cpp).
// Everything here runs on the main thread, except Cancel.
#pragma once

#include "app/CommandLine.h"
#include "console/OutputCheck.h"
#include "engine/ChksumCalc.h"
#include "engine/ListParser.h"
#include "engine/uFileSaver.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct TThreadMessage;

// Folder references were asked for a placement that has lists of its own.
class EWrongFolderCheckingMode : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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
    // The process exit status: the bits collected so far.
    uint32_t ExitCode() const { return exitCode_; }

private:
    // --- Application.cpp: lifetime, loop, ending ---
    // Ends the run: adds code to the bits collected so far, logs the end
    // line, posts the quit message.
    void Terminate(uint32_t code);
    // The reaction to Ctrl+C, Ctrl+Break and closing the console, on the
    // system's thread: it only flags, interrupts a question, aborts the
    // engine and ends the loop.
    void Cancel();
    bool ConsoleCtrlHandler(uint32_t ctrlType);
    // Runs an engine event handler. The engine's workers call them through
    // the main thread's loop, where an exception would end only the worker
    // and leave the loop waiting: it ends the loop instead and Run throws it
    // again. False when the handler threw.
    bool Guard(const std::function<void()>& handler);
    void HandleMessage(const TThreadMessage& message);
    // A file begun or done: its name and digest on the screen, or its list.
    void HandleFileEvent(const TFileEvent& event);
    // True when each file's name and digest go to the console.
    bool NamesFilesOnScreen() const;

    // --- CommandLineSetUp.cpp ---
    void SetUp();
    void SetUpSource(const std::u16string& arg1);
    void ApplyOptions(size_t first);
    bool OpenLog();
    void StartWork();
    void ReportInvalidOption();
    void ReportInvalidPath(const std::u16string& path);
    void ReportOptionsViolation(const char* text);
    void ReportFileAccessError(const std::u16string& path, uint32_t errorCode);
    // A file the run leaves unwritten: reason, the path, and the system's
    // error line unless errorCode is 0.
    void ReportUnwritten(const char* reason, const std::u16string& path, uint32_t errorCode);
    // True when path names the source, which is a single file.
    bool NamesTheSourceFile(const std::u16string& path) const;
    void ShowUsage();

    // --- CalculationRun.cpp ---
    void StartCalculation();
    bool SetUpLists();
    bool RefuseListPath();
    std::u16string RootListPath(const std::u16string& given) const;
    void SetListExtension();
    void StartReading(bool& abort);
    bool PreCheckOverwrites();
    std::vector<std::u16string> OwnOutputs() const;
    void LeaveOutOwnOutputs();
    void WriteResults();
    void ReportResults();
    // Names every list not written with its cause.
    void ReportUnwrittenLists();

    // --- VerificationRun.cpp ---
    void StartVerification();
    void VerifySingleFile();
    void LoadFolderReferences();
    void LoadFoundReferences();
    int64_t SelectFoundLists(TDirTree& tree);
    void ReportLoadError(const TFileParseInfo& info);
    std::string LoadErrorsLine() const;
    void ReportListError(const TFileParseInfo& info);
    void ReferencesNotFound(const std::string& lookedFor);
    std::string FoundListsLookedFor() const;
    bool IsChangedList(const std::u16string& path) const;
    bool ChangedListIsRead(bool namesAList);
    void LoadList();
    void CheckChangedListPath();
    void WriteChangedFiles();
    void WriteChangedList(const std::u16string& paths);

    // --- NewFiles.cpp ---
    std::vector<std::u16string> FindNewFiles() const;
    void ReportChangedList();

    // --- ListUpdates.cpp ---
    // The existing lists the run would write are read (/U); false when the run has ended.
    bool LoadListsToUpdate();
    struct TUnwrittenList;
    void ReportNotUpdated(const TUnwrittenList& list);
    void ReportUpdates();
    void AddNewFilesToRead();
    void WriteVerifiedUpdates();

    // --- ProgressDisplay.cpp ---
    void BeforeScan();
    void ScanError(const std::u16string& path, int32_t errorCode);
    void ShowProgressScale();
    // final: the last update, at the end of reading.
    void UpdateProgress(bool final = false);
    void ShowProgressLine(int64_t ticks, bool final);
    void ShowFileName(TTreeNode* node, TDirTree* tree);
    void WriteHashColumn(const std::string& text);
    void ShowSummary();
    void PrintStatistics();
    void ReportMissingFiles();
    void PrintErrorGroups(const std::vector<TErrorGroup>& groups);
    void WritePathBlock(const char* heading, const std::vector<std::u16string>& paths);

    std::vector<std::u16string> args_;
    std::u16string programName_;
    uint32_t mainThreadId_ = 0;
    std::unique_ptr<TChksumCalc> calc_;
    std::unique_ptr<TCheckSumSaver> saver_;
    // The lists of the run that failed to load, in the order they failed.
    std::vector<TFileParseInfo> loadErrors_;
    // Set by Cancel on the console control handler's thread, read by the main thread.
    std::atomic<bool> cancelled_{false};
    uint32_t exitCode_ = 0;
    bool ended_ = false;         // Terminate has run
    std::exception_ptr failure_; // the first exception of an engine event handler

    // What the command line asked for; ListPath and WriteToFile are
    // completed by the set-up. Placement and overwriting belong to the saver.
    TOptions options_;
    std::u16string sourcePath_;
    bool sourceIsFile_ = false;
    // Each file's list is written as soon as its digest is known (/T:E when
    // no question about an existing list can come).
    bool writeListsAtOnce_ = false;

    // The run's figures and display state.
    int64_t totalSize_ = 0;
    int64_t fileCount_ = 0;
    int64_t folderCount_ = 0;
    int32_t scanErrorCount_ = 0;
    int32_t listsToWrite_ = 0;
    int32_t listsFailed_ = 0;
    // The lists the saver did not write and why, for the report (lists
    // the user chose not to replace are left out).
    struct TUnwrittenList {
        std::u16string Path;
        TListFault Fault;
        uint32_t ErrorCode;
        // Where a list to update stopped loading (lfNotLoaded).
        uint32_t Line = 0;
        TFileParseResult Result = fprSuccess;
    };
    std::vector<TUnwrittenList> unwrittenLists_;
    int64_t usedListCount_ = 0; // reference lists loaded (/T:E and /T:F)
    int64_t listedCount_ = 0;   // entries the flat scan looks up
    // Where a verification looks for new files (empty: it does not), and
    // those it found.
    std::u16string newFilesRoot_;
    std::vector<std::u16string> newFiles_;
    // Files that lists to update name and that are gone (their entries stay).
    std::vector<std::u16string> missingListed_;
    // /V /U: the new files added to the records, to be read and listed.
    std::vector<TTreeNode*> newNodes_;
    // The /C: file: the check of its path before reading, or the failure of
    // its writing, and whether it was written; reported at the end.
    TOutputCheckResult changedList_;
    bool changedListWritten_ = false;
    bool progressShown_ = false;
    int32_t progressTicks_ = 0;
    std::string progressLine_; // the marks line a console shows now
    int32_t outputColumn_ = 0;
};
