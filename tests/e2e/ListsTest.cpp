// Checksum lists end to end: every placement, byte for byte, with digests
// from md5sum on the host and the lists checked back with md5sum -c.
#include "Harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace e2e {
namespace {

namespace fs = std::filesystem;

class Lists : public TDataTest {
protected:
    bool Checks(const std::string& list) { return Md5sumChecks(dir_.Path() / list); }
};

TEST_F(Lists, OneListPerFolderWithBareNames) {
    TRunResult run = Run(data_ + " /T:F /R /S");
    EXPECT_EQ(run.Status, 0u) << run.Output;
    EXPECT_EQ(List("Data/Data.md5"), kListHeader + ListEntry(a_, "a.txt") + ListEntry(b_, "b.doc"));
    EXPECT_EQ(List("Data/Sub/Sub.md5"), kListHeader + ListEntry(c_, "c.txt"));
    EXPECT_TRUE(Checks("Data/Data.md5"));
    EXPECT_TRUE(Checks("Data/Sub/Sub.md5"));
    EXPECT_FALSE(Contains(run.Output, "0%[")) << "no scale with /S";
    EXPECT_FALSE(Contains(run.Output, "All results were written")) << "no success line with /S";

    // Again, overwriting: the lists themselves are never hashed.
    run = Run(data_ + " /T:F /R /O");
    EXPECT_EQ(run.Status, 0u) << run.Output;
    EXPECT_EQ(List("Data/Data.md5"), kListHeader + ListEntry(a_, "a.txt") + ListEntry(b_, "b.doc"));
    EXPECT_TRUE(Contains(run.Output,
                         "0%[..................................................]100%\r\n"
                         "   **************************************************"))
        << run.Output;
    EXPECT_TRUE(Contains(run.Output, "  All results were written successfully according to "
                                     "command-line switches.\r\n"));
}

// Each placement and list name: the lists byte for byte. A given list
// name loses its folder for the root list and lends its extension to each
// file's lists; existing lists are never hashed.
TEST_F(Lists, EachPlacementWritesItsListsByteForByte) {
    const std::string below =
        kListHeader + ListEntry(a_, "a.txt") + ListEntry(b_, "b.doc") + ListEntry(c_, "Sub\\c.txt");
    const TDriveLetter drive('t', dir_.Path() / "Data");
    const struct {
        std::string Arguments;
        const char* List;
        std::string Bytes;
    } rows[] = {
        {data_ + " /T:E /R /S", "Data/Sub/c.txt.md5", kListHeader + ListEntry(c_, "c.txt")},
        {data_ + " /T:R /R /S", "Data/Data.md5", below},
        {data_ + " Q:\\x\\sums.txt /T:R /R /S", "Data/sums.txt", below},
        {data_ + " sums /R", "sums", below},
        {WinPath(a_) + " " + WinPath(dir_.Path() / "one.md5"), "one.md5",
         kListHeader + ListEntry(a_, "a.txt")},
        {"T:\\ /T:R /R /S", "Data/.md5", below},
    };
    for (const auto& row : rows) {
        const TRunResult run = Run(row.Arguments);
        EXPECT_EQ(run.Status, 0u) << row.Arguments << run.Output;
        EXPECT_EQ(List(row.List), row.Bytes) << row.Arguments;
        fs::remove(dir_.Path() / row.List);
    }
    Add("Data/old.sfv", "old list");
    EXPECT_EQ(Run(data_ + " sfv /T:E /S").Status, 0u);
    EXPECT_EQ(List("Data/a.txt.sfv"), kListHeader + ListEntry(a_, "a.txt"));
    EXPECT_FALSE(fs::exists(dir_.Path() / "Data/old.sfv.sfv"));
}

TEST_F(Lists, RefusesUnusableListPaths) {
    TRunResult run = Run(data_ + " " + WinPath(dir_.Path() / "Data/Sub") + " /S");
    EXPECT_EQ(run.Status, 128u) << "a folder as File: " << run.Output;
    EXPECT_TRUE(
        Contains(run.Output, "Invalid path \"" + WinPath(dir_.Path() / "Data/Sub") + "\"."));

    run = Run(data_ + " a?b.md5 /S");
    EXPECT_EQ(run.Status, 128u) << run.Output;

    run = Run(data_ + " Q:\\sums.md5 /S");
    EXPECT_EQ(run.Status, 16u) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "Can't create\\open file:\r\nQ:\\sums.md5\r\nCode - 15 ["))
        << run.Output;
    EXPECT_TRUE(Contains(run.Output, "\r\nPlease, specify the correct path to a checksum file."));

    run = Run(WinPath(a_) + " " + WinPath(dir_.Path() / "Data") + " /S");
    EXPECT_EQ(run.Status, 128u) << "a folder as the list of a file: " << run.Output;
}

