// The program in a real console: paging and single-key prompts.
#include "Harness.h"
#include "Tmux.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

TEST(RealConsole, HelpPausesAtThePaneHeightAndGoesOnWithAnyKey) {
    TTempDir dir;
    TTmuxPane pane("tallix.exe", "/?", 80, 24, dir.Path());
    ASSERT_TRUE(pane.WaitFor("Press any key...")) << pane.Screen();
    // 20 lines, then the pause: banner (3), usage (2), and 15 lines of help.
    const std::string screen = pane.Screen();
    EXPECT_EQ(screen.rfind("MD5 Checksum calculation", 0), 0u) << screen;
    EXPECT_NE(screen.find("   /O    Overwrite existing files.\n\nPress any key..."),
              std::string::npos)
        << screen;
    EXPECT_EQ(screen.find("/H or /? Help."), std::string::npos) << screen;
    EXPECT_EQ(pane.WaitForExit(std::chrono::milliseconds(500)), -1) << "waits for a key";

    pane.SendKeys("x");
    EXPECT_EQ(pane.WaitForExit(), 0);
    EXPECT_TRUE(pane.WaitFor("Verify files for sample above.")) << pane.Screen();
    EXPECT_EQ(pane.Screen().find("Press any key...", screen.find("Press any key...") + 1),
              std::string::npos)
        << "pauses only once";
}

TEST(RealConsole, YesNoPromptIgnoresOtherKeysAndEchoesTheAnswer) {
    TTempDir dir;
    TTmuxPane pane("askprobe.exe", "yn", 80, 24, dir.Path());
    ASSERT_TRUE(pane.WaitFor("Overwrite? Yes[Y]\\No[N]")) << pane.Screen();
    pane.SendKeys("a");
    pane.SendKeys("Escape");
    EXPECT_EQ(pane.WaitForExit(std::chrono::milliseconds(800)), -1) << "A and Esc are ignored";
    pane.SendKeys("n");
    EXPECT_EQ(pane.WaitForExit(), 0);
    ASSERT_TRUE(pane.WaitFor("answer=No")) << pane.Screen();
    EXPECT_NE(pane.Screen().find("Overwrite? Yes[Y]\\No[N] N\n\nanswer=No"), std::string::npos)
        << pane.Screen();
}

TEST(RealConsole, YesNoAllPromptReturnsAllForA) {
    TTempDir dir;
    TTmuxPane pane("askprobe.exe", "yna", 80, 24, dir.Path());
    ASSERT_TRUE(pane.WaitFor("Overwrite? Yes[Y]\\No[N]\\All[A]")) << pane.Screen();
    pane.SendKeys("a");
    EXPECT_EQ(pane.WaitForExit(), 0);
    EXPECT_TRUE(pane.WaitFor("Overwrite? Yes[Y]\\No[N]\\All[A] A\n\nanswer=All")) << pane.Screen();
}

// The console shows the user's names as they are, whatever its code pages;
// redirected output carries them in the OEM code page.
TEST(RealConsole, ShowsLettersOutsideAsciiAsTheyAre) {
    TTempDir dir;
    TTmuxPane pane("tallix.exe", "Z:\\no\\Müller.txt /S", 80, 24, dir.Path());
    EXPECT_TRUE(pane.WaitFor("Z:\\no\\Müller.txt\n")) << pane.Screen();
    EXPECT_EQ(pane.WaitForExit(), 128);
    const TRunResult redirected = RunTallix("Z:\\no\\Müller.txt /S");
    EXPECT_NE(redirected.Output.find("Z:\\no\\M\x81ller.txt\r\n"), std::string::npos)
        << "code page 437 holds u-umlaut at 0x81";
}

TEST(RedirectedConsole, PromptReportsTheInputErrorAndConsentsToNothing) {
    const TRunResult run = RunProgram("askprobe.exe", "yn");
    EXPECT_EQ(run.Output, "\r\nOverwrite? Yes[Y]\\No[N]Input error 6.\r\nanswer=None\r\n");
}

} // namespace
} // namespace e2e
