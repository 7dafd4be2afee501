// Faults met while scanning and starting, end to end under Wine: links back
// to their own folder, entries that are devices, and copies of the program
// started at the same moment. Each case checks the bytes left on disk and
// the exit status, and adds its row to the reliability table.
#include "Harness.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <latch>
#include <thread>
#include <vector>

namespace e2e {
namespace {

namespace fs = std::filesystem;

class FaultScan : public TDirTest {
protected:
    TRunResult Run(const std::string& arguments, uint32_t expected) {
        const TRunResult run = TDirTest::Run(arguments);
        tally_.Add(run.Status, expected, 0);
        return run;
    }

    TTally tally_;
};

// Two links back to their folder double the tree with each level, and one
// more leads back from below; the scan lists the real files once. Under
// Wine a link to a device and a named pipe are listed like files; reading
// them would never end, or never begin. They and a file held open elsewhere
// are reported with the system's codes, counted in the summary and left out
// of the list.
TEST_F(FaultScan, LinksBackEndTheScanAndDevicesAreReadErrorsNotReadForEver) {
    Add("Data/a.txt", "abc");
    Add("Data/sub/b.txt", "sub file");
    fs::create_directory_symlink(".", At("Data/one"));
    fs::create_directory_symlink(".", At("Data/two"));
    fs::create_directory_symlink("..", At("Data/sub/up"));
    fs::create_symlink("/dev/zero", At("Data/zero"));
    ASSERT_EQ(mkfifo(At("Data/pipe").c_str(), 0644), 0);
    ASSERT_TRUE(HoldFile(Add("Data/held.bin", "held")));

    TRunResult run = Run(data_ + " " + Win("sums.md5") + " /R /L:" + Win("scan.log"), 2 | 4);
    EXPECT_EQ(run.Status, 2u | 4u) << run.Output;
    const std::string list =
        kListHeader + Entry("Data/a.txt", "a.txt") + Entry("Data/sub/b.txt", "sub\\b.txt");
    EXPECT_EQ(ReadFile(At("sums.md5")), list) << "no made-up digest for a file not read";
    const std::string log = ReadFile(At("scan.log"));
    for (const char* link : {"one", "two", "sub\\up"})
        EXPECT_TRUE(Contains(log, "Code - 1921 [") && Contains(log, data_ + "\\" + link + "\r\n"))
            << link << "\n"
            << log;
    // Wine gives no attributes for the devices: "invalid parameter".
    EXPECT_TRUE(Contains(run.Output, "File access errors:   \r\nCode - 32 [") &&
                Contains(run.Output, "]\r\n  " + data_ + "\\held.bin\r\nCode - 87 ["))
        << run.Output;
    for (const char* entry : {"pipe", "zero"})
        EXPECT_TRUE(Contains(run.Output, "  " + data_ + "\\" + entry + "\r\n")) << entry;
    EXPECT_TRUE(Contains(run.Output, "  Processed 2 files in 1 folders")) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "  File access errors - 3 (60%)")) << run.Output;

    // A list made by following the links names files below them: they are
    // not looked up, as the scan would never have reached them.
    Add("Data/loops.md5", ReadFile(At("sums.md5")) + Entry("Data/a.txt", "one\\a.txt") +
                              Entry("Data/sub/b.txt", "sub\\up\\two\\sub\\b.txt"));
    run = Run(Win("Data/loops.md5") + " /V /R", 2);
    EXPECT_EQ(run.Status, 2u) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "Scanning errors:  \r\nCode - 1921 [")) << run.Output;
    EXPECT_TRUE(Contains(run.Output, "  " + Win("Data/one") + "\\a.txt\r\n  " + Win("Data/sub/up") +
                                         "\\two\\sub\\b.txt\r\n"))
        << run.Output;
    EXPECT_TRUE(Contains(run.Output, "Processed 2 files")) << run.Output;

    run = Run(Win("Data/zero") + " /S", 1 + 4);
    EXPECT_EQ(run.Status, 1u + 4u) << "nothing read, one read error: " << run.Output;

    const uint64_t lost = BytesLost(At("Data/a.txt"), "abc") +
                          BytesLost(At("Data/sub/b.txt"), "sub file") +
                          BytesLost(At("sums.md5"), list);
    EXPECT_EQ(lost, 0u);
    tally_.Lost += lost;
    tally_.Record("links back and devices among the files");
}

// Wine's desktop starts with the first program that makes a window and ends
// with the last; copies that start while it changes must start all the same.
TEST_F(FaultScan, CopiesStartedAtOnceAllRun) {
    Add("a.txt", "abc");
    const std::string line = "\r\na.txt " + Md5sum(At("a.txt")) + "\r\n";
    constexpr int kRounds = 20;
    constexpr int kCopies = 3;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<TRunResult> runs(kCopies);
        std::latch start(kCopies);
        std::vector<std::thread> copies;
        for (TRunResult& result : runs)
            copies.emplace_back([&] {
                start.arrive_and_wait();
                result = TDirTest::Run(Win());
            });
        for (std::thread& copy : copies)
            copy.join();
        for (const TRunResult& run : runs) {
            const bool ok = Contains(run.Output, "MD5 Checksum calculation and verification") &&
                            Contains(run.Output, line);
            tally_.Add(run.Status, ok ? 0 : ~0u, 0); // a wrong output never survives
            EXPECT_TRUE(ok && run.Status == 0)
                << "round " << round << ", status " << run.Status << "\n"
                << run.Output;
        }
    }
    tally_.Lost = BytesLost(At("a.txt"), "abc");
    EXPECT_EQ(tally_.Lost, 0u);
    tally_.Record("3 copies started at once, 20 rounds");
}

} // namespace
} // namespace e2e
