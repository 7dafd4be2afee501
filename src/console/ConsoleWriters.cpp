#include "console/Console.h"

#include "system/ScopeExit.h"

void ConsoleWriteLine(std::string_view text, bool wrap, bool breakBefore, int indent,
                      bool skipLeadingBreaks) {
    Console().WriteLine(text, wrap, breakBefore, indent, skipLeadingBreaks);
}

void WriteSystemError(uint32_t code, int indent) {
    Console().WriteSystemError(code, indent);
}

void WritePaged(std::string_view text, std::string_view promptText) {
    Console().WritePaged(text, promptText);
}

TAnswer AskAnswer(std::string_view question, TAnswers answers) {
    return Console().AskAnswer(question, answers);
}

void HighlightOn() {
    Console().HighlightOn();
}
void HighlightOff() {
    Console().HighlightOff();
}

void ConsoleWriteHighlighted(std::string_view text, bool wrap, bool breakBefore, int indent) {
    HighlightOn();
    const ScopeExit normalText([] { HighlightOff(); });
    ConsoleWriteLine(text, wrap, breakBefore, indent);
}
