// Everything the program shows on the screen: line and text writers with
// word wrapping at the console width, the blank-line discipline,
// indentation, mirroring into the log, highlighting, the cursor, the
// system-error line, page-wise output and single-key prompts.
//
// Text is UTF-8 throughout, so that names show as they are; the device and
// the log turn it into what their channel holds.
//
// The screen itself is reached through a TConsoleDevice, so the rules here
// are the same on every system and testable without a console.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct TKeyPress {
    uint16_t VirtualKey = 0;
    char Character = 0; // the key's ANSI character, 0 for keys without one
};

// The screen behind standard output and the keyboard behind standard input.
class TConsoleDevice {
public:
    virtual ~TConsoleDevice() = default;
    // True for a console, which moves to the next line by itself when a
    // line is filled to its edge; false for a file or a pipe.
    virtual bool IsScreen() const = 0;
    // Writes UTF-8 text; the system's error code when it refuses it, else 0.
    virtual uint32_t Write(std::string_view text) = 0;
    // Bright form of the current colour on or off; ignored where not a console.
    virtual void SetHighlight(bool on) = 0;
    virtual void SetCursorVisible(bool visible) = 0;
    // Waits for the next key press (releases and other events are skipped).
    // False, with the system error code in error, when input cannot be read
    // or InterruptInput was called.
    virtual bool ReadKeyPress(TKeyPress& key, uint32_t& error) = 0;
    // Ends a waiting ReadKeyPress and fails every later one; any thread may call it.
    virtual void InterruptInput() = 0;
};

// The log file's channel: it takes UTF-8 text.
class TLogSink {
public:
    virtual ~TLogSink() = default;
    // Both return the system's error code when it refuses the write, else 0.
    virtual uint32_t Write(std::string_view text) = 0;
    virtual uint32_t Flush() = 0;
};

enum TAnswer : uint8_t { ansYes = 0, ansNo = 1, ansAll = 2, ansNone = 3 };

// A set of answers: bit 0 Yes, bit 1 No, bit 2 All.
using TAnswers = uint8_t;
constexpr TAnswers AnswerBit(TAnswer a) {
    return static_cast<TAnswers>(1u << a);
}
constexpr TAnswers ansYesNo = AnswerBit(ansYes) | AnswerBit(ansNo);
constexpr TAnswers ansYesNoAll = ansYesNo | AnswerBit(ansAll);
constexpr TAnswers ansAnyKey = 0;

// Writing can fail without stopping the program: after a failed write to
// the screen nothing more is shown; after a failed write to the log the log
// is closed, and ReportLogFailure tells it once where the owner calls it.
class TConsole {
public:
    // width: columns used for wrapping and fitting; height: rows after which
    // WritePaged pauses once, 0 for never (output that is not a console).
    TConsole(std::unique_ptr<TConsoleDevice> device, int width, int height);
    ~TConsole();

    int Width() const { return width_; }
    bool IsScreen() const { return device_->IsScreen(); }
    int Height() const { return height_; }
    bool LastEndedWithBreak() const { return lastEndedWithBreak_; }

    // Writes text and a line break (see the unit comment for the flags).
    void WriteLine(std::string_view text, bool wrap = false, bool breakBefore = false,
                   int indent = 0, bool skipLeadingBreaks = true);
    // The same without a line break at the end.
    void Write(std::string_view text, bool wrap = false, bool breakBefore = false, int indent = 0);
    // Word-wraps text to lines shorter than the width (console only).
    void WriteWrapped(std::string_view text);
    // Text straight to the screen: no wrapping, no log, no change of the break flag.
    void WriteRaw(std::string_view text);
    // A line that tells how a long phase moves, written over itself in
    // place on a console (nothing on a file or a pipe, nothing in the log),
    // cut to the width. Whatever is written next removes it first.
    void ShowStatus(std::string_view text);
    // Removes the status line now: at the end nothing may be left claiming
    // that work goes on.
    void ClearStatus();

    void HighlightOn();
    void HighlightOff();
    void ShowCursor();
    void HideCursor();

    // The highlighted line "Code - %d [%s]" with the system's text for code,
    // shortened with "..." so that it fits the width.
    void WriteSystemError(uint32_t code, int indent);
    // The same with the system's text for code given (trailing blanks,
    // line breaks and period are dropped).
    void WriteSystemError(uint32_t code, std::string_view systemText, int indent);

    // Writes text line by line (cut at CR; CR LF is one break), pausing with
    // promptText once when the screen is full.
    void WritePaged(std::string_view text, std::string_view promptText);
    void ResetPageCounter() { pageLines_ = 0; }

    // Asks a single-key question; ansNone when input cannot be read, the
    // question was interrupted, or the key pressed (with no answers allowed)
    // is none of Y, N and A.
    TAnswer AskAnswer(std::string_view question, TAnswers answers);
    // Ends a question that waits for a key, and every later one, with
    // ansNone and without a word; the only member any thread may call.
    void InterruptInput();

    // The log takes a copy of everything written through WriteLine, Write
    // and WriteSystemError while it is open.
    void OpenLog(std::unique_ptr<TLogSink> log);
    bool LogIsOpen() const { return log_ != nullptr; }
    void WriteLogLine(std::string_view text);
    // The same line to the screen and, in another form (a full path where
    // the screen shows it shortened), to the log.
    void WriteLineLoggedAs(std::string_view text, std::string_view logText);
    // Flushes and closes the log (program end).
    void CloseLog();
    // A write to the log failed, so the log was closed before its end.
    bool LogWriteFailed() const { return logWriteFailed_; }
    // Shows "Can't write the log file." and the system's error line once,
    // when the log failed. Called where the report cannot be taken for part
    // of a block of lines (the end of the run), not where the write failed.
    void ReportLogFailure();

private:
    void WriteToScreen(std::string_view text, bool wrap);
    void ToScreen(std::string_view text);
    void ToLog(std::string_view text, bool flush = false);
    void CloseFailedLog(uint32_t error);

    std::unique_ptr<TConsoleDevice> device_;
    std::unique_ptr<TLogSink> log_;
    int width_;
    int height_;
    bool lastEndedWithBreak_ = false;
    int pageLines_ = 0;
    bool screenFailed_ = false;
    int statusColumns_ = 0; // of the status line shown now, 0 for none
    bool logWriteFailed_ = false;
    uint32_t logError_ = 0;
    bool logFailureReported_ = false;
    // Set by InterruptInput on any thread, read by the main thread.
    std::atomic<bool> inputInterrupted_{false};
};

// The program's console (created on first use on standard output and input).
TConsole& Console();

// The writers under the names the rest of the program uses.
void ConsoleWriteLine(std::string_view text, bool wrap = false, bool breakBefore = false,
                      int indent = 0, bool skipLeadingBreaks = true);
void WriteSystemError(uint32_t code, int indent);
void WritePaged(std::string_view text, std::string_view promptText);
TAnswer AskAnswer(std::string_view question, TAnswers answers);
void HighlightOn();
void HighlightOff();
// ConsoleWriteLine in the bright form of the current colour (back to normal
// also when an exception passes).
void ConsoleWriteHighlighted(std::string_view text, bool wrap = false, bool breakBefore = false,
                             int indent = 0);
