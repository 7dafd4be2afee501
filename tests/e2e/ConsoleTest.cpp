// The program in a real console: paging, single-key prompts and names as
// they are; and the log, which keeps the names the console shows.
#include "Harness.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace e2e {
namespace {

namespace fs = std::filesystem;

TEST(RealConsole, HelpPausesAtThePaneHeightAndGoesOnWithAnyKey) {
    TTempDir dir;
    TTmuxPane pane("tallix.exe", "/?", dir.Path());
    ASSERT_TRUE(pane.WaitFor("Press any key...")) << pane.Screen();
    // 20 lines, then the pause: banner (3), usage (2), and 15 lines of help.
    const std::string screen = pane.Screen();
    EXPECT_EQ(screen.rfind("MD5 Checksum calculation", 0), 0u) << screen;
    EXPECT_TRUE(Contains(screen, "in the same pass.\n\nPress any key...")) << screen;
    // Captured as soon as the pause shows: a pause that did not wait would
    // have written the rest with it.
    EXPECT_FALSE(Contains(screen, "/H or /? Help.")) << screen;

    pane.SendKeys("x");
    EXPECT_EQ(pane.WaitForExit(), 0);
    EXPECT_TRUE(pane.WaitFor("follow the edited ones.")) << pane.Screen();
    EXPECT_EQ(pane.Screen().find("Press any key...", screen.find("Press any key...") + 1),
              std::string::npos)
        << "pauses only once";
}

// Other keys (A and Esc for a yes/no question) are ignored: the answer is
// the key after them, and it is echoed. A redirected input consents to
// nothing: the command-line tests show it.
TEST(RealConsole, PromptsTakeOnlyTheirAnswersAndEchoThem) {
    TTempDir dir;
    TTmuxPane yesNo("askprobe.exe", "yn", dir.Path());
    ASSERT_TRUE(yesNo.WaitFor("Overwrite? Yes[Y]\\No[N]")) << yesNo.Screen();
    yesNo.SendKeys("a");
    yesNo.SendKeys("Escape");
    yesNo.SendKeys("y");
    EXPECT_EQ(yesNo.WaitForExit(), 0);
    EXPECT_TRUE(yesNo.WaitFor("Overwrite? Yes[Y]\\No[N] Y\n\nanswer=Yes")) << yesNo.Screen();
}

// The console shows the user's names as they are, whatever its code pages,
// in the per-file lines and in the changed and missing blocks; a control
// character read from a damaged list shows as a code. Redirected output
// carries the names in the OEM code page. (Wine's console turns each half
// of a surrogate pair into a character of its own, so an emoji is checked
// in the log, not on this screen.)
TEST(RealConsole, ShowsNamesAsTheyAre) {
    TTempDir dir;
    dir.AddFile("Data/\xD0\xB6\xD1\x83\xD0\xBA.txt", "abc");
    dir.AddFile("Data/\xE5\x86\x99\xE7\x9C\x9F.txt", "photo");
    dir.AddFile("Data/M\xC3\xBCller.txt", "name");
    const std::string data = WinPath(dir.Path() / "Data");
    {
        TTmuxPane pane("tallix.exe", data, dir.Path());
        EXPECT_EQ(pane.WaitForExit(), 0) << pane.Screen();
        const std::string screen = pane.Screen();
        for (const char* line : {"\xD0\xB6\xD1\x83\xD0\xBA.txt 900150983CD24FB0D6963F7D28E17F72\n",
                                 "\xE5\x86\x99\xE7\x9C\x9F.txt ", "M\xC3\xBCller.txt "})
            EXPECT_TRUE(Contains(screen, line)) << line << "\n" << screen;
    }
    ASSERT_EQ(RunTallix(data + " /T:R /S").Status, 0u);
    const fs::path list = dir.Path() / "Data/Data.md5";
    dir.AddFile("Data/Data.md5", ReadFile(list) + "900150983CD24FB0D6963F7D28E17F72 *a" +
                                     std::string(1, '\0') + "b.txt\r\n");
    // Changed after the list was, so an edit, not damage.
    dir.AddFile("Data/\xD0\xB6\xD1\x83\xD0\xBA.txt", "abd");
    fs::last_write_time(dir.Path() / "Data/\xD0\xB6\xD1\x83\xD0\xBA.txt",
                        fs::last_write_time(list) + std::chrono::minutes(1));
    fs::remove(dir.Path() / "Data/\xE5\x86\x99\xE7\x9C\x9F.txt");
    TTmuxPane pane("tallix.exe", data + " /V", dir.Path());
    EXPECT_EQ(pane.WaitForExit(), 2 | 4096) << pane.Screen();
    const std::string screen = pane.Screen();
    EXPECT_TRUE(Contains(screen, "Changed files:\n  \xD0\xB6\xD1\x83\xD0\xBA.txt\n")) << screen;
    EXPECT_TRUE(Contains(screen, "  " + data + "\\a<0x00>b.txt\n")) << screen;
    EXPECT_TRUE(Contains(screen, "  " + data + "\\\xE5\x86\x99\xE7\x9C\x9F.txt\n")) << screen;

    const std::string redirected = RunTallix(data + " /V /S").Output;
    EXPECT_TRUE(Contains(redirected, "Changed files:    \r\n  ???.txt\r\n")) << redirected;
    EXPECT_TRUE(Contains(RunTallix(data + "\\M\xC3\xBCller.txt").Output, "\\M\x81ller.txt "))
        << "code page 437 holds u-umlaut at 0x81";
}

// A long run on a console shows the files done and, after two seconds, the
// time left beside the marks; the final screen holds the marks alone.
// Redirected output keeps the bare marks (the fault tests read them).
TEST(RealConsole, ALongRunShowsTheTimeLeftAndEndsClean) {
    TTempDir dir;
    dir.AddFile("Data/a.txt", "abc");
    // About ten seconds of hashing where MD5 runs at 700 MB/s.
    fs::resize_file(dir.AddFile("Data/big.bin", "head"), uint64_t(7) << 30);
    TTmuxPane pane("tallix.exe", WinPath(dir.Path() / "Data") + " /T:R", dir.Path());
    ASSERT_TRUE(pane.WaitFor(" left", std::chrono::seconds(60))) << pane.Screen();
    EXPECT_TRUE(Contains(pane.Screen(), "/2 files, ")) << pane.Screen();
    EXPECT_EQ(pane.WaitForExit(std::chrono::minutes(5)), 0) << pane.Screen();
    const std::string screen = pane.Screen();
    EXPECT_TRUE(Contains(screen, "]100%\n   " + std::string(50, '*') + "\n")) << screen;
    EXPECT_FALSE(Contains(screen, " left")) << screen;
    EXPECT_FALSE(Contains(screen, " files,")) << screen;
}

// The log keeps every name: the changed, missing and unreadable files with
// their full paths, in UTF-8 behind a byte-order mark once a name is outside
// the ANSI code page; the next run replaces such a log.
TEST(Log, NamesTheChangedMissingAndUnreadableFiles) {
    TTempDir dir;
    dir.AddFile("Data/\xD0\xB6\xD1\x83\xD0\xBA.txt", "abc");
    dir.AddFile("Data/\xF0\x9F\x98\x80.txt", "smile");
    dir.AddFile("Data/held.txt", "held");
    dir.AddFile("Data/a.txt", "a");
    const std::string data = WinPath(dir.Path() / "Data");
    const std::string log = WinPath(dir.Path() / "run.log");
    ASSERT_EQ(RunTallix(data + " /T:R /S").Status, 0u);
    dir.AddFile("Data/\xD0\xB6\xD1\x83\xD0\xBA.txt", "abd");
    fs::remove(dir.Path() / "Data/\xF0\x9F\x98\x80.txt");
    ASSERT_TRUE(HoldFile(dir.Path() / "Data/held.txt"));
    const TRunResult run = RunTallix(data + " /V /S /L:" + log);
    EXPECT_EQ(run.Status, 2u | 4u | 4096u) << run.Output;
    std::string text = ReadFile(dir.Path() / "run.log");
    EXPECT_EQ(text.rfind("\xEF\xBB\xBFThis file is a log file generated by Tallix", 0), 0u) << text;
    const std::string lines[] = {"Changed files:    \r\n  " + data +
                                     "\\\xD0\xB6\xD1\x83\xD0\xBA.txt\r\n",
                                 "Code - 2 [",
                                 "  " + data + "\\\xF0\x9F\x98\x80.txt\r\n",
                                 "Code - 32 [",
                                 "  " + data + "\\held.txt\r\n",
                                 "Application terminated with code - 4102"};
    for (const std::string& line : lines)
        EXPECT_TRUE(Contains(text, line)) << line << "\n" << text;

    // An ANSI log of the same run replaces it.
    fs::remove(dir.Path() / "Data/Data.md5");
    EXPECT_EQ(RunTallix(data + "\\a.txt /S /L:" + log).Status, 0u);
    text = ReadFile(dir.Path() / "run.log");
    EXPECT_EQ(text.rfind("This file is a log file generated by Tallix", 0), 0u) << text;
}

} // namespace
} // namespace e2e
