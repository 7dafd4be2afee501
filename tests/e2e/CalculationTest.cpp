// The calculation with digests on the screen, end to end under Wine; md5sum
// on the host is the independent oracle.
#include "Harness.h"
#include "Tmux.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <thread>

namespace e2e {
namespace {

namespace fs = std::filesystem;

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

class Calculation : public ::testing::Test {
protected:
    TRunResult Run(const std::string& arguments) {
        return RunTallix(arguments, {.WorkDir = dir_.Path()});
    }
    std::string Win(const std::string& relative = "") {
        return WinPath(relative.empty() ? dir_.Path() : dir_.Path() / relative);
    }
    TTempDir dir_;
};

TEST_F(Calculation, PrintsTheDigestsOfMd5sumForEveryFileSize) {
    const size_t sizes[] = {0, 1, 55, 56, 64, 4096, 4097, 65536, 65537, 1000003};
    for (size_t size : sizes)
        dir_.AddFile("f" + std::to_string(size) + ".bin", RandomBytes(size, size));
    const TRunResult run = Run(Win() + " /S");
    EXPECT_EQ(run.Status, 0u) << run.Output;
    for (size_t size : sizes) {
        const std::string name = "f" + std::to_string(size) + ".bin";
        EXPECT_TRUE(Contains(run.Output, "\r\n" + name + " " + Md5sum(dir_.Path() / name) + "\r\n"))
            << name << "\n"
            << run.Output;
    }
    EXPECT_TRUE(Contains(run.Output, "Calculation summary:\r\n  Processed 10 files in 0 folders "
                                     "with total size 1.09 Mb.\r\n  Average speed "))
        << run.Output;
}

TEST_F(Calculation, NamesFilesBelowTheSourceAndASingleFileByItsPath) {
    dir_.AddFile("top.txt", "top");
    dir_.AddFile("sub/deeper/low.txt", "low");
    TRunResult run = Run(Win() + " /R");
    EXPECT_TRUE(Contains(run.Output, "\r\ntop.txt " + Md5sum(dir_.Path() / "top.txt") + "\r\n"));
    EXPECT_TRUE(Contains(run.Output, "\r\nsub\\deeper\\low.txt " +
                                         Md5sum(dir_.Path() / "sub/deeper/low.txt") + "\r\n"))
        << run.Output;
    EXPECT_TRUE(Contains(run.Output, "Processed 2 files in 2 folders")) << run.Output;

    run = Run(Win() + "\\sub");
    EXPECT_EQ(run.Status, 8u) << "a folder without files of its own: " << run.Output;

    run = Run(Win("sub/deeper/low.txt"));
    EXPECT_TRUE(Contains(run.Output, "\r\n" + Win("sub/deeper/low.txt") + " " +
                                         Md5sum(dir_.Path() / "sub/deeper/low.txt") + "\r\n"))
        << run.Output;
    EXPECT_FALSE(Contains(run.Output, "Calculating size of")) << "a single file is not sized";
}

// With 80 columns a line holds 47 characters of name, a blank and 32 digits.
// Redirected output has no edge, so even a full line ends with a break.
TEST_F(Calculation, ShortensLongNames) {
    const std::string exact(43, 'e'); // 43 + ".txt" = 47 characters
    dir_.AddFile(exact + ".txt", "x");
    dir_.AddFile("z.txt", "z");
    const std::string longName(60, 'l');
    dir_.AddFile(longName + ".txt", "y");
    const TRunResult run = Run(Win() + " /S");
    EXPECT_TRUE(Contains(run.Output, "\r\n" + exact + ".txt " +
                                         Md5sum(dir_.Path() / (exact + ".txt")) + "\r\n"))
        << run.Output;
    EXPECT_TRUE(Contains(run.Output, "\r\n" + std::string(44, 'l') + "... " +
                                         Md5sum(dir_.Path() / (longName + ".txt")) + "\r\n"))
        << run.Output;
}

TEST_F(Calculation, EndsWithItsBitsWhenNothingCanBeHashed) {
    dir_.AddFile("a.zip", "zip");
    TRunResult run = Run(Win() + "\\*.txt /S");
    EXPECT_EQ(run.Status, 8u);
    EXPECT_TRUE(Contains(run.Output, "\r\nThe source path has no files or there are no files "
                                     "corresponding to the\r\noptions.\r\n"))
        << run.Output;
    EXPECT_FALSE(Contains(run.Output, "Calculating..."));

    dir_.AddFile("empty/one.txt", "");
    dir_.AddFile("empty/two.txt", "");
    run = Run(Win("empty") + " /S");
    EXPECT_EQ(run.Status, 1u) << "only empty files: nothing read";
    EXPECT_TRUE(Contains(run.Output, "one.txt D41D8CD98F00B204E9800998ECF8427E\r\n"));
    EXPECT_FALSE(Contains(run.Output, "Calculation summary:")) << run.Output;
}

TEST_F(Calculation, ReportsAFileHeldByAnotherProcessAndGoesOn) {
    const fs::path locked = dir_.AddFile("locked.dat", RandomBytes(5000, 1));
    dir_.AddFile("free.txt", "free");
    const std::string hold = "cd '" + dir_.Path().string() +
                             "' && '" TALLIX_SOURCE_DIR "/scripts/wine-run' '" TALLIX_WIN64_DIR
                             "/holdfile.exe' '" +
                             Win("locked.dat") + "' 8 >/dev/null 2>&1 &";
    ASSERT_EQ(std::system(hold.c_str()), 0);
    for (int i = 0; i < 100 && !fs::exists(dir_.Path() / "locked.dat.held"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(fs::exists(dir_.Path() / "locked.dat.held"));
    fs::remove(dir_.Path() / "locked.dat.held");

    const TRunResult run = Run(Win() + " /S");
    EXPECT_EQ(run.Status, 4u) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "free.txt " + Md5sum(dir_.Path() / "free.txt")));
    EXPECT_FALSE(Contains(run.Output, "locked.dat ")) << "no line for a file that did not open";
    EXPECT_TRUE(Contains(run.Output, "File access errors:   \r\nCode - 32 [") &&
                Contains(run.Output, "]\r\n  " + Win("locked.dat") + "\r\n"))
        << run.Output;
    EXPECT_TRUE(Contains(run.Output, "  Processed 1 files in 0 folders")) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "  File access errors - 1 (50%)")) << run.Output;
}