// The file is reported with the system's code and counted in the summary.
TEST_F(Lists, LeavesOutFilesThatCouldNotBeRead) {
    ASSERT_TRUE(HoldFile(Add("Data/locked.bin", "locked")));
    const TRunResult run = Run(data_ + " /T:F");
    EXPECT_EQ(run.Status, 4u) << run.Output;
    EXPECT_EQ(List("Data/Data.md5"), kListHeader + ListEntry(a_, "a.txt") + ListEntry(b_, "b.doc"))
        << "no made-up digest for the unread file";
    EXPECT_TRUE(Contains(run.Output, "File access errors:   \r\nCode - 32 [") &&
                Contains(run.Output, "]\r\n  " + data_ + "\\locked.bin\r\n"))
        << run.Output;
    EXPECT_TRUE(Contains(run.Output, "  Processed 2 files in 0 folders")) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "  File access errors - 1 (33%)")) << run.Output;
}

// Two existing per-folder lists: one question covers both.
TEST_F(Lists, AsksOnceBeforeReplacingSeveralLists) {
    ASSERT_EQ(Run(data_ + " /T:F /R /S").Status, 0u);
    const std::string before = List("Data/Data.md5");
    Add("Data/new.txt", "new");
    {
        TTmuxPane pane("tallix.exe", data_ + " /T:F /R", dir_.Path());
        ASSERT_TRUE(pane.WaitFor("Overwrite existing files? Yes[Y]\\No[N]")) << pane.Screen();
        EXPECT_TRUE(Contains(pane.Screen(), "Cursory verification has detected 2 files"));
        pane.SendKeys("y");
        EXPECT_EQ(pane.WaitForExit(), 0) << pane.Screen();
    }
    EXPECT_TRUE(Contains(List("Data/Data.md5"), "*new.txt\r\n"));
    {
        TTmuxPane pane("tallix.exe", data_ + " /T:F /R", dir_.Path());
        ASSERT_TRUE(pane.WaitFor("Overwrite existing files? Yes[Y]\\No[N]")) << pane.Screen();
        pane.SendKeys("n");
        // Then each list is asked about when it is written; All covers the rest.
        ASSERT_TRUE(pane.WaitFor("Overwrite? Yes[Y]\\No[N]\\All[A]")) << pane.Screen();
        pane.SendKeys("a");
        EXPECT_EQ(pane.WaitForExit(), 0) << pane.Screen();
    }
}

TEST_F(Lists, AsksAboutASingleExistingListWhenItIsWritten) {
    ASSERT_EQ(Run(data_ + " /T:F /S").Status, 0u);
    TTmuxPane pane("tallix.exe", data_ + " /T:F", dir_.Path());
    ASSERT_TRUE(pane.WaitFor("already exists.")) << pane.Screen();
    EXPECT_FALSE(Contains(pane.Screen(), "Cursory verification")) << pane.Screen();
    pane.SendKeys("n");
    EXPECT_EQ(pane.WaitForExit(), 16) << pane.Screen();
    EXPECT_TRUE(pane.WaitFor("Can't write to output file.")) << pane.Screen();
}

