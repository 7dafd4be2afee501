#include "Harness.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

TEST(CommandLine, NoArgumentsShowsUsageAndHelp) {
    const TRunResult run = RunTallix("");
    EXPECT_EQ(run.Status, 0u);
    EXPECT_NE(run.Output.find("TALLIX [Path] [File | /T:Type] [/V] [/C:File] [/O] [/R]\r\n"),
              std::string::npos)
        << run.Output;
}

} // namespace
} // namespace e2e
