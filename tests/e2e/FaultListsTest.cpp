// Faults around the files the program writes: a full volume, a run killed
// while it writes a list, outputs that would replace the run's own inputs
// or a file of another kind, and lists of files that could not be read.
// Each case checks the bytes left on disk and the exit status.
#include "Harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <csignal>
#include <filesystem>
#include <thread>

namespace e2e {
namespace {

namespace fs = std::filesystem;

// A list of an earlier run, which a failed run must leave as it is.
const std::string kOldList = "; an earlier list\r\n900150983CD24FB0D6963F7D28E17F72 *gone.txt\r\n";

fs::path Partial(const fs::path& file) {
    return file.string() + ".partial";
}

// Sends SIGKILL to the program whose command line names folder (the test's own).
bool KillProgramOf(const fs::path& folder) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string pid = entry.path().filename();
        if (!std::all_of(pid.begin(), pid.end(), ::isdigit))
            continue;
        std::string line = ReadFile(entry.path() / "cmdline");
        std::replace(line.begin(), line.end(), '\0', ' ');
        if (Contains(line, "tallix.exe") && Contains(line, folder.filename().string()))
            return kill(std::stoi(pid), SIGKILL) == 0;
    }
    return false;
}

using FaultLists = TDirTest;

// A volume of 64 KiB with old lists, filled up but for room of two list
// files. Six new lists, one per folder and one in the root (which holds the
// filler): two are written, the others reported. Then, with no room at all,
// a list and a /C: file that would replace the old ones leave them alone.
TEST_F(FaultLists, AFullVolumeTakesWhatFitsAndKeepsTheOldListAndTheOldChangedFilesList) {
    TSmallVolume volume(64 * 1024);
    if (!volume.Mounted())
        GTEST_SKIP() << "mounting a small volume needs root";
    for (int i = 0; i < 200; ++i)
        Add("Data/file" + std::to_string(i) + ".txt", std::to_string(i));
    ASSERT_EQ(Run(data_ + " /T:R /S").Status, 0u);
    for (int i = 0; i < 200; ++i)
        Add("Data/file" + std::to_string(i) + ".txt", "changed");
    const struct {
        std::string Arguments;
        const char* Target;
        uint32_t Status;
    } cases[] = {
        {data_ + " U:\\sums.md5 /O", "sums.md5", 16},
        {data_ + " /V /S /C:U:\\changed.txt", "changed.txt", 4096 | 16},
    };
    for (const auto& c : cases)
        volume.AddFile(c.Target, kOldList);
    for (int i = 0; i < 5; ++i)
        volume.AddFile("f" + std::to_string(i) + "/x.txt", "x");
    ASSERT_TRUE(volume.FillLeaving(2 * 4096));
    TDriveLetter drive('u', volume.Path());
    const TRunResult lists = RunTallix("U:\\ /T:F /R /O");
    EXPECT_EQ(lists.Status, 32u) << lists.Output;
    EXPECT_TRUE(Contains(lists.Output, "The result was successfully written in 2 files of 6.\r\n"))
        << lists.Output;
    TTally tally;
    tally.Add(lists.Status, 32, 0);
    for (const auto& c : cases) {
        const TRunResult run = RunTallix(c.Arguments);
        const fs::path target = volume.Path() / c.Target;
        EXPECT_EQ(run.Status, c.Status) << run.Output;
        EXPECT_EQ(ReadFile(target), kOldList) << c.Target;
        EXPECT_FALSE(fs::exists(Partial(target))) << c.Target;
        EXPECT_TRUE(Contains(run.Output, std::string("\r\nCan't write to output file.\r\nU:\\") +
                                             c.Target + "\r\nCode - 112 ["))
            << run.Output;
        // A part of a list left behind is no survival.
        tally.Add(run.Status, fs::exists(Partial(target)) ? ~0u : c.Status,
                  BytesLost(target, kOldList));
    }
    tally.Record("lists on a full volume");
}