// A file of 1.5 GiB (mostly a hole) keeps the reader busy long enough.
class Cancelling : public Calculation {
protected:
    void SetUp() override {
        const fs::path big = dir_.AddFile("big.bin", "start");
        fs::resize_file(big, (uint64_t(3) << 29));
    }
};

TEST_F(Cancelling, CtrlCInARealConsoleStopsWithoutSummary) {
    TTmuxPane pane("tallix.exe", Win(), 80, 24, dir_.Path());
    ASSERT_TRUE(pane.WaitFor("Calculating...")) << pane.Screen();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    pane.SendKeys("C-c");
    EXPECT_EQ(pane.WaitForExit(), 0);
    EXPECT_TRUE(pane.WaitFor("Cancelled by the user.")) << pane.Screen();
    EXPECT_FALSE(Contains(pane.Screen(), "Calculation summary:")) << pane.Screen();
}

TEST_F(Cancelling, InterruptSignalStopsWithoutSummary) {
    TTmuxPane pane("tallix.exe", Win(), 80, 24, dir_.Path());
    ASSERT_TRUE(pane.WaitFor("Calculating...")) << pane.Screen();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    // Only this test's program: its command line names the test's own folder.
    const std::string kill =
        "pkill -INT -f 'tallix\\.exe.*" + dir_.Path().filename().string() + "'";
    ASSERT_EQ(std::system(kill.c_str()), 0);
    EXPECT_EQ(pane.WaitForExit(), 0);
    EXPECT_TRUE(pane.WaitFor("Cancelled by the user.")) << pane.Screen();
    EXPECT_FALSE(Contains(pane.Screen(), "Calculation summary:")) << pane.Screen();
}

TEST_F(Calculation, FillsAConsoleLineExactlyWithoutAnExtraBreak) {
    const std::string exact(43, 'e'); // 43 + ".txt" = 47 characters
    dir_.AddFile(exact + ".txt", "x");
    dir_.AddFile("z.txt", "z");
    TTmuxPane pane("tallix.exe", Win() + " /S", 80, 24, dir_.Path());
    EXPECT_EQ(pane.WaitForExit(), 0);
    ASSERT_TRUE(pane.WaitFor("Calculation summary:")) << pane.Screen();
    EXPECT_TRUE(Contains(pane.Screen(),
                         exact + ".txt " + Md5sum(dir_.Path() / (exact + ".txt")) + "\nz.txt "))
        << "the console moved on by itself:\n"
        << pane.Screen();
}

TEST_F(Calculation, HashesASparseFileBeyondFourGiB) {
    const fs::path big = dir_.AddFile("sparse/big.bin", "head");
    fs::resize_file(big, (uint64_t(9) << 29) + 3); // 4.5 GiB and 3 bytes
    const TRunResult run = Run(Win("sparse/big.bin"));
    EXPECT_TRUE(Contains(run.Output, " " + Md5sum(big) + "\r\n")) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "with total size 4.50 Gb.")) << run.Output;
}

} // namespace
} // namespace e2e
