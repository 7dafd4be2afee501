#include "console/Console.h"

#include "console/Console_ENG.h"
#include "console/Text.h"
#include "system/LxSys.h"
#include "system/ScopeExit.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::string_view kLineBreak = "\r\n";

bool IsBreak(char c) {
    return c == '\r' || c == '\n';
}

bool EndsWithBreak(std::string_view text) {
    return !text.empty() && IsBreak(text.back());
}

// indent blanks, then an optional line break, then text.
std::string Indented(int indent, bool lineBreak, std::string_view text) {
    std::string s(static_cast<size_t>(indent > 0 ? indent : 0), ' ');
    if (lineBreak)
        s += kLineBreak;
    s += text;
    return s;
}

std::string SystemErrorLine(uint32_t code, std::string_view message) {
    return "Code - " + std::to_string(code) + " [" + std::string(message) + "]";
}

// The system's text without its trailing line break, blanks and period.
std::string TrimmedSystemMessage(std::string_view text) {
    std::string message(text);
    while (!message.empty() &&
           (static_cast<unsigned char>(message.back()) < '!' || message.back() == '.'))
        message.pop_back();
    return message;
}

struct TAnswerKey {
    TAnswer Answer;
    const char* Label;
    uint16_t VirtualKey;
};
constexpr TAnswerKey kAnswerKeys[] = {
    {ansYes, "Yes[Y]", 0x59},
    {ansNo, "No[N]", 0x4E},
    {ansAll, "All[A]", 0x41},
};

} // namespace

TConsole::TConsole(std::unique_ptr<TConsoleDevice> device, int width, int height)
    : device_(std::move(device)), width_(width), height_(height) {}

TConsole::~TConsole() {
    CloseLog();
}

void TConsole::WriteToScreen(std::string_view text, bool wrap) {
    if (wrap)
        WriteWrapped(text);
    else
        ToScreen(text);
}

// A screen that refused a write (a closed pipe, a full device) is given
// nothing more: the rest of the output would be lost or garbled anyway.
void TConsole::ToScreen(std::string_view text) {
    ClearStatus();
    if (!screenFailed_ && device_->Write(text) != 0)
        screenFailed_ = true;
}

void TConsole::ShowStatus(std::string_view text) {
    if (!IsScreen())
        return;
    const std::string_view line = FirstColumns(text, width_ - 1);
    const int columns = TextColumns(line);
    std::string shown(1, '\r');
    shown.append(line);
    shown.append(static_cast<size_t>(std::max(statusColumns_ - columns, 0)), ' ');
    statusColumns_ = 0;
    ToScreen(shown);
    statusColumns_ = columns;
}

// Blanks over the status line, and the cursor back at its start.
void TConsole::ClearStatus() {
    if (statusColumns_ == 0)
        return;
    std::string blank(static_cast<size_t>(statusColumns_) + 2, ' ');
    blank.front() = blank.back() = '\r';
    statusColumns_ = 0;
    ToScreen(blank);
}

void TConsole::ToLog(std::string_view text, bool flush) {
    if (!log_)
        return;
    uint32_t error = log_->Write(text);
    if (error == 0 && flush)
        error = log_->Flush();
    if (error != 0)
        CloseFailedLog(error);
}

// Told later: a report here would land inside whatever block of lines was
// being written, and its error line would read as that block's heading.
void TConsole::CloseFailedLog(uint32_t error) {
    log_.reset();
    logWriteFailed_ = true;
    logError_ = error;
}

void TConsole::ReportLogFailure() {
    if (!logWriteFailed_ || logFailureReported_)
        return;
    logFailureReported_ = true;
    WriteLine(msg::CantWriteLog, false, true);
    WriteSystemError(logError_, 0);
}

void TConsole::WriteLine(std::string_view text, bool wrap, bool breakBefore, int indent,
                         bool skipLeadingBreaks) {
    std::string_view body = text;
    if (skipLeadingBreaks && lastEndedWithBreak_) {
        if (body.empty())
            return;
        const size_t first = body.find_first_not_of("\r\n");
        body.remove_prefix(first == std::string_view::npos ? body.size() : first);
    }
    std::string s = Indented(indent, breakBefore && !lastEndedWithBreak_, body);
    s += kLineBreak;
    WriteToScreen(s, wrap);
    lastEndedWithBreak_ = text.empty() || EndsWithBreak(text);
    ToLog(s);
}

void TConsole::WriteLineLoggedAs(std::string_view text, std::string_view logText) {
    WriteToScreen(std::string(text) + std::string(kLineBreak), false);
    lastEndedWithBreak_ = text.empty() || EndsWithBreak(text);
    ToLog(std::string(logText) + std::string(kLineBreak));
}

void TConsole::Write(std::string_view text, bool wrap, bool breakBefore, int indent) {
    const std::string s = Indented(indent, breakBefore && !lastEndedWithBreak_, text);
    WriteToScreen(s, wrap);
    // An empty text writes nothing, so the screen is where it was.
    if (!text.empty())
        lastEndedWithBreak_ = EndsWithBreak(text);
    ToLog(s, true);
}