// Long folder names give a list of about 7 MB from two thousand files:
// the run is killed once it has written a part of it. An update (/U), which
// keeps the old list's entry of a file that is gone, is written the same way.
TEST_F(FaultLists, AKilledRunLeavesTheOldListOrTheNewOneAndTheNextRunClearsUp) {
    std::string deep = "Data";
    for (char c = 'a'; c < 'a' + 14; ++c)
        deep += "/" + std::string(240, c);
    for (int i = 0; i < 2000; ++i)
        Add(deep + "/" + std::to_string(i), std::to_string(i));
    const fs::path list = At("Data/Data.md5");
    auto written = [&] {
        std::error_code missing;
        const uintmax_t size = fs::file_size(Partial(list), missing);
        return !missing && size >= 64 * 1024;
    };
    for (const bool update : {false, true}) {
        SCOPED_TRACE(update ? "update" : "calculation");
        const std::string arguments = data_ + " /T:R /R /S" + (update ? " /U" : "");
        // On a busy machine a run may write its whole list between two looks:
        // it is run again, from the old list, until one is killed mid-write.
        bool killed = false;
        std::string left;
        for (int attempt = 0; attempt < 5 && !killed; ++attempt) {
            Add("Data/Data.md5", kOldList);
            std::atomic<bool> ended = false;
            std::thread run([&] {
                Run(arguments);
                ended = true;
            });
            while (!ended && !written())
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            killed = !ended && KillProgramOf(dir_.Path());
            run.join();
            left = ReadFile(list);
        }

        // The next run starts from what was left: an update after a kill
        // finds the old list, and then its one entry of a file that is gone.
        const TRunResult next = Run(arguments);
        EXPECT_EQ(next.Status, update ? 2u : 0u) << next.Output;
        const std::string complete = ReadFile(list);
        EXPECT_TRUE(killed) << "the run ended before it could be killed";
        EXPECT_TRUE(left == kOldList || left == complete) << "a partial list of " << left.size();
        EXPECT_FALSE(fs::exists(Partial(list))) << "the next run removes what was left";
        EXPECT_FALSE(Contains(complete, ".partial")) << "and never hashes it";
        EXPECT_EQ(std::count(complete.begin(), complete.end(), '*'), update ? 2001 : 2000);
        TTally tally;
        tally.Add(next.Status, update ? 2 : 0,
                  left == kOldList || left == complete ? 0 : kOldList.size());
        tally.Record(update ? "a run killed while it updates a list"
                            : "a run killed while it writes a list");
    }
}

// Data\a.doc, a user's document; Data\notes and Data\notes.txt, a note
// about it; Data\Data.md5, a list: in a fresh folder for each row.
TEST_F(FaultLists, OutputsNeverReplaceInputsOrFilesOfAnotherKind) {
    const struct {
        const char* Arguments; // %D stands for Data, %A for Data\a.doc
        const char* Kept;
        uint32_t Status;
        const char* Said;
    } cases[] = {
        {"%A %A /O", "a.doc", 16, "This file is read by the run"},
        {"%A /L:%A", "a.doc", 2048, "This file is read by the run"},
        {"%D /V /S /C:%D\\Data.md5", "Data.md5", 16, "This file is read by the run"},
        {"%D %A /O", "a.doc", 16, "This file is not a checksum list"},
        {"%D list.txt /T:E /O", "notes.txt", 32, "This file is not a checksum list"},
        {"%D /L:%D\\notes.txt", "notes.txt", 2048, "This file is not a log file of Tallix"},
    };
    TTally tally;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Arguments);
        TTempDir dir;
        const fs::path doc = dir.AddFile("Data/a.doc", "a user's document");
        dir.AddFile("Data/notes", "notes");
        dir.AddFile("Data/notes.txt", "Buy milk.\r\n");
        dir.AddFile("Data/Data.md5", Md5sum(doc) + " *a.doc\r\n");
        const fs::path kept = dir.Path() / "Data" / c.Kept;
        const std::string before = ReadFile(kept);
        const std::string arguments =
            ReplaceMarks(c.Arguments, {{"%A", WinPath(doc)}, {"%D", WinPath(dir.Path() / "Data")}});
        const TRunResult run = RunTallix(arguments, dir.Path());
        EXPECT_EQ(run.Status, c.Status) << run.Output;
        EXPECT_EQ(ReadFile(kept), before);
        EXPECT_TRUE(Contains(run.Output, std::string(c.Said)) &&
                    Contains(run.Output, ":\r\n" + WinPath(kept) + "\r\n"))
            << run.Output;
        tally.Add(run.Status, c.Status, BytesLost(kept, before));
    }
    tally.Record("outputs named after inputs or other files");
}

