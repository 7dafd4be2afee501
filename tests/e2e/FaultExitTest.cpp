// Faults around the exit status, end to end under Wine: output that refuses
// writes, a log on a full volume, bits that add up, lists of empty files,
// and cancelling at every phase. Each case checks the exit status and the
// bytes left on disk: a list complete, an old file intact, or no file.
#include "Harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace e2e {
namespace {

namespace fs = std::filesystem;

const std::string kEmptyDigest = "D41D8CD98F00B204E9800998ECF8427E";

using FaultExit = TDirTest;

// A pipe whose reader is gone and a device that is always full: the
// console falls silent, the list is written and the status is the run's.
TEST_F(FaultExit, OutputThatRefusesWritesStopsOnlyTheConsole) {
    const fs::path a = Add("Data/a.txt", "abc");
    const fs::path b = Add("Data/b.txt", std::string(100000, 'b'));
    const std::string expected = kListHeader + ListEntry(a, "a.txt") + ListEntry(b, "b.txt");
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    close(pipeEnds[0]);
    TTally tally;
    const std::string outputs[] = {">&" + std::to_string(pipeEnds[1]), ">/dev/full"};
    for (const std::string& output : outputs) {
        fs::remove(At("sums.md5"));
        const uint32_t status = RunRedirected("tallix.exe", data_ + " " + Win("sums.md5"), output);
        EXPECT_EQ(status, 0u) << output;
        EXPECT_EQ(ReadFile(At("sums.md5")), expected) << output;
        tally.Add(status, 0, BytesLost(At("sums.md5"), expected));
    }
    close(pipeEnds[1]);
    tally.Record("standard output that refuses writes");
}

// The log's volume fills in the middle of a long block of missing files:
// the block stays whole under its one heading, and the failure is told
// after the summary, with bit 2048. The next run's log finds the volume
// full: it is closed with one report, and the list is written all the same.
TEST_F(FaultExit, ALogThatFillsItsVolumeIsClosedAndTheRunGoesOn) {
    TSmallVolume volume(256 * 1024);
    if (!volume.Mounted())
        GTEST_SKIP() << "mounting a small volume needs root";
    ASSERT_TRUE(volume.FillLeaving(16 * 1024));
    TDriveLetter drive('v', volume.Path());
    const fs::path a = Add("Data/a.txt", "abc");
    // More than the log holds in memory before its first write.
    constexpr int kMissing = 1500;
    std::string list = ListEntry(a, "a.txt");
    for (int i = 0; i < kMissing; ++i)
        list += "900150983CD24FB0D6963F7D28E17F72 *missing file number " + std::to_string(i) +
                ".txt\r\n";
    Add("Data/sums.md5", list);
    TRunResult run = RunTallix(Win("Data/sums.md5") + " /V /L:V:\\run.log");
    EXPECT_EQ(run.Status, 2u | 2048u) << run.Output.substr(0, 2000);
    const size_t start = run.Output.find("Scanning errors:  \r\n");
    const size_t end = run.Output.find("\r\n\r\n", start);
    ASSERT_NE(end, std::string::npos) << run.Output.substr(0, 2000);
    // The heading, one heading line and a line for each file: a second
    // heading would be one line more.
    const std::string block = run.Output.substr(start, end - start);
    EXPECT_EQ(std::count(block.begin(), block.end(), '\n'), kMissing + 1) << block.substr(0, 2000);
    const std::string report = "Can't write the log file.\r\nCode - 112 [";
    EXPECT_NE(run.Output.find(report), std::string::npos);
    EXPECT_GT(run.Output.find(report), run.Output.find("Verification summary:"))
        << "told after the summary";
    TTally tally;
    tally.Add(run.Status, 2u | 2048u, BytesLost(At("Data/sums.md5"), list));

    run = RunTallix(data_ + "\\a.txt " + Win("a.md5") + " /L:V:\\next.log");
    EXPECT_EQ(run.Status, 2048u) << run.Output;
    EXPECT_EQ(ReadFile(At("a.md5")), kListHeader + ListEntry(a, "a.txt"));
    EXPECT_TRUE(Contains(run.Output, "  Result written in " + Win("a.md5") + "\r\n")) << run.Output;
    EXPECT_NE(run.Output.find(report), std::string::npos) << run.Output;
    EXPECT_EQ(run.Output.find(report), run.Output.rfind(report)) << "reported once";
    tally.Add(run.Status, 2048, BytesLost(At("a.md5"), kListHeader + ListEntry(a, "a.txt")));
    tally.Record("the log on a volume that fills");
}

// A chain of folders longer than the host's longest path (4096 bytes):
// listing the last one fails, a scan error.
void AddTooDeepFolders(const fs::path& base) {
    const std::string name(250, 'd');
    int folder = open(base.c_str(), O_DIRECTORY);
    for (int i = 0; i < 18 && folder >= 0; ++i) {
        mkdirat(folder, name.c_str(), 0755);
        const int next = openat(folder, name.c_str(), O_DIRECTORY);
        close(folder);
        folder = next;
    }
    if (folder >= 0)
        close(folder);
}

// Bits add up, in the status and in the log's end line: a scan error and
// then nothing to calculate; a scan error and files that are all empty,
// which read no bytes (bit 1) and whose list is written and reported all
// the same.
TEST_F(FaultExit, AScanErrorAddsUpWithNothingToCalcOrOnlyEmptyFiles) {
    Add("Data/one.txt");
    Add("Data/two.txt");
    AddTooDeepFolders(At("Data"));
    const TRunResult none =
        Run(data_ + "\\*.zip " + Win("zip.md5") + " /R /S /L:" + Win("run.log"));
    const TRunResult empty = Run(data_ + "\\*.txt " + Win("sums.md5") + " /R");
    // The host's own tools remove what is too deep for a path.
    std::system(("rm -rf '" + At("Data").string() + "'").c_str());
    EXPECT_EQ(none.Status, 2u + 8u) << none.Output;
    EXPECT_FALSE(fs::exists(At("zip.md5")));
    EXPECT_TRUE(ReadFile(At("run.log"))
                    .ends_with("\r\nApplication terminated with code - 10 [Scan error|Nothing to "
                               "calc]\r\n"))
        << ReadFile(At("run.log"));

    const std::string expected =
        kListHeader + kEmptyDigest + " *one.txt\r\n" + kEmptyDigest + " *two.txt\r\n";
    EXPECT_EQ(empty.Status, 1u + 2u) << empty.Output;
    EXPECT_EQ(ReadFile(At("sums.md5")), expected);
    EXPECT_TRUE(Contains(empty.Output, "  Result written in " + Win("sums.md5") + "\r\n"))
        << empty.Output;
    TTally tally;
    tally.Add(none.Status, 10, BytesLost(At("zip.md5"), ""));
    tally.Add(empty.Status, 3, BytesLost(At("sums.md5"), expected));
    tally.Record("a scan error, then nothing or only empty files");
}

struct TCancelCase {
    std::string Phase;
    std::string Arguments;
    std::string Shown;      // on the screen once the phase is under way
    std::string Cancel;     // "C-c", or "INT" for an interrupt signal
    std::string NeverShown; // what the phase must not reach
    std::vector<std::pair<std::string, std::string>> Left; // file and its bytes ("" none)
};

// Ctrl+C in the set-up's question, the scan, the reading of a calculation,
// an interrupt signal in the reading of a verification, the overwrite questions
// and the list writing: status 8192 with the bits so far, no list half
// written, old lists intact, nothing that claims success. Each phase has a
// folder of its own.
TEST_F(FaultExit, CancellingAtEveryPhaseEndsWith8192) {
    const std::string old = "; an old list\r\n";
    for (int i = 0; i < 100; ++i)
        for (int j = 0; j < 100; ++j)
            fs::create_directories(At("scan/" + std::to_string(i) + "/" + std::to_string(j)));
    fs::resize_file(Add("big/big.bin", "start"), uint64_t(3) << 29);
    fs::resize_file(Add("check/big.bin", "start"), uint64_t(3) << 29);
    Add("check/check.md5", "900150983CD24FB0D6963F7D28E17F72 *big.bin\r\n");
    for (const char* file :
         {"set/a.txt", "pre/x/1.txt", "pre/y/2.txt", "end/a.txt", "end/x/1.txt", "end/y/2.txt"})
        Add(file, "a");
    for (const char* list : {"set.md5", "big.md5", "pre/x/x.md5", "pre/y/y.md5", "end/x/x.md5"})
        Add(list, old);
    const std::string big = Win("big") + " " + Win("big.md5") + " /O /L:" + Win("run.log");
    const TCancelCase cases[] = {
        {"set-up question",
         Win("set") + " " + Win("set.md5"),
         "Overwrite? Yes[Y]\\No[N]",
         "C-c",
         "specify the correct path",
         {{"set.md5", old}}},
        {"scan",
         Win("scan") + "\\*.zip " + Win("scan.md5") + " /R",
         "Calculating size of",
         "C-c",
         "Calculating...",
         {{"scan.md5", ""}}},
        {"reading", big, "Calculating...", "C-c", "Calculation summary:", {{"big.md5", old}}},
        {"verification", Win("check") + " /V", "Calculating...", "INT", "Verification summary", {}},
        {"pre-check question",
         Win("pre") + " /T:F /R",
         "Overwrite existing files? Yes[Y]\\No[N]",
         "C-c",
         "Calculating...",
         {{"pre/x/x.md5", old}, {"pre/y/y.md5", old}}},
        {"closing question",
         Win("end") + " /T:F /R",
         "Overwrite? Yes[Y]\\No[N]\\All[A]",
         "C-c",
         "All results were written",
         {{"end/end.md5", kListHeader + "0CC175B9C0F1B6A831C399E269772661 *a.txt\r\n"},
          {"end/x/x.md5", old},
          {"end/y/y.md5", ""}}},
    };
    TTally tally;
    for (const TCancelCase& c : cases) {
        SCOPED_TRACE(c.Phase);
        TTmuxPane pane("tallix.exe", c.Arguments, dir_.Path());
        ASSERT_TRUE(pane.WaitFor(c.Shown)) << pane.Screen();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (c.Cancel == "INT") {
            const std::string kill =
                "pkill -INT -f 'tallix\\.exe.*" + dir_.Path().filename().string() + "'";
            ASSERT_EQ(std::system(kill.c_str()), 0);
        } else {
            pane.SendKeys(c.Cancel);
        }
        const long status = pane.WaitForExit();
        EXPECT_EQ(status, 8192);
        EXPECT_TRUE(pane.WaitFor("Cancelled by the user.")) << pane.Screen();
        EXPECT_FALSE(Contains(pane.Screen(), c.NeverShown)) << pane.Screen();
        uint64_t lost = 0;
        for (const auto& [file, bytes] : c.Left) {
            if (bytes.empty())
                EXPECT_FALSE(fs::exists(At(file))) << file;
            else
                EXPECT_EQ(ReadFile(At(file)), bytes) << file;
            lost += BytesLost(At(file), bytes);
        }
        // A pane that never ends (-1) counts as a crash.
        tally.Add(static_cast<uint32_t>(status), 8192, lost);
    }
    EXPECT_TRUE(ReadFile(At("run.log"))
                    .ends_with("\r\nApplication terminated with code - 8192 [Cancelled by the "
                               "user]\r\n"));
    tally.Record("cancelled at every phase");
}

} // namespace
} // namespace e2e
