#include "console/Console.h"
#include "console/Text.h"
#include "system/LxSys.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>

namespace {

// A console device that records what is written and replays scripted keys.
struct TFakeScreen {
    std::string Text;           // everything written, highlighting marked as <b> and </b>
    std::deque<TKeyPress> Keys; // the keys still to be pressed; then input error 6
    bool IsScreen = true;       // a console rather than a file
    uint32_t WriteError = 0;    // when set, writes fail with it and write nothing
    bool Interrupted = false;   // input was interrupted: reading fails with 995
};

class TFakeConsoleDevice final : public TConsoleDevice {
public:
    explicit TFakeConsoleDevice(TFakeScreen& screen) : screen_(screen) {}
    bool IsScreen() const override { return screen_.IsScreen; }
    uint32_t Write(std::string_view text) override {
        if (screen_.WriteError == 0)
            screen_.Text += text;
        return screen_.WriteError;
    }
    void SetHighlight(bool on) override { screen_.Text += on ? "<b>" : "</b>"; }
    void SetCursorVisible(bool) override {}
    bool ReadKeyPress(TKeyPress& key, uint32_t& error) override {
        if (screen_.Interrupted || screen_.Keys.empty()) {
            error = screen_.Interrupted ? 995 : 6;
            return false;
        }
        key = screen_.Keys.front();
        screen_.Keys.pop_front();
        return true;
    }
    void InterruptInput() override { screen_.Interrupted = true; }

private:
    TFakeScreen& screen_;
};

// A log kept in text; while *error (when given) is set, writes fail with it.
class TFakeLog final : public TLogSink {
public:
    explicit TFakeLog(std::string& text, const uint32_t* error = nullptr)
        : text_(text), error_(error) {}
    uint32_t Write(std::string_view text) override {
        if (Error() == 0)
            text_ += text;
        return Error();
    }
    uint32_t Flush() override { return Error(); }

private:
    uint32_t Error() const { return error_ != nullptr ? *error_ : 0; }
    std::string& text_;
    const uint32_t* error_;
};

std::unique_ptr<TConsole> MakeConsole(TFakeScreen& screen, int width, int height = 0) {
    return std::make_unique<TConsole>(std::make_unique<TFakeConsoleDevice>(screen), width, height);
}

TEST(ConsoleWrapping, BreaksLinesShorterThanTheWidth) {
    const std::string word(100, 'x');
    struct {
        int Width;
        std::string Text;
        std::string Shown;
    } const cases[] = {
        {20, "aaaa bbbb cccc dddd eeee", "aaaa bbbb cccc dddd\r\neeee"},
        {20, "ab " + word + " cd\r\n", "ab\r\n" + word + "\r\ncd\r\n"},
        // No empty line before a leading long word.
        {20, word + " cd", word + "\r\ncd"},
        // The last word before a break must fit like any other.
        {20, "aaaa bbbb cccc dddd eeee\r\nffff\r\n", "aaaa bbbb cccc dddd\r\neeee\r\nffff\r\n"},
        // Indentation survives after a break and vanishes at the start.
        {40, "  first\r\n  second  word\r\n", "first\r\n  second  word\r\n"},
        // A blank before a break stays, unless the line has no room for it.
        {20, "tail. \r\nnext", "tail. \r\nnext"},
        {20, "aaaa bbbb cccc dddd \r\nx", "aaaa bbbb cccc dddd\r\nx"},
    };
    for (const auto& c : cases) {
        TFakeScreen screen;
        auto console = MakeConsole(screen, c.Width);
        console->WriteWrapped(c.Text);
        EXPECT_EQ(screen.Text, c.Shown) << c.Text;
    }
}

// Leading breaks after a break and empty texts are skipped; a break before a
// text leaves an empty line after a previous line, unless that text already
// ended with a break of its own.
TEST(ConsoleLines, SkipLeadingBreaksAndStartAfterAnOpenLineOnANewLine) {
    TFakeScreen screen;
    auto console = MakeConsole(screen, 80);
    console->WriteLine("one\r\n");
    console->WriteLine("\r\ntwo");
    console->WriteLine("three\r\n");
    console->WriteLine("");
    EXPECT_EQ(screen.Text, "one\r\n\r\ntwo\r\nthree\r\n\r\n");
    EXPECT_TRUE(console->LastEndedWithBreak());

    screen.Text.clear();
    console->Write("progress ...");
    console->WriteLine("done", false, true);
    console->WriteLine("next", false, true);
    console->WriteLine("block\r\n");
    console->WriteLine("after", false, true);
    EXPECT_EQ(screen.Text, "progress ...\r\ndone\r\n\r\nnext\r\nblock\r\n\r\nafter\r\n");
}

// The full line "Code - 5 [Access is denied]" is 27 characters: it fits in
// 28 columns; a cut line ends at the edge, where a console moves on by
// itself, so only a file gets a break after it. The log holds the full line
// and then the shown one.
TEST(ConsoleSystemError, FitsTheLineOrCutsItToEndAtTheEdge) {
    const struct {
        int Width;
        int Indent;
        bool IsScreen;
        std::string Shown;
    } cases[] = {
        {28, 0, true, "Code - 5 [Access is denied]\r\n"},
        {27, 0, true, "Code - 5 [Access is den...]"},
        {24, 0, true, "Code - 5 [Access is ...]"},
        {24, 2, true, "  Code - 5 [Access i...]"},
        {24, 0, false, "Code - 5 [Access is ...]\r\n"},
    };
    for (const auto& c : cases) {
        TFakeScreen screen;
        screen.IsScreen = c.IsScreen;
        std::string log;
        auto console = MakeConsole(screen, c.Width);
        console->OpenLog(std::make_unique<TFakeLog>(log));
        console->WriteSystemError(5, "Access is denied. \r\n", c.Indent);
        EXPECT_EQ(screen.Text, "<b>" + c.Shown + "</b>") << c.Width;
        EXPECT_EQ(log, "Code - 5 [Access is denied]\r\n" + c.Shown);
    }
}

TEST(ConsolePaging, PausesOnceWhenTheScreenIsFull) {
    TFakeScreen screen;
    screen.Keys.push_back({0x20, ' '});
    auto console = MakeConsole(screen, 80, 7);
    console->WritePaged("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8", "Press any key...");
    EXPECT_EQ(screen.Text,
              "1\r\n2\r\n3\r\n\r\nPress any key...   \r\n\r\n\r\n4\r\n5\r\n6\r\n7\r\n8\r\n");
    EXPECT_TRUE(screen.Keys.empty());
}

// Keys outside the answers are ignored and the choice is echoed; any key,
// a shift key too, ends a pause.
TEST(ConsolePrompt, TakesOnlyItsAnswersAndEchoesTheChoice) {
    TFakeScreen screen;
    screen.Keys = {{0x41, 'a'}, {0x1B, 0x1B}, {0x4E, 'n'}, {0x41, 'a'}, {0x10, 0}, {0x59, 'y'}};
    auto console = MakeConsole(screen, 80);
    EXPECT_EQ(console->AskAnswer("Overwrite?", ansYesNo), ansNo);
    EXPECT_EQ(screen.Text, "\r\nOverwrite? Yes[Y]\\No[N] N\r\n\r\n");
    EXPECT_EQ(console->AskAnswer("Overwrite?", ansYesNoAll), ansAll);
    EXPECT_EQ(console->AskAnswer("Pause", ansAnyKey), ansNone);
    EXPECT_EQ(console->AskAnswer("Pause", ansAnyKey), ansYes);
}

// An unreadable input is reported on the screen only; a question
// interrupted by a cancel ends without a word about input.
TEST(ConsolePrompt, EndsWithoutAnswerOnAnUnreadableOrInterruptedInput) {
    TFakeScreen screen;
    std::string log;
    auto console = MakeConsole(screen, 80);
    console->OpenLog(std::make_unique<TFakeLog>(log));
    EXPECT_EQ(console->AskAnswer("Create path?", ansYesNo), ansNone);
    EXPECT_EQ(screen.Text, "\r\nCreate path? Yes[Y]\\No[N]Input error 6.\r\n");
    EXPECT_EQ(log, "\r\nCreate path? Yes[Y]\\No[N] ");

    screen.Text.clear();
    screen.Keys = {{0x59, 'y'}};
    console->InterruptInput();
    EXPECT_EQ(console->AskAnswer("Overwrite?", ansYesNo), ansNone);
    EXPECT_EQ(screen.Text, "\r\nOverwrite? Yes[Y]\\No[N]");
}

// Names show as they are, in UTF-8; what would act on the screen shows as
// a code; paths are shortened by the columns they fill, a wide character
// filling two.
TEST(ShownText, EscapesWhatCannotShowAndShortensByColumns) {
    const struct {
        std::u16string Name;
        int Columns;
        std::string Shown;
    } cases[] = {
        {u"C:\\Данные\\жук.txt", 80, "C:\\Данные\\жук.txt"},
        {std::u16string(u"a\0b\x1B\x7F\x85.txt", 10), 80, "a<0x00>b<0x1B><0x7F><0x85>.txt"},
        {std::u16string(u"x") + char16_t(0xDC00) + u"\U0001F600", 80, "x<0xDC00>😀"},
        // 3 + 4 x 2 + 1 + 5 columns: 17.
        {u"C:\\写真写真\\a.txt", 17, "C:\\写真写真\\a.txt"},
        {u"C:\\写真写真\\a.txt", 16, "C:\\写真...\\a.txt"},
        {u"C:\\写真写真\\a.txt", 15, "C:\\写...\\a.txt"},
    };
    for (const auto& c : cases) {
        const std::string shown =
            c.Columns == 80 ? ShownName(c.Name) : ShownPath(c.Name, c.Columns);
        EXPECT_EQ(shown, c.Shown);
        EXPECT_EQ(ShownPath(c.Name, c.Columns), shown);
        EXPECT_LE(TextColumns(shown), c.Columns);
    }
    EXPECT_EQ(TextColumns("a写😀ж"), 6);
    EXPECT_EQ(FirstColumns("ab写c", 3), "ab");
    EXPECT_EQ(FirstColumns("ab写c", 4), "ab写");
}

// A status line is written over itself on a console, cut to the width,
// and removed before whatever comes next or when asked (once); a file and
// the log never see it.
TEST(ConsoleStatus, IsWrittenInPlaceAndRemovedBeforeTheNextText) {
    TFakeScreen screen;
    std::string log;
    auto console = MakeConsole(screen, 20);
    console->OpenLog(std::make_unique<TFakeLog>(log));
    console->ShowStatus("  12 entries");
    console->ShowStatus("  9 ent");
    console->ShowStatus("a very long status line");
    console->WriteLine("next");
    console->ShowStatus("end");
    console->ClearStatus();
    console->ClearStatus();
    EXPECT_EQ(screen.Text, "\r  12 entries\r  9 ent     \ra very long status \r" +
                               std::string(19, ' ') + "\rnext\r\n\rend\r   \r");
    EXPECT_EQ(log, "next\r\n");

    TFakeScreen file;
    file.IsScreen = false;
    console = MakeConsole(file, 20);
    console->ShowStatus("  12 entries");
    console->WriteLine("next");
    EXPECT_EQ(file.Text, "next\r\n");
}

// The highlighted line of system error 112, as this system words it.
std::string DiskFullLine() {
    std::string text = SystemErrorMessage(112);
    while (!text.empty() && (text.back() == '.' || static_cast<unsigned char>(text.back()) < '!'))
        text.pop_back();
    return "<b>Code - 112 [" + text + "]\r\n</b>";
}

// A refused write to the screen silences the screen and nothing else; a
// refused write to the log closes it with one report where the owner asks
// for it, also after the final flush.
TEST(ConsoleFailures, AFailedScreenFallsSilentAndAFailedLogClosesWithOneReport) {
    TFakeScreen screen;
    std::string log;
    uint32_t logError = 0;
    auto console = MakeConsole(screen, 80);
    console->OpenLog(std::make_unique<TFakeLog>(log, &logError));
    console->WriteLine("one");
    screen.WriteError = 232;
    console->WriteLine("two");
    screen.WriteError = 0;
    console->WriteLine("three");
    EXPECT_EQ(screen.Text, "one\r\n");
    EXPECT_EQ(log, "one\r\ntwo\r\nthree\r\n");
    EXPECT_FALSE(console->LogWriteFailed());

    TFakeScreen shown;
    console = MakeConsole(shown, 80);
    console->OpenLog(std::make_unique<TFakeLog>(log, &logError));
    console->Write("progress");
    logError = 112;
    // The failure in the middle of a block is told after it, once.
    console->WriteLine("done");
    logError = 0;
    console->WriteLine("after");
    EXPECT_EQ(shown.Text, "progressdone\r\nafter\r\n");
    console->ReportLogFailure();
    console->ReportLogFailure();
    console->CloseLog();
    EXPECT_EQ(shown.Text,
              "progressdone\r\nafter\r\n\r\nCan't write the log file.\r\n" + DiskFullLine());
    EXPECT_TRUE(console->LogWriteFailed());
    EXPECT_FALSE(console->LogIsOpen());
}

} // namespace
