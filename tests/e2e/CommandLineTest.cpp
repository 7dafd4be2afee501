// The command line end to end: what the program prints and its exit status.
#include "Harness.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

const std::string kBanner =
    "MD5 Checksum calculation and verification utility. [1.0.0.0] EN Beta\r\n"
    "Written by the Tallix developers. Updates and help: https://tallix.org\r\n"
    "\r\n";

const std::string kUsageAndHelp =
    "TALLIX [Path] [File | /T:Type] [/V] [/C:File] [/O] [/R]\r\n"
    "\r\n"
    "  Path   Path to a source file, folder or a folder with included\r\n"
    "         files mask. You may define several masks using \";\" as a separator.\r\n"
    "  File   Path to a checksum file. If is not defined and /T:Type parameter is\r\n"
    "         not used in calculation mode checksums are printed on the screen.\r\n"
    " /T:Type It is a helper that sets position of checksum files. It is\r\n"
    "         necessary to process a lot of files, instead of using File parameter.\r\n"
    "         This parameter must be one of the following values:\r\n"
    "         E - For EACH file (File_name.md5)\r\n"
    "         R - One file in the ROOT of the folder (Folder_name.md5)\r\n"
    "         F - One checksum-list file for each FOLDER (Folder_name.md5)\r\n"
    "\r\n"
    "   /V    Verification mode. By default Tallix is working in calculation mode.\r\n"
    " /L:File Path to log-file.\r\n"
    " /C:File Path to the file for changed files list.\r\n"
    "   /O    Overwrite existing files.\r\n"
    "   /R    Recursive folder scaning.\r\n"
    "/H or /? Help.\r\n"
    "\r\n"
    "Examples:\r\n"
    "\r\n"
    "  TALLIX C:\\Data\\Notes.doc C:\\My_Checksums\\Notes.md5\r\n"
    "  This is an example of single file checksum calulation.\r\n"
    "\r\n"
    "  TALLIX C:\\Data\\*.zip;*.pdf /T:F /R\r\n"
    "  Calc .zip and .pdf files in all sub-folders (recursively). Result lists are\r\n"
    "  placed in each folder.\r\n"
    "\r\n"
    "  TALLIX C:\\Data /T:F /R /V\r\n"
    "  Verify files for sample above.\r\n";

std::string InvalidOption(const std::string& option) {
    return "Invalid option \"" + option + "\".\r\nRun \"TALLIX /?\" to get Help.\r\n";
}

const std::string kTypeViolation =
    "Options violation:\r\n"
    "/T:Type switch makes sense only when \"Path\" option leads to a folder.\r\n"
    "\r\n"
    "Run \"TALLIX /?\" to get Help.\r\n";

// A folder with a file and a sub-folder, as the program sees it.
class CommandLine : public ::testing::Test {
protected:
    CommandLine() {
        dir_.AddFile("data/a.txt", "a");
        dir_.AddFile("data/sub/b.pdf", "b");
        data_ = WinPath(dir_.Path() / "data");
        file_ = data_ + "\\a.txt";
    }
    TRunResult Run(const std::string& arguments) {
        return RunTallix(arguments, {.WorkDir = dir_.Path() / "data"});
    }

    TTempDir dir_;
    std::string data_;
    std::string file_;
};

TEST_F(CommandLine, WithoutArgumentsOrWithHelpPrintsBannerUsageAndHelp) {
    for (const char* arguments : {"", "/?", "/h", "/H"}) {
        const TRunResult run = Run(arguments);
        EXPECT_EQ(run.Output, kBanner + kUsageAndHelp) << arguments;
        EXPECT_EQ(run.Status, 0u) << arguments;
    }
}

TEST_F(CommandLine, HelpWinsOverEveryLaterCheck) {
    const TRunResult run = Run(data_ + " /X /? /L:Z:\\no\\such\\folder\\log.txt");
    EXPECT_EQ(run.Output, kBanner + kUsageAndHelp);
    EXPECT_EQ(run.Status, 0u);
}

TEST_F(CommandLine, SilentSwitchSuppressesTheBannerOnly) {
    EXPECT_EQ(Run("/? /S").Output, kUsageAndHelp);
    EXPECT_EQ(Run("/? /s").Output, kUsageAndHelp);
    const TRunResult run = Run(data_ + " /X /S");
    EXPECT_EQ(run.Output, InvalidOption("/X"));
    EXPECT_EQ(run.Status, 128u);
}

