// The calculation with digests on the screen, end to end under Wine; md5sum
// on the host is the independent oracle.
#include "Harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace e2e {
namespace {

namespace fs = std::filesystem;

class Calculation : public TDirTest {
protected:
    std::string Line(const std::string& shown, const std::string& relative) {
        return "\r\n" + shown + " " + Md5sum(At(relative)) + "\r\n";
    }
};

// A thousand files of random sizes, a third of them large enough to be
// hashed several at a time in the vector lanes, the first ones of the sizes
// around the block and read edges: each digest is md5sum's, and each file
// has its line in the order of the scan (the names in order).
TEST_F(Calculation, AThousandFilesGiveTheDigestsOfMd5sumInTheOrderOfTheScan) {
    const size_t edges[] = {0, 1, 55, 56, 64, 4096, 4097, 65536, 65537, 1000003};
    std::mt19937 random(7);
    std::string expected;
    for (size_t i = 0; i < 1000; ++i) {
        const size_t size = i < std::size(edges) ? edges[i]
                            : i % 3 == 0         ? 64 * 1024 + random() % (200 * 1024)
                                                 : random() % 5000;
        const std::string name = "f" + std::to_string(10000 + i).substr(1);
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        const fs::path file = Add(name, bytes);
        expected += name + " " + Md5sum(file) + "\r\n";
    }
    const TRunResult run = Run(Win() + " /S");
    EXPECT_EQ(run.Status, 0u) << run.Output;
    const size_t first = run.Output.find("f0000 ");
    ASSERT_NE(first, std::string::npos) << run.Output;
    EXPECT_EQ(run.Output.substr(first, expected.size()), expected);
}

// Files below the source are named by their paths from it, a single file by
// its full path. With 80 columns a line holds 47 characters of name, a
// blank and 32 digits: a console moves on by itself after a full line,
// redirected output has no edge, so there even a full line ends with a
// break. Longer names are shortened.
TEST_F(Calculation, NamesFilesByTheirPathsAndFillsALineExactly) {
    const std::string exact = std::string(43, 'e') + ".txt";
    const std::string longName = std::string(60, 'l') + ".txt";
    const std::string shortened = std::string(44, 'l') + "...";
    Add(exact, "x");
    Add(longName, "y");
    Add("sub/deeper/low.txt", "low");
    TRunResult run = Run(Win() + " /R");
    EXPECT_TRUE(Contains(run.Output, Line(exact, exact))) << run.Output;
    EXPECT_TRUE(Contains(run.Output, Line(shortened, longName))) << run.Output;
    EXPECT_TRUE(Contains(run.Output, Line("sub\\deeper\\low.txt", "sub/deeper/low.txt")))
        << run.Output;
    EXPECT_TRUE(Contains(run.Output, "Processed 3 files in 2 folders")) << run.Output;

    run = Run(Win() + "\\sub");
    EXPECT_EQ(run.Status, 8u) << "a folder without files of its own: " << run.Output;
    EXPECT_TRUE(Contains(run.Output, "\r\nThe source path has no files or there are no files "
                                     "corresponding to the\r\noptions.\r\n"))
        << run.Output;
    EXPECT_FALSE(Contains(run.Output, "Calculating..."));

    run = Run(Win("sub/deeper/low.txt"));
    EXPECT_TRUE(Contains(run.Output, Line(Win("sub/deeper/low.txt"), "sub/deeper/low.txt")))
        << run.Output;
    EXPECT_FALSE(Contains(run.Output, "Calculating size of")) << "a single file is not sized";

    TTmuxPane pane("tallix.exe", Win() + " /S", dir_.Path());
    EXPECT_EQ(pane.WaitForExit(), 0);
    ASSERT_TRUE(pane.WaitFor("Calculation summary:")) << pane.Screen();
    EXPECT_TRUE(Contains(pane.Screen(), exact + " " + Md5sum(At(exact)) + "\n" + shortened + " "))
        << "the console moved on by itself:\n"
        << pane.Screen();
}

} // namespace
} // namespace e2e
