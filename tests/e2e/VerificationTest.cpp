// Verification end to end: lists written by the program (every placement),
// by md5sum and by hand, checked back; changed, missing and unreadable
// files with their summary lines and exit bits; the /C: file.
#include "Harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace e2e {
namespace {

namespace fs = std::filesystem;

// The data folder with a name outside the ANSI code page, Data\Sub\жук.txt.
class Verification : public TDataTest {
protected:
    Verification() { Add("Data/Sub/\xD0\xB6\xD1\x83\xD0\xBA.txt", "bug"); }
};

// The comparison is shared: a change is shown for the placements of lists
// found beside the files and of a list given by name, and for a list's
// entries in a sub-folder whatever /R says. The folders that hold the files
// read count as the calculation counts them: each folder below the base
// once. Files that no loaded list names are new, in the folders the run
// covers: with /R the tree below the source, without it the source folder
// and the folders the lists name. None right after a calculation, never the
// run's own outputs or lists, and no exit bit.
TEST_F(Verification, ListsOfEveryPlacementVerifyAndShowChangesAndNewFiles) {
    Add("Data/Sub/Deeper/d.txt", "deeper");
    const std::string all = "New files:\r\n  Fresh\\f.txt\r\n  n.txt\r\n  Sub\\m.txt\r\n\r\n";
    const std::string top = "New files:\r\n  n.txt\r\n  Sub\\m.txt\r\n\r\n";
    const struct {
        const char* Calculate;
        const char* Verify;
        const char* Processed;
        const char* Changed; // below Data, and as shown; nullptr for no change
        const char* Shown;
        int New; // the new files shown: all three, the two of the top, or 0 untried
    } cases[] = {
        {" /T:F /R", " /T:F /R /V", "5 files in 2 folders ", "a.txt", "a.txt", 3},
        {" /T:E /R", " /T:E /R /V", "5 files in 2 folders ", "a.txt", "a.txt", 3},
        {" /T:R /R", " /T:R /R /V", "5 files in 2 folders ", "a.txt", "a.txt", 0},
        {" /T:R /R", " /V", "5 files in 2 folders ", "Sub/c.txt", "Sub\\c.txt", 2},
        {" /T:R", " /V", "2 files in 0 folders ", nullptr, nullptr, 0},
        {" sums.md5 /R", " sums.md5 /R /V", "5 files in 2 folders ", "a.txt", "a.txt", 3},
        {" sums.md5 /R", " sums.md5 /V", "5 files in 2 folders ", "Sub/c.txt", "Sub\\c.txt", 0},
        {" sums.md5 /T:R /R", " sums.md5 /T:R /R /V", "5 files in 2 folders ", nullptr, nullptr, 0},
    };
    const std::string outputs = " /S /L:" + data_ + "\\run.log /C:" + data_ + "\\changed.txt";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Calculate);
        TRunResult run = Run(data_ + c.Calculate + " /S");
        ASSERT_EQ(run.Status, 0u) << run.Output;
        run = Run(data_ + c.Verify + outputs);
        EXPECT_EQ(run.Status, 0u) << run.Output;
        EXPECT_TRUE(Contains(run.Output, "Verification summary:\r\n  Files not changed.\r\n"
                                         "  Processed " +
                                             std::string(c.Processed)))
            << run.Output;
        EXPECT_FALSE(Contains(run.Output, "New files")) << run.Output;
        if (c.New != 0) {
            const fs::path added[] = {Add("Data/n.txt", "n"), Add("Data/Sub/m.txt", "m"),
                                      Add("Data/Fresh/f.txt", "f"), At("Data/Fresh")};
            run = Run(data_ + c.Verify + outputs);
            EXPECT_EQ(run.Status, 0u) << run.Output;
            EXPECT_TRUE(Contains(run.Output, c.New == 3 ? all : top)) << run.Output;
            EXPECT_TRUE(
                Contains(run.Output, "\\Sec.\r\n  New files - " + std::to_string(c.New) + "\r\n"))
                << run.Output;
            for (const fs::path& path : added)
                fs::remove(path);
        }
        if (c.Changed != nullptr) {
            const std::string file = "Data/" + std::string(c.Changed);
            const std::string before = ReadFile(At(file));
            Add(file, before + "!");
            run = Run(data_ + c.Verify + outputs);
            EXPECT_EQ(run.Status, 4096u) << run.Output;
            EXPECT_TRUE(
                Contains(run.Output, "Changed files:    \r\n  " + std::string(c.Shown) + "\r\n"))
                << run.Output;
            Add(file, before);
        }
        fs::remove(At("Data/run.log"));
        fs::remove(At("Data/changed.txt"));
        RemoveLists();
    }
}