TEST_F(CommandLine, AcceptsEverySwitchInEitherCase) {
    // /S keeps existing lists from being asked about between the runs.
    for (const char* arguments : {" /R", " /r /o /v", " /V /Verify /vx", " /T:F /R", " /t:f",
                                  " /T:e /T:r", " /C:changed.txt /O", " sums.md5 /R", " -R"}) {
        const TRunResult run = Run(data_ + arguments + " /S");
        EXPECT_EQ(run.Output.find("Invalid option"), std::string::npos) << arguments;
        EXPECT_EQ(run.Output.find("Options violation"), std::string::npos) << arguments;
        EXPECT_EQ(run.Status, 0u) << arguments << "\n" << run.Output;
    }
    // A command line that starts with a switch works on the current folder.
    EXPECT_EQ(Run("/R /S").Status, 0u);
    EXPECT_EQ(Run(data_).Status, 0u) << "a folder alone";
    EXPECT_EQ(Run(file_).Status, 0u) << "a file alone";
    EXPECT_EQ(Run(file_ + " sums.md5 /O").Status, 0u) << "a file and its list";
}

TEST_F(CommandLine, RejectsMalformedSwitchesKeepingTheFirst) {
    for (const char* option : {"/O1", "/RR", "/T:EE", "/T:X", "/T:", "/T", "/C:", "/L:", "/X", "/",
                               "/SS", "/H1", "/C:x"}) {
        const TRunResult run = Run(data_ + " " + option + " /Q");
        if (std::string(option) == "/C:x") {
            EXPECT_EQ(run.Output, kBanner + InvalidOption("/Q")) << "/C:x is a valid /C: switch";
            continue;
        }
        EXPECT_EQ(run.Output, kBanner + InvalidOption(option)) << option;
        EXPECT_EQ(run.Status, 128u) << option;
    }
}

TEST_F(CommandLine, TakesTheFileOnlyInSecondPosition) {
    EXPECT_EQ(Run(data_ + " /R sums.md5").Output, kBanner + InvalidOption("sums.md5"));
    EXPECT_EQ(Run(data_ + " -R -R").Output, kBanner + InvalidOption("-R"));
    EXPECT_EQ(Run(data_ + " a b").Output, kBanner + InvalidOption("b"));
    EXPECT_EQ(Run("/R sums.md5").Status, 0u) << "second argument after a leading switch";
    EXPECT_EQ(Run("/R /O sums.md5").Output, kBanner + InvalidOption("sums.md5"));
}

TEST_F(CommandLine, RejectsAShortSecondArgumentAfterAFile) {
    const TRunResult run = Run(file_ + " x");
    EXPECT_EQ(run.Output, kBanner + InvalidOption("x"));
    EXPECT_EQ(run.Status, 128u);
    EXPECT_EQ(Run(data_ + " x").Status, 0u) << "a one-letter list name after a folder";
    EXPECT_EQ(Run(data_ + " \"\"").Output, kBanner + InvalidOption(""));
}

TEST_F(CommandLine, ReportsTypeSwitchWithAFileAsAViolation) {
    for (const char* arguments : {" /T:E", " /X /T:E", " /t", " sums.md5 /R /T:Q /X"}) {
        const TRunResult run = Run(file_ + arguments);
        EXPECT_EQ(run.Output, kBanner + kTypeViolation) << arguments;
        EXPECT_EQ(run.Status, 256u) << arguments;
    }
    EXPECT_EQ(Run(file_ + " /T:E /?").Status, 256u) << "the violation ends the reading at once";
}

TEST_F(CommandLine, ReportsAMissingPathWithTheSystemError) {
    const TRunResult run = Run(data_ + "\\missing");
    EXPECT_EQ(run.Output, kBanner + "Cannot access file:\r\n" + data_ +
                              "\\missing\r\n"
                              "The system returned an error:\r\n"
                              "Code - 2 [File not found]\r\n"
                              "\r\n"
                              "Please define the right path. Note that path with spaces must be "
                              "enclosed in\r\nquotation marks.\r\n");
    EXPECT_EQ(run.Status, 128u);

    const TRunResult deeper = Run(data_ + "\\no\\such\\*.txt /R");
    EXPECT_NE(deeper.Output.find(data_ + "\\no\\such\r\n"), std::string::npos) << deeper.Output;
    EXPECT_NE(deeper.Output.find("Code - 3 [Path not found]"), std::string::npos);
    EXPECT_EQ(deeper.Status, 128u);
}

