// Updating lists (/U) end to end: in each placement only new and edited
// files are read and the entries of files that are gone stay; a list of
// md5sum keeps its form; a list that gains nothing or does not load is
// left byte for byte; a verification adds its new files and follows edits,
// never damage, so that damage is told from edits run after run.
#include "Harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace e2e {
namespace {

namespace fs = std::filesystem;

class Update : public TDataTest {
protected:
    Update() { Add("Data/Sub/\xD0\xB6\xD1\x83\xD0\xBA.txt", "bug"); }
    TRunResult Run(const std::string& arguments) { return TDataTest::Run(data_ + arguments); }
    // Writes bytes into file with a last-write time shift away from list's.
    void Change(const fs::path& file, const std::string& bytes, const fs::path& list,
                std::chrono::minutes shift) {
        const auto listTime = fs::last_write_time(list);
        Add(fs::relative(file, dir_.Path()).string(), bytes);
        fs::last_write_time(file, listTime + shift);
    }
};

// An unchanged listed file is held open without sharing: reading it would
// fail the run. a.txt is edited, Sub\c.txt deleted, Sub\m.txt added; md5sum
// tells the digests the lists must hold.
TEST_F(Update, EachPlacementReadsOnlyNewAndEditedFilesAndKeepsTheEntriesOfFilesGone) {
    const struct {
        const char* Switches;
        const char* ListOfA; // below Data, with a.txt's entry "a.txt"
        const char* ListOfSub;
        const char* Sub; // how the list of Sub names the files in it
        const char* Report;
    } cases[] = {
        {" sums.md5 /R", "../sums.md5", "../sums.md5", "Sub\\",
         "  Lists updated - 1: 1 entries added, 1 updated.\r\n"},
        {" /T:R /R", "Data.md5", "Data.md5", "Sub\\",
         "  Lists updated - 1: 1 entries added, 1 updated.\r\n"},
        {" /T:E /R", "a.txt.md5", "Sub/c.txt.md5", "",
         "  Lists updated - 1: 0 entries added, 1 updated.\r\n  New lists written - 1\r\n"},
        {" /T:F /R", "Data.md5", "Sub/Sub.md5", "",
         "  Lists updated - 2: 1 entries added, 1 updated.\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Switches);
        Add("Data/a.txt", "abc");
        Add("Data/Sub/c.txt", "sub file");
        const fs::path held = Add("Data/held.bin", "held");
        ASSERT_EQ(Run(std::string(c.Switches) + " /S").Status, 0u);
        const std::string entryOfC = ListEntry(c_, c.Sub + std::string("c.txt"));
        Change(a_, "abd", At("Data") / c.ListOfA, std::chrono::minutes(1));
        fs::remove(c_);
        const fs::path m = Add("Data/Sub/m.txt", "m");
        ASSERT_TRUE(HoldFile(held));
        const TRunResult run = Run(std::string(c.Switches) + " /U");
        EXPECT_EQ(run.Status, 2u) << run.Output;
        EXPECT_TRUE(Contains(run.Output, "Files missing from the lists:\r\n  Sub\\c.txt\r\n"))
            << run.Output;
        EXPECT_TRUE(Contains(run.Output, "  1 listed files missing: their entries are kept.\r\n"))
            << run.Output;
        EXPECT_TRUE(Contains(run.Output, c.Report)) << run.Output;
        EXPECT_TRUE(Contains(ReadFile(At("Data") / c.ListOfA), ListEntry(a_, "a.txt")));
        const std::string sub = ReadFile(At("Data") / c.ListOfSub);
        EXPECT_TRUE(Contains(sub, entryOfC)) << sub;
        if (std::string(c.Switches) != " /T:E /R")
            EXPECT_TRUE(Contains(sub, ListEntry(m, c.Sub + std::string("m.txt")))) << sub;
        else
            EXPECT_EQ(ReadFile(At("Data/Sub/m.txt.md5")), kListHeader + ListEntry(m, "m.txt"));

        fs::remove(held);
        fs::remove(m);
        RemoveLists();
    }
}

// A list md5sum wrote (LF, "/", two blanks, UTF-8 names) gains after its
// bytes the very lines md5sum writes for the files added.
TEST_F(Update, AListOfMd5sumKeepsItsFormAndStaysReadableByIt) {
    const std::string md5sum = "cd '" + At("Data").string() + "' && md5sum ";
    const std::string command =
        md5sum + "a.txt Sub/c.txt >sums.md5 && " + md5sum +
        "a.txt Sub/c.txt b.doc Sub/\xD0\xB6\xD1\x83\xD0\xBA.txt >../expected";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const TRunResult run = Run(" " + data_ + "\\sums.md5 /R /U /S");
    EXPECT_EQ(run.Status, 0u) << run.Output;
    EXPECT_EQ(ReadFile(At("Data/sums.md5")), ReadFile(At("expected")));
}

// Nothing new: the list keeps its bytes and its time. /V /U reads each file
// once: the listed ones are verified, the new one added. A changed file
// written after its list is an edit (4096), whose entry follows it; one
// whose time is not later than its list's changed without being written:
// possible damage, marked and counted, with 16384, and its entry stays.
// After an update a file changed with its time set back is damage, an edit
// is not. A damaged line: the list is named with its error and left as it
// is (bit 16).
TEST_F(Update, ListsFollowEditsNotDamageAndAreLeftAsTheyAreWhenNothingIsAddedOrTheyDoNotLoad) {
    ASSERT_EQ(Run(" /T:R /R /S").Status, 0u);
    const fs::path list = At("Data/Data.md5");
    const std::string bytes = ReadFile(list);
    const auto time = fs::last_write_time(list);
    TRunResult run = Run(" /T:R /R /U");
    EXPECT_EQ(run.Status, 0u) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "  The lists are up to date: nothing added or updated.\r\n"))
        << run.Output;
    EXPECT_EQ(ReadFile(list), bytes);
    EXPECT_EQ(fs::last_write_time(list), time);