// Which lists a run uses: a single file's own list, a list as the source
// (every entry, without /R), a list given for a file, the folders' lists
// found, and a drive root's list named by the extension alone. md5sum's
// lists are UTF-8 without a byte-order mark here, in text, binary and tag
// lines, with "./" before names; an ANSI list by hand holds an accented
// name and ".\". Entries that lead out of their list's folder are looked up
// where they point; files outside the base folder are reported by their
// full paths. The /C: file is written only when a file changed. A damaged
// list among found ones is reported and the others are verified.
TEST_F(Verification, EachSourceFindsItsListsAndEachEntryItsFile) {
    const fs::path other = Add("Other/o.txt", "other");
    const fs::path gone = Add("Other/gone.txt", "gone");
    const fs::path muller = Add("Data/Sub/M\xC3\xBCller.txt", "m");
    Add("Data/x.zip", "zip");
    Add("Data/x.zip.md5", Entry("Data/x.zip", "x.zip") + Entry("Data/a.txt", "a.txt"));
    Add("Data/list.md5", Entry("Data/a.txt", "a.txt") + Entry("Data/Sub/c.txt", "Sub\\c.txt"));
    Add("Data/Data.md5", Entry("Data/a.txt", "a.txt"));
    Add("Data/Sub/Sub.md5", Entry("Data/Sub/c.txt", "./c.txt") + Entry("Data/a.txt", "..\\a.txt") +
                                Entry("Data/b.doc", Win("Data/b.doc")) +
                                Entry("Other/o.txt", "..\\..\\Other\\o.txt") +
                                Entry("Other/gone.txt", WinPath(gone)));
    Add("Data/b.doc.md5", Entry("Data/b.doc", "b.doc"));
    Add("Data/.md5", Entry("Data/a.txt", "a.txt") + Entry("Data/b.doc", "b.doc"));
    Add("Data/ansi.md5", Entry("Data/a.txt", ".\\a.txt") + Entry("Data/b.doc", "b.doc") +
                             Md5sum(muller) + " *Sub\\M\xFCller.txt\r\n");
    const std::pair<const char*, const char*> forms[] = {
        {"", "text"}, {"-b ", "binary"}, {"--tag ", "tag"}};
    for (const auto& [mode, name] : forms) {
        const std::string command = "cd '" + At("Data").string() + "' && md5sum " + mode +
                                    "a.txt b.doc ./Sub/[!S]* >" + name + ".md5";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    const TDriveLetter drive('q', At("Data"));
    const std::pair<std::string, std::string> cases[] = {
        {data_ + "\\x.zip /V", "  Processed 1 files"},
        {data_ + "\\list.md5 /V", "  Processed 2 files"},
        {data_ + "\\a.txt " + data_ + "\\x.zip.md5 /V", "  Processed 1 files"},
        {data_ + " /T:F /R /V /C:changed.txt", "  Processed 6 files"},
        {"Q:\\ /V", "  Processed 2 files"},
        {data_ + "\\text.md5 /V", "  Processed 5 files"},
        {data_ + "\\binary.md5 /V", "  Processed 5 files"},
        {data_ + "\\tag.md5 /V", "  Processed 5 files"},
        {data_ + "\\ansi.md5 /V", "  Processed 3 files"},
    };
    for (const auto& [arguments, processed] : cases) {
        const TRunResult run = Run(arguments + " /S");
        EXPECT_EQ(run.Status, 0u) << arguments << run.Output;
        EXPECT_TRUE(Contains(run.Output, "  Files not changed.\r\n" + processed))
            << arguments << run.Output;
    }
    EXPECT_FALSE(fs::exists(At("changed.txt"))) << "nothing changed, no file";

    fs::remove(gone);
    Add("Other/o.txt", "changed");
    Add("Data/Bad/Bad.md5", "; fine\r\nnot a list\r\n");
    const TRunResult run = Run(data_ + " /T:F /R /V /S /C:changed.txt");
    EXPECT_EQ(run.Status, 2u | 1024u | 4096u) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "Checksum load error:     \r\n  " + data_ +
                                         "\\Bad\\Bad.md5\r\n  Line - 2, Code - [Wrong symbol]\r\n"))
        << run.Output;
    EXPECT_TRUE(Contains(run.Output, "  Can't load reference checksums from 1 files (33%)\r\n"))
        << run.Output;
    EXPECT_TRUE(Contains(run.Output, "]\r\n  " + WinPath(gone) + "\r\n")) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "Changed files:    \r\n  " + WinPath(other) + "\r\n"))
        << run.Output;
    EXPECT_EQ(ReadFile(At("changed.txt")), WinPath(other) + "\r\n");
}

