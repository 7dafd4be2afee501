// The program's entry point.
#include "app/Application.h"
#include "app/ExitCodes.h"
#include "console/Console.h"
#include "system/Process.h"

#include <cstdio>
#include <exception>

int main() {
    SetConsoleCodePagesFromKeyboard();
    uint32_t exitCode = 0;
    // Standard output may be the very thing that failed, so a reason goes
    // to stderr.
    try {
        TApplication application;
        try {
            application.Run();
        } catch (const std::exception& error) {
            // The run ends with the bits it had collected.
            std::fprintf(stderr, "%s\n", error.what());
        }
        exitCode = application.ExitCode();
    } catch (const std::exception& error) {
        // The program could not start (its synchronisation window, say).
        std::fprintf(stderr, "%s\n", error.what());
        exitCode = ecFailure;
    }
    Console().CloseLog();
    return static_cast<int>(exitCode);
}
