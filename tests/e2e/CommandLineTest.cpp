// The command line end to end: what the program prints and its exit status.
#include "Harness.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace e2e {
namespace {

const std::string kBanner =
    "MD5 Checksum calculation and verification utility. [" TALLIX_VERSION "] EN Beta\r\n"
    "Written by the Tallix developers. Updates and help: https://tallix.org\r\n"
    "\r\n";

// The help's wording is the program's own: it names every switch and where
// the exit bits are told.
const char* const kHelpLines[] = {
    " /T:Type ",
    "   /V    ",
    "   /U    ",
    " /L:File ",
    " /C:File ",
    "   /O    ",
    "   /R    ",
    "   /S    ",
    "/H or /? Help.\r\n",
    "Exit status: 0 if all went well, else a sum of error bits (see the README).\r\n"};

std::string InvalidOption(const std::string& option) {
    return "Invalid option \"" + option + "\".\r\nRun \"TALLIX /?\" to get Help.\r\n";
}

const std::string kTypeViolation =
    "Options violation:\r\n"
    "/T:Type switch makes sense only when \"Path\" option leads to a folder.\r\n"
    "\r\n"
    "Run \"TALLIX /?\" to get Help.\r\n";

const std::string kDefinePath = "\r\nPlease define the right path. Note that path with spaces "
                                "must be enclosed in\r\nquotation marks.\r\n";

const std::string kNoList =
    "Cannot access file:\r\n%D\\data.md5\r\nThe system returned an error:\r\n"
    "Code - 2 [File not found]\r\n\r\nReference checksums not found.\r\n"
    "List looked for: %D\\data.md5\r\n";

struct TCase {
    // %T, %D and %F stand for the test's folder, its data folder and data\a.txt.
    std::string Arguments;
    uint32_t Status;
    std::optional<std::string> Output; // the whole output, or what precedes the help
    bool Help = false;
};

// The native tests read every form of every switch; these rows show each
// message and exit bit of the set-up once, end to end.
std::vector<TCase> Cases() {
    std::vector<TCase> cases = {
        // The silent switch suppresses the banner only; help wins over every later check.
        {"/? /S", 0, "", true},
        {"", 0, kBanner, true},
        {"%D /X /? /L:Z:\\no\\such\\folder\\log.txt", 0, kBanner, true},
        {"%D /X /S", 128, InvalidOption("/X")},
        {"%D /T:X /Q", 128, kBanner + InvalidOption("/T:X")}, // the first is reported
        // The file only in second position; a one-letter name only after a folder.
        {"/R /O sums.md5", 128, kBanner + InvalidOption("sums.md5")},
        {"%F x", 128, kBanner + InvalidOption("x")},
        {"%F /T:E", 256, kBanner + kTypeViolation},
        {"%D /U /S", 256,
         "Options violation:\r\n/U updates checksum lists: give a File, or /T:Type, or verify "
         "with /V.\r\n\r\nRun \"TALLIX /?\" to get Help.\r\n"},
        {"%D\\missing", 128,
         kBanner + "Cannot access file:\r\n%D\\missing\r\nThe system returned an error:\r\n" +
             "Code - 2 [File not found]\r\n" + kDefinePath},
        {"%D\\no\\such\\*.txt /R", 128,
         kBanner + "Cannot access file:\r\n%D\\no\\such\r\nThe system returned an error:\r\n" +
             "Code - 3 [Path not found]\r\n" + kDefinePath},
        // A log that cannot be created; without a console the question gets no consent.
        {"%D /L:%D\\no\\such\\folder\\log.txt", 2048,
         kBanner + "\r\nPath \"%D\\no\\such\\folder\" does not exist.\r\n" +
             "Create path? Yes[Y]\\No[N]Input error 6.\r\n"},
        {"%D /L:%D\\sub", 2048,
         kBanner + "\r\n\"%D\\sub\" - folder, can't read or write anything to\r\nfolder!" +
             kDefinePath},
        {"%D /L:Q:\\log.txt", 2048,
         kBanner + "Can't create\\open file:\r\nQ:\\log.txt\r\nCode - 15 [Invalid drive]\r\n"},
        // The folder's own list is looked for.
        {"%D /r /o /v /S", 512, kNoList},
    };
    // A leading switch works on the current folder; masks split off the path;
    // relative paths are expanded; quotes group blanks.
    for (const char* arguments : {"/R /S", "/R sums.md5", "%D x", "%D\\*.zip;*.pdf /T:F /R",
                                  "*.txt", "..\\data\\a.txt", "\"%T\\My Data\\\" /R"})
        cases.push_back({arguments, 0, {}});
    return cases;
}

// A folder with a file and a sub-folder, and a folder with blanks in its name.
struct TFolders {
    TFolders() {
        Dir.AddFile("data/a.txt", "a");
        Dir.AddFile("data/sub/b.pdf", "b");
        Dir.AddFile("My Data/file one.txt", "1");
    }
    std::string Fill(const std::string& text) const {
        return ReplaceMarks(text,
                            {{"%T", WinPath(Dir.Path())}, {"%D", Data}, {"%F", Data + "\\a.txt"}});
    }
    TRunResult Tallix(const std::string& arguments) {
        return RunTallix(Fill(arguments), Dir.Path() / "data");
    }