// 100 listed files: changed, unreadable and missing ones with their lines
// and bits; the warning from 15 per cent of missing files on.
TEST_F(Verification, ChangedMissingAndUnreadableFiles) {
    for (int i = 0; i < 100; ++i)
        Add("Many/f" + std::to_string(100 + i) + ".txt", std::to_string(i));
    const std::string many = Win("Many");
    ASSERT_EQ(Run(many + " /T:R /S").Status, 0u);
    for (int i = 0; i < 14; ++i)
        fs::remove(At("Many/f" + std::to_string(186 + i) + ".txt"));
    TRunResult run = Run(many + " /V /S");
    EXPECT_EQ(run.Status, 2u) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "  Files not changed.\r\n  Processed 86 files")) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "  14 files missing from the list. (14%)\r\n")) << run.Output;
    EXPECT_FALSE(Contains(run.Output, "Could not find")) << run.Output;

    for (int i = 0; i < 6; ++i)
        fs::remove(At("Many/f" + std::to_string(180 + i) + ".txt"));
    Add("Many/f100.txt", "changed");
    ASSERT_TRUE(HoldFile(At("Many/f101.txt")));
    run = Run(many + " /V /S");
    EXPECT_EQ(run.Status, 2u | 4u | 4096u) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "Scanning errors:  \r\nCode - 2 [")) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "  " + many + "\\f199.txt\r\n")) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "File access errors:   \r\nCode - 32 [")) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "Changed files:    \r\n  f100.txt\r\n\r\n")) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "Verification summary:\r\n"
                                     "  Changed files - 1 (1%)\r\n"
                                     "  Processed 79 files in "))
        << run.Output;
    EXPECT_TRUE(Contains(run.Output,
                         "  File access errors - 1 (1%)\r\n"
                         "  20 files missing from the list. (20%)\r\n"
                         "\r\n"
                         "Could not find a large amount of files from the list.(20%).\r\n"
                         "The files may have been deleted or moved.\r\n"
                         "We recommend to refresh the checksum list.\r\n"))
        << run.Output;
}

