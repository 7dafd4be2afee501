// The program's entry point.
#include "app/Application.h"
#include "console/Console.h"
#include "system/Process.h"

#include <cstdio>
#include <exception>

int main() {
    SetConsoleCodePagesFromKeyboard();
    uint32_t exitCode = 0;
    {
        TApplication application;
        try {
            application.Run();
        } catch (const std::exception& error) {
            // The run ends with the bits it had collected; standard output
            // may be the very thing that failed, so the reason goes to stderr.
            std::fprintf(stderr, "%s\n", error.what());
        }
        exitCode = application.ExitCode();
    }
    Console().CloseLog();
    return static_cast<int>(exitCode);
}