    const std::string oldC = ListEntry(c_, "Sub\\c.txt");
    Change(a_, "abd", list, std::chrono::minutes(1));
    Change(c_, "sub filx", list, -std::chrono::minutes(60));
    const fs::path n = Add("Data/n.txt", "n");
    run = Run(" /T:R /R /V /U");
    EXPECT_EQ(run.Status, 4096u | 16384u) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "New files:\r\n  n.txt\r\n")) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "\r\n  Sub\\c.txt [not modified since the list]\r\n"))
        << run.Output;
    // Of the four listed files: the new one is read, not listed.
    EXPECT_TRUE(Contains(run.Output, "  Changed files - 2 (50%)\r\n    of which 1 not modified"))
        << run.Output;
    EXPECT_TRUE(Contains(run.Output, "  Lists updated - 1: 1 entries added, 1 updated.\r\n"))
        << run.Output;
    std::string text = ReadFile(list);
    EXPECT_TRUE(Contains(text, ListEntry(a_, "a.txt"))) << text;
    EXPECT_TRUE(Contains(text, oldC)) << text;
    EXPECT_TRUE(Contains(text, ListEntry(n, "n.txt"))) << text;

    Add("Data/Sub/c.txt", "sub file");
    Change(a_, "abe", list, std::chrono::minutes(2));
    ASSERT_EQ(Run(" /T:R /R /U /S").Status, 0u);
    Change(b_, "dox", list, std::chrono::minutes(1));
    Change(a_, "abf", list, -std::chrono::minutes(1));
    run = Run(" /T:R /R /V /S");
    EXPECT_EQ(run.Status, 4096u | 16384u) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "  a.txt [not modified since the list]\r\n")) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "  b.doc\r\n")) << run.Output;

    const std::string damaged = ReadFile(list) + "not a line\r\n";
    Add("Data/Data.md5", damaged);
    Add("Data/m.txt", "m");
    run = Run(" /T:R /R /U");
    EXPECT_EQ(run.Status, 16u) << run.Output;
    EXPECT_TRUE(
        Contains(run.Output, "This list did not load cleanly, so it was left as it is:\r\n" +
                                 data_ + "\\Data.md5\r\n"))
        << run.Output;
    EXPECT_EQ(ReadFile(list), damaged);
}

} // namespace
} // namespace e2e
