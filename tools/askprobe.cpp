// askprobe.exe yn|yna|any: asks "Overwrite?" with the given answers on the
// program's console and prints which answer came back. Lets the tests drive
// the prompt in a real console.
#include "console/Console.h"

#include <string>

int main(int argc, char** argv) {
    const std::string set = argc > 1 ? argv[1] : "";
    const TAnswers answers = set == "yn" ? ansYesNo : set == "yna" ? ansYesNoAll : ansAnyKey;
    const TAnswer answer = AskAnswer("Overwrite?", answers);
    const char* names[] = {"Yes", "No", "All", "None"};
    ConsoleWriteLine(std::string("answer=") + names[answer]);
    return 0;
}