TEST_F(CommandLine, SplitsMasksOffThePathAndExpandsRelativePaths) {
    EXPECT_EQ(Run(data_ + "\\*.zip;*.pdf /T:F /R").Status, 0u);
    EXPECT_EQ(Run("*.txt").Status, 0u) << "masks in the current folder";
    EXPECT_EQ(Run("sub\\*.pdf /R").Status, 0u);
    EXPECT_EQ(Run("..\\data\\a.txt").Status, 0u);
    EXPECT_EQ(Run("sub").Status, 0u);
}

TEST_F(CommandLine, TakesQuotedPathsWithBlanksAndATrailingBackslash) {
    dir_.AddFile("My Data/file one.txt", "1");
    const std::string folder = WinPath(dir_.Path() / "My Data");
    EXPECT_EQ(Run("\"" + folder + "\\\" /R").Status, 0u);
    EXPECT_EQ(Run("\"" + folder + "\\file one.txt\"").Status, 0u);
    const TRunResult unquoted = Run(folder + "\\file one.txt");
    EXPECT_EQ(unquoted.Status, 128u) << "the blank splits the path";
}

TEST_F(CommandLine, KeepsALogWithHeaderMessagesAndTheEndLine) {
    const std::string log = WinPath(dir_.Path() / "run.log");
    const TRunResult run = Run(data_ + " /X /L:" + log);
    EXPECT_EQ(run.Status, 128u);
    const std::string text = ReadFile(dir_.Path() / "run.log");
    EXPECT_EQ(text.rfind("This file is a log file generated by Tallix checksum utility.\r\n"
                         "Go to https://tallix.org to get your own copy for free.\r\n\r\n"
                         "Version [1.0.0.0]\r\n\r\nStarted on ",
                         0),
              0u)
        << text;
    const std::string tail = " /X /L:" + log + "\r\n\r\n" + InvalidOption("/X") +
                             "\r\n\r\nApplication terminated with code - 128 [Wrong params]\r\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);

    EXPECT_EQ(Run(data_ + " /L:" + log).Status, 0u) << "an existing log is replaced";
    const std::string again = ReadFile(dir_.Path() / "run.log");
    EXPECT_NE(again.find("\r\nCalculation summary:\r\n"), std::string::npos) << again;
    const std::string end = "\r\n\r\nApplication terminated without errors\\warnings.\r\n";
    ASSERT_GE(again.size(), end.size());
    EXPECT_EQ(again.substr(again.size() - end.size()), end);
    EXPECT_EQ(again.find("Invalid option"), std::string::npos);
}

TEST_F(CommandLine, EndsWithItsBitWhenTheLogCannotBeCreated) {
    const std::string missing = data_ + "\\no\\such\\folder";
    TRunResult run = Run(data_ + " /L:" + missing + "\\log.txt");
    EXPECT_EQ(run.Output, kBanner + "\r\nPath \"" + missing +
                              "\" does not exist.\r\nCreate path? Yes[Y]\\No[N]Input error 6.\r\n")
        << "without a console the question gets no consent";
    EXPECT_EQ(run.Status, 2048u);

    run = Run(data_ + " /L:" + data_ + "\\sub");
    EXPECT_EQ(run.Output, kBanner + "\r\n\"" + data_ +
                              "\\sub\" - folder, can't read or write anything to\r\nfolder!\r\n"
                              "Please define the right path. Note that path with spaces must be "
                              "enclosed in\r\nquotation marks.\r\n");
    EXPECT_EQ(run.Status, 2048u);

    run = Run(data_ + " /L:Q:\\log.txt");
    EXPECT_EQ(run.Output, kBanner + "Can't create\\open file:\r\nQ:\\log.txt\r\n"
                                    "Code - 15 [Invalid drive]\r\n");
    EXPECT_EQ(run.Status, 2048u);
}

} // namespace
} // namespace e2e