    TTempDir Dir;
    const std::string Data = WinPath(Dir.Path() / "data");
};

class CommandLine : public ::testing::TestWithParam<TCase>, protected TFolders {};

TEST_P(CommandLine, PrintsAndEndsAsExpected) {
    const TCase& c = GetParam();
    SCOPED_TRACE(c.Arguments);
    const TRunResult run = Tallix(c.Arguments);
    EXPECT_EQ(run.Status, c.Status) << run.Output;
    if (c.Output && !c.Help)
        EXPECT_EQ(run.Output, Fill(*c.Output));
    else
        EXPECT_FALSE(Contains(run.Output, "Invalid option") ||
                     Contains(run.Output, "Options violation"))
            << run.Output;
    if (c.Help) {
        EXPECT_EQ(run.Output.rfind(*c.Output + "TALLIX [Path] [File | /T:Type]", 0), 0u)
            << run.Output;
        for (const char* line : kHelpLines)
            EXPECT_TRUE(Contains(run.Output, line)) << line << run.Output;
    }
}

INSTANTIATE_TEST_SUITE_P(Arguments, CommandLine, ::testing::ValuesIn(Cases()));

TEST(CommandLineLog, KeepsTheHeaderMessagesAndTheEndLine) {
    TFolders f;
    const std::string log = WinPath(f.Dir.Path() / "run.log");
    const TRunResult run = f.Tallix("%D /X /L:" + log);
    EXPECT_EQ(run.Status, 128u);
    const std::string text = ReadFile(f.Dir.Path() / "run.log");
    EXPECT_EQ(text.rfind("This file is a log file generated by Tallix checksum utility.\r\n"
                         "Go to https://tallix.org to get your own copy for free.\r\n\r\n"
                         "Version [" TALLIX_VERSION "]\r\n\r\nStarted on ",
                         0),
              0u)
        << text;
    const std::string tail = " /X /L:" + log + "\r\n\r\n" + InvalidOption("/X") +
                             "\r\n\r\nApplication terminated with code - 128 [Wrong params]\r\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);

    EXPECT_EQ(f.Tallix("%D /L:" + log).Status, 0u) << "an existing log is replaced";
    const std::string again = ReadFile(f.Dir.Path() / "run.log");
    EXPECT_NE(again.find("\r\nCalculation summary:\r\n"), std::string::npos) << again;
    const std::string end = "\r\n\r\nApplication terminated without errors\\warnings.\r\n";
    ASSERT_GE(again.size(), end.size());
    EXPECT_EQ(again.substr(again.size() - end.size()), end);
    EXPECT_EQ(again.find("Invalid option"), std::string::npos);
}

} // namespace
} // namespace e2e
