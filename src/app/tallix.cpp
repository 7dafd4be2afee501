// The program's entry point.
#include "app/Application.h"
#include "app/ExitCodes.h"
#include "console/Console.h"
#include "system/Process.h"

#include <cstdio>
#include <exception>

namespace {

// Standard output may be the very thing that failed, so a reason goes to stderr.
void ReportFailure(const char* reason) {
    std::fprintf(stderr, "%s\n", reason);
}

// The run's exit status; a failure that ends it early adds bit 1 to the
// bits collected so far.
uint32_t RunApplication() {
    try {
        TApplication application;
        try {
            application.Run();
            return application.ExitCode();
        } catch (const std::exception& error) {
            ReportFailure(error.what());
        } catch (...) {
            ReportFailure("Unknown failure.");
        }
        return application.ExitCode() | ecFailure;
    } catch (const std::exception& error) {
        // The program could not start (its synchronisation window, say).
        ReportFailure(error.what());
    } catch (...) {
        ReportFailure("Unknown failure.");
    }
    return ecFailure;
}

} // namespace

int main() {
    SetConsoleCodePagesFromKeyboard();
    uint32_t exitCode = RunApplication();
    // The log's last buffer is written here; if it cannot be, that is told too.
    Console().CloseLog();
    Console().ReportLogFailure();
    if (Console().LogWriteFailed())
        exitCode |= ecCantCreateLog;
    return static_cast<int>(exitCode);
}
