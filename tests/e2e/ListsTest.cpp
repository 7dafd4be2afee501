// Checksum lists end to end: every placement, byte for byte, with digests
// from md5sum on the host and the lists checked back with md5sum -c.
#include "Harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

namespace e2e {
namespace {

namespace fs = std::filesystem;

using Lists = TDataTest;

// Each placement and list name: the lists byte for byte. A given list
// name loses its folder for the root list and lends its extension to each
// file's lists; existing lists are never hashed.
TEST_F(Lists, EachPlacementWritesItsListsByteForByte) {
    const std::string below =
        kListHeader + ListEntry(a_, "a.txt") + ListEntry(b_, "b.doc") + ListEntry(c_, "Sub\\c.txt");
    const TDriveLetter drive('t', At("Data"));
    const struct {
        std::string Arguments;
        const char* List;
        std::string Bytes;
    } rows[] = {
        {data_ + " /T:E /R /S", "Data/Sub/c.txt.md5", kListHeader + ListEntry(c_, "c.txt")},
        {data_ + " /T:R /R /S", "Data/Data.md5", below},
        {data_ + " Q:\\x\\sums.txt /T:R /R /S", "Data/sums.txt", below},
        {data_ + " sums /R", "sums", below},
        {"T:\\ /T:R /R /S", "Data/.md5", below},
    };
    for (const auto& row : rows) {
        const TRunResult run = Run(row.Arguments);
        EXPECT_EQ(run.Status, 0u) << row.Arguments << run.Output;
        EXPECT_EQ(List(row.List), row.Bytes) << row.Arguments;
        fs::remove(At(row.List));
    }
    Add("Data/old.sfv", "old list");
    EXPECT_EQ(Run(data_ + " sfv /T:E /S").Status, 0u);
    EXPECT_EQ(List("Data/a.txt.sfv"), kListHeader + ListEntry(a_, "a.txt"));
    EXPECT_FALSE(fs::exists(At("Data/old.sfv.sfv")));
}

// One list per folder, with bare names. Names that fit the ANSI code page
// (1252 here) stay ANSI; a list that would lose a character is UTF-8 with a
// byte-order mark; md5sum checks both. Run again, overwriting: the lists
// themselves are never hashed.
TEST_F(Lists, OneListPerFolderInUtf8OnlyWhenANameDoesNotFitTheCodePage) {
    const fs::path muller = Add("Data/Latin/Müller.txt", "m");
    const fs::path house = Add("Data/Sub/дом.txt", "house");
    const std::string sub =
        "\xEF\xBB\xBF" + kListHeader + ListEntry(c_, "c.txt") + ListEntry(house, "дом.txt");
    const std::string data = kListHeader + ListEntry(a_, "a.txt") + ListEntry(b_, "b.doc");
    TRunResult run = Run(data_ + " /T:F /R /S");
    EXPECT_EQ(run.Status, 0u) << run.Output;
    EXPECT_EQ(List("Data/Sub/Sub.md5"), sub);
    EXPECT_EQ(List("Data/Latin/Latin.md5"), kListHeader + Md5sum(muller) + " *M\xFCller.txt\r\n")
        << "the other lists stay ANSI";
    EXPECT_EQ(List("Data/Data.md5"), data);
    // md5sum accepts the UTF-8 list; the ANSI one's lines are of the same form.
    const std::string check =
        "cd '" + At("Data/Sub").string() + "' && md5sum -c Sub.md5 >/dev/null 2>&1";
    EXPECT_EQ(std::system(check.c_str()), 0);
    EXPECT_FALSE(Contains(run.Output, "0%[")) << "no scale with /S";
    EXPECT_FALSE(Contains(run.Output, "All results were written")) << "no success line with /S";

    run = Run(data_ + " /T:F /R /O");
    EXPECT_EQ(run.Status, 0u) << run.Output;
    EXPECT_EQ(List("Data/Data.md5"), data);
    EXPECT_TRUE(Contains(run.Output,
                         "0%[..................................................]100%\r\n"
                         "   **************************************************"))
        << run.Output;
}

// Questions in a console: one covers several existing lists, and after No
// each list is asked about when it is written, All covering the rest; a
// single existing list is asked about only then; a missing list folder is
// created only after Yes.
TEST_F(Lists, AsksBeforeReplacingListsOrCreatingTheirFolder) {
    ASSERT_EQ(Run(data_ + " /T:F /R /S").Status, 0u);
    Add("Data/new.txt", "new");
    const char* const written = "All results were written";
    const struct {
        std::string Arguments;
        bool PreCheck; // the question about all the lists comes first
        std::vector<std::pair<std::string, std::string>> Answers; // a question, its key
        long Status;
        const char* Then; // shown at the end
    } panes[] = {
        {data_ + " /T:F /R", true, {{"Overwrite existing files? Yes[Y]\\No[N]", "y"}}, 0, written},
        {data_ + " /T:F /R",
         true,
         {{"Overwrite existing files? Yes[Y]\\No[N]", "n"},
          {"Overwrite? Yes[Y]\\No[N]\\All[A]", "a"}},
         0,
         written},
        {data_ + " /T:F", false, {{"already exists.", "n"}}, 16, "Can't write to output file."},
        {data_ + " " + Win("no/deep/sums.md5") + " /S",
         false,
         {{"Create path? Yes[Y]\\No[N]", "n"}},
         16,
         "Please define the right path."},
        {data_ + " " + Win("out/deep/sums.md5"),
         false,
         {{"Create path? Yes[Y]\\No[N]", "y"}},
         0,
         "Result written in"},
    };
    for (const auto& p : panes) {
        SCOPED_TRACE(p.Arguments);
        TTmuxPane pane("tallix.exe", p.Arguments, dir_.Path());
        ASSERT_TRUE(pane.WaitFor(p.Answers[0].first)) << pane.Screen();
        EXPECT_EQ(Contains(pane.Screen(), "Cursory verification has detected 2 files"), p.PreCheck)
            << pane.Screen();
        for (const auto& [question, key] : p.Answers) {
            ASSERT_TRUE(pane.WaitFor(question)) << pane.Screen();
            pane.SendKeys(key);
        }
        EXPECT_EQ(pane.WaitForExit(), p.Status) << pane.Screen();
        EXPECT_TRUE(pane.WaitFor(p.Then)) << pane.Screen();
    }
    EXPECT_TRUE(Contains(List("Data/Data.md5"), "*new.txt\r\n"));
    EXPECT_FALSE(fs::exists(At("no"))) << "No leaves no trace";
    EXPECT_EQ(List("out/deep/sums.md5"), kListHeader + ListEntry(a_, "a.txt") +
                                             ListEntry(b_, "b.doc") +
                                             Entry("Data/new.txt", "new.txt"));
}

} // namespace
} // namespace e2e