TEST_F(Verification, NothingToVerify) {
    const std::string notFound = "\r\nReference checksums not found.\r\n";
    // Both empty now; f.txt was listed with the digest of another file.
    Add("Data/e.txt");
    const std::string entryOfF = Entry("Data/a.txt", "f.txt");
    Add("Data/f.txt");
    const struct {
        const char* Name;
        std::optional<std::string> List; // Data\Data.md5; none for no list
        const char* Arguments;
        uint32_t Status;
        std::string Shown;
    } cases[] = {
        // The line names the lists looked for and where.
        {"no folder list", std::nullopt, " /T:F /V", 512,
         notFound + "Lists looked for: each folder's own list (Folder_name.md5) in " + data_ +
             "\r\n"},
        {"no file list", std::nullopt, " /T:E /R /V", 512,
         notFound + "Lists looked for: each file's own list (File_name.md5) in " + data_ +
             " and its sub-folders\r\n"},
        {"empty list", "", " /V", 8, "\r\nNo files from the list were found. Nothing to verify!"},
        // An entry whose name is a folder's is a listed file that is not
        // there: a scan error (2), kept beside nothing to verify.
        {"a folder listed", "900150983CD24FB0D6963F7D28E17F72 *Sub\r\n", " /V", 2 + 8,
         "\r\nNo files from the list were found. Nothing to verify!"},
        {"damaged list", "900150983CD24FB0D6963F7D28E17F *a.txt\r\n", " /V", 1024,
         "is not a checksum list or is damaged.\r\nLine - 1, Code - [Wrong hash size]"},
        // Empty files read no bytes, but they are verified: a verdict all the
        // same, here on a file emptied without being written (damage).
        {"empty files", "D41D8CD98F00B204E9800998ECF8427E *e.txt\r\n" + entryOfF, " /V",
         512 + 4096 + 16384,
         "  Changed files - 1 (50%)\r\n    of which 1 not modified since the list was written: "
         "possible damage\r\n  Processed 2 files in 0 folders with total size 0.00 Kb.\r\n"},
    };
    for (const auto& c : cases) {
        fs::remove(At("Data/Data.md5"));
        if (c.List)
            Add("Data/Data.md5", *c.List);
        const TRunResult run = Run(data_ + c.Arguments + " /S");
        EXPECT_EQ(run.Status, c.Status) << c.Name << run.Output;
        EXPECT_TRUE(Contains(run.Output, c.Shown)) << c.Name << run.Output;
    }
}

// The /C: file holds full paths. Its path is checked before reading, so that no question waits at
// the end of a long run; refused, it leaves the verification going on, and the end says that the
// file was not written and why.
TEST_F(Verification, ChangedListFileHoldsFullPathsAndItsPathIsCheckedBeforeReading) {
    const std::string deep(90, 'd');
    const fs::path file = Add("Data/" + deep + "/deep.txt", "deep");
    ASSERT_EQ(Run(data_ + " /T:R /R /S").Status, 0u);
    Add("Data/" + deep + "/deep.txt", "deeper");
    const fs::path changed = At("out/new/changed.txt");
    const std::pair<std::string, std::string> refused[] = {
        {data_, "This path is a folder, so the list of changed files was not written:\r\n"},
        // Without a console nobody consents: nothing is created.
        {WinPath(changed), "The folder of this file was not created, so the list of changed "
                           "files was not written:\r\n"}};
    TRunResult run;
    for (const auto& [path, said] : refused) {
        run = Run(data_ + " /V /R /C:" + path);
        EXPECT_EQ(run.Status, 4096u | 16u) << run.Output;
        EXPECT_TRUE(Contains(run.Output, "  Changed files - 1 (") &&
                    Contains(run.Output, said + path + "\r\n"))
            << run.Output;
    }
    EXPECT_FALSE(fs::exists(At("out")));
    EXPECT_LT(run.Output.find("Create path? Yes[Y]\\No[N]Input error 6."),
              run.Output.find("Calculating...\r\n"))
        << run.Output;

    TTmuxPane pane("tallix.exe", data_ + " /V /R /C:" + WinPath(changed), dir_.Path());
    ASSERT_TRUE(pane.WaitFor("Create path?")) << pane.Screen();
    pane.SendKeys("y");
    EXPECT_EQ(pane.WaitForExit(), 4096);
    EXPECT_EQ(ReadFile(changed), WinPath(file) + "\r\n");
    EXPECT_TRUE(pane.WaitFor("Changed files written in " + WinPath(changed))) << pane.Screen();
}

} // namespace
} // namespace e2e