// Names that fit the ANSI code page (1252 here) stay ANSI; a list that would
// lose a character is UTF-8 with a byte-order mark and checks with md5sum.
TEST_F(Lists, WritesUtf8OnlyWhenANameDoesNotFitTheCodePage) {
    const fs::path muller = Add("Latin/Müller.txt", "m");
    TRunResult run = Run(WinPath(dir_.Path() / "Latin") + " /T:F /S");
    EXPECT_EQ(run.Status, 0u) << run.Output;
    EXPECT_EQ(List("Latin/Latin.md5"), kListHeader + Md5sum(muller) + " *M\xFCller.txt\r\n");

    const fs::path house = Add("Data/Sub/дом.txt", "house");
    run = Run(data_ + " /T:F /R /S");
    EXPECT_EQ(run.Status, 0u) << run.Output;
    EXPECT_EQ(List("Data/Sub/Sub.md5"),
              "\xEF\xBB\xBF" + kListHeader + ListEntry(c_, "c.txt") + ListEntry(house, "дом.txt"));
    EXPECT_EQ(List("Data/Data.md5"), kListHeader + ListEntry(a_, "a.txt") + ListEntry(b_, "b.doc"))
        << "the other list stays ANSI";
    EXPECT_TRUE(Checks("Data/Sub/Sub.md5"));
}

TEST_F(Lists, CreatesAMissingListFolderOnlyAfterYes) {
    const std::string list = WinPath(dir_.Path() / "out" / "deep" / "sums.md5");
    {
        TTmuxPane pane("tallix.exe", data_ + " " + list + " /S", dir_.Path());
        ASSERT_TRUE(pane.WaitFor("Create path? Yes[Y]\\No[N]")) << pane.Screen();
        pane.SendKeys("n");
        EXPECT_EQ(pane.WaitForExit(), 16) << pane.Screen();
        EXPECT_TRUE(pane.WaitFor("Please define the right path.")) << pane.Screen();
        EXPECT_FALSE(fs::exists(dir_.Path() / "out")) << "No leaves no trace";
    }
    TTmuxPane pane("tallix.exe", data_ + " " + list + " /S", dir_.Path());
    ASSERT_TRUE(pane.WaitFor("Create path? Yes[Y]\\No[N]")) << pane.Screen();
    pane.SendKeys("y");
    EXPECT_EQ(pane.WaitForExit(), 0) << pane.Screen();
    EXPECT_EQ(List("out/deep/sums.md5"),
              kListHeader + ListEntry(a_, "a.txt") + ListEntry(b_, "b.doc"));
}

// A volume of 64 KiB, filled up but for room of two list files.
class FullVolume : public ::testing::Test {
protected:
    void SetUp() override {
        if (!volume_.Mounted())
            GTEST_SKIP() << "mounting a small volume needs root";
    }
    void FillLeaving(uint64_t bytes) { ASSERT_TRUE(volume_.FillLeaving(bytes)); }
    void AddFile(const std::string& relative, const std::string& bytes) {
        fs::create_directories((volume_.Path() / relative).parent_path());
        std::ofstream(volume_.Path() / relative, std::ios::binary) << bytes;
    }
    TTempDir dir_;
    TSmallVolume volume_{64 * 1024};
};

// Six lists: one per folder and one in the root, which holds the filler.
TEST_F(FullVolume, SomeListsWrittenAndSomeNot) {
    for (int i = 0; i < 5; ++i)
        AddFile("f" + std::to_string(i) + "/x.txt", "x");
    FillLeaving(2 * 4096);
    TDriveLetter drive('u', volume_.Path());
    const TRunResult run = RunTallix("U:\\ /T:F /R /O");
    EXPECT_EQ(run.Status, 32u) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "The result was successfully written in 2 files of 6.\r\n"))
        << run.Output;
}

} // namespace
} // namespace e2e