// The second run lists neither its own list, log and /C: file, nor what a
// killed run left of a list; nor the root list of a drive. A list none of
// whose files could be read, and a folder whose files were all masked,
// leave an existing list alone.
TEST_F(FaultLists, ASecondRunListsNoneOfItsOwnFilesAndNoListReplacesAGoodOneWithAnEmptyOne) {
    Add("Data/a.txt", "abc");
    Add("Data/Deep/x.doc", "doc");
    Add("Data/changed.txt", "from an earlier verification");
    Add("Data/sums.txt.partial", "what a killed run left");
    Add("Data/a.txt.md5.partial", "what a killed run left");
    const std::string arguments = data_ + " " + data_ + "\\sums.txt /L:" + data_ +
                                  "\\run.log /C:" + data_ + "\\changed.txt /O";
    EXPECT_EQ(Run(arguments).Status, 0u);
    const TRunResult second = Run(arguments);
    EXPECT_EQ(second.Status, 0u) << second.Output;
    const std::string sums = ReadFile(At("Data/sums.txt"));
    EXPECT_TRUE(Contains(sums, " *a.txt\r\n")) << sums;
    bool clean = !fs::exists(At("Data/sums.txt.partial"));
    for (const char* own : {"sums.txt", "run.log", "changed.txt", ".partial"})
        clean = clean && !Contains(sums, own);
    EXPECT_TRUE(clean) << sums;

    TDriveLetter drive('t', At("Data"));
    EXPECT_EQ(Run("T:\\ /T:R /S").Status, 0u);
    const uint32_t root = Run("T:\\ /T:R /S").Status;
    EXPECT_EQ(root, 0u);
    const bool rootClean = !Contains(ReadFile(At("Data/.md5")), " *.md5\r\n");
    EXPECT_TRUE(rootClean);

    ASSERT_EQ(Run(data_ + " /T:F /R /S").Status, 0u);
    const std::string deepBefore = ReadFile(At("Data/Deep/Deep.md5"));
    const TRunResult masked = Run(data_ + "\\*.txt /T:F /R /O");
    EXPECT_EQ(masked.Status, 0u) << masked.Output;
    EXPECT_EQ(ReadFile(At("Data/Deep/Deep.md5")), deepBefore);

    const fs::path lockedList = Add("Data/locked.bin.md5", kOldList);
    ASSERT_TRUE(HoldFile(Add("Data/locked.bin", "locked")));
    const TRunResult each = Run(data_ + " /T:E /S");
    EXPECT_EQ(each.Status, 4u | 32u) << each.Output;
    EXPECT_EQ(ReadFile(lockedList), kOldList);
    EXPECT_TRUE(Contains(each.Output, "No file of this list could be read, so the list was not "
                                      "written:\r\n" +
                                          WinPath(lockedList) + "\r\n"))
        << each.Output;
    const bool eachClean =
        !fs::exists(At("Data/a.txt.md5.partial")) && !fs::exists(At("Data/a.txt.md5.partial.md5"));
    EXPECT_TRUE(eachClean);

    // A run that listed its own files did not survive.
    TTally own;
    own.Add(second.Status, clean ? 0 : ~0u, 0);
    own.Add(each.Status, eachClean ? 4 | 32 : ~0u, 0);
    own.Add(root, rootClean ? 0 : ~0u, 0);
    own.Record("a second run over its own outputs");
    TTally unread;
    unread.Add(masked.Status, 0, BytesLost(At("Data/Deep/Deep.md5"), deepBefore));
    unread.Add(each.Status, 4 | 32, BytesLost(lockedList, kOldList));
    unread.Record("lists of unread or masked files");
}

} // namespace
} // namespace e2e