void TConsole::WriteWrapped(std::string_view text) {
    std::string line;
    std::string word;
    bool afterBreak = false;
    auto appendWord = [&] {
        line = line.empty() ? word : line + " " + word;
        word.clear();
    };
    auto blank = [&] {
        if (TextColumns(line) + TextColumns(word) + 1 < width_) {
            appendWord();
        } else {
            // A word that is longer than the width on its own starts its own
            // line without an empty one before it.
            if (!line.empty())
                ToScreen(line + std::string(kLineBreak));
            line = std::move(word);
            word.clear();
        }
    };
    for (char c : text) {
        if (afterBreak) {
            if (IsBreak(c))
                continue;
            word += c;
            afterBreak = false;
        } else if (IsBreak(c)) {
            // The last word before a break must fit as well as any other; a
            // blank before the break stays where the line has room for it.
            if (!word.empty())
                blank();
            else if (!line.empty() && TextColumns(line) + 1 < width_)
                line += ' ';
            ToScreen(line + std::string(kLineBreak));
            line.clear();
            afterBreak = true;
        } else if (c == ' ') {
            blank();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        blank();
    if (!line.empty())
        ToScreen(line);
}

void TConsole::WriteRaw(std::string_view text) {
    ToScreen(text);
}

void TConsole::HighlightOn() {
    device_->SetHighlight(true);
}
void TConsole::HighlightOff() {
    device_->SetHighlight(false);
}
void TConsole::ShowCursor() {
    device_->SetCursorVisible(true);
}
void TConsole::HideCursor() {
    device_->SetCursorVisible(false);
}

void TConsole::WriteSystemError(uint32_t code, int indent) {
    WriteSystemError(code, SystemErrorMessage(code), indent);
}

void TConsole::WriteSystemError(uint32_t code, std::string_view systemText, int indent) {
    std::string message = TrimmedSystemMessage(systemText);
    std::string line = SystemErrorLine(code, message);
    ToLog(line + std::string(kLineBreak));
    HighlightOn();
    // Normal text comes back also when a highlighted write throws.
    const ScopeExit normalText([this] { HighlightOff(); });
    const int room = width_ - indent;
    const int columns = TextColumns(line);
    if (columns < room) {
        WriteLine(line, false, false, indent, true);
        return;
    }
    // Cut so that "..." and the closing bracket end exactly at the edge,
    // where the console itself moves to the next line.
    const int excess = columns - room + 3;
    message = std::string(FirstColumns(message, TextColumns(message) - excess)) + "...";
    // A file or a pipe has no edge that would end the line.
    if (IsScreen())
        Write(SystemErrorLine(code, message), false, false, indent);
    else
        WriteLine(SystemErrorLine(code, message), false, false, indent, true);
}

void TConsole::WritePaged(std::string_view text, std::string_view promptText) {
    auto writeLine = [&](std::string_view line) {
        ToScreen(std::string(line) + std::string(kLineBreak));
        ++pageLines_;
        if (pageLines_ + 4 == height_) {
            ++pageLines_;
            AskAnswer(std::string(kLineBreak) + std::string(promptText), ansAnyKey);
            ++pageLines_;
            ToScreen(kLineBreak);
        }
    };
    size_t start = 0;
    for (size_t cr = text.find('\r'); cr != std::string_view::npos; cr = text.find('\r', start)) {
        writeLine(text.substr(start, cr - start));
        start = cr + 1;
        if (start < text.size() && text[start] == '\n')
            ++start;
    }
    writeLine(text.substr(start));
}

TAnswer TConsole::AskAnswer(std::string_view question, TAnswers answers) {
    std::string choices;
    bool allowed[3] = {};
    for (const TAnswerKey& key : kAnswerKeys) {
        if (answers & AnswerBit(key.Answer)) {
            allowed[key.Answer] = true;
            if (!choices.empty())
                choices += '\\';
            choices += key.Label;
        }
    }
    Write(std::string(question) + " " + choices + " ", true, true, 0);

    TKeyPress key;
    for (;;) {
        uint32_t error = 0;
        if (!device_->ReadKeyPress(key, error)) {
            // An interrupted question (the run is being cancelled) says nothing more.
            if (inputInterrupted_)
                return ansNone;
            char text[40];
            std::snprintf(text, sizeof text, "Input error %u.", error);
            ToScreen(std::string(text) + std::string(kLineBreak));
            return ansNone;
        }
        bool accepted = answers == ansAnyKey;
        for (const TAnswerKey& k : kAnswerKeys)
            accepted = accepted || (allowed[k.Answer] && k.VirtualKey == key.VirtualKey);
        if (accepted)
            break;
    }

    // Only a character that reads the same in every code page is echoed.
    std::string echo = " ";
    if (key.Character >= ' ' && key.Character < 0x7F)
        echo += (key.Character >= 'a' && key.Character <= 'z')
                    ? static_cast<char>(key.Character - 'a' + 'A')
                    : key.Character;
    WriteLine(echo, false, false, 0, true);
    WriteLine("", false, false, 0, true);
    for (const TAnswerKey& k : kAnswerKeys)
        if (k.VirtualKey == key.VirtualKey)
            return k.Answer;
    return ansNone;
}

void TConsole::InterruptInput() {
    inputInterrupted_ = true;
    device_->InterruptInput();
}

void TConsole::OpenLog(std::unique_ptr<TLogSink> log) {
    log_ = std::move(log);
}

void TConsole::WriteLogLine(std::string_view text) {
    ToLog(std::string(text) + std::string(kLineBreak));
}

void TConsole::CloseLog() {
    ToLog("", true);
    log_.reset();
}
