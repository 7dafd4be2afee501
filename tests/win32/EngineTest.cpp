// The checksum engine on real folders under Wine: its digests, events,
// failures, aborts and reading time.
#include "ScannerSupport.h"

#include "engine/ChksumCalc.h"
#include "engine/FileReader.h"
#include "engine/LxHash.h"
#include "system/LxSys.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <map>
#include <vector>

namespace {

using namespace scanner_test;

// Bytes that differ from block to block, so a misplaced block shows in the digest.
std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 31 + i / 251) & 0xFF);
    return bytes;
}

std::string Md5Text(const std::string& bytes) {
    TMD5Hash hash;
    hash.Init();
    hash.Update(bytes.data(), static_cast<int64_t>(bytes.size()));
    hash.Final();
    return BinToHex(hash.Digest(), 16);
}

struct TFileMessage {
    uint32_t Id;
    TTreeNode* Node;
    TDirTree* Tree;
    bool operator==(const TFileMessage&) const = default;
};

class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        InitMainThreadSynchronization();
        // As the program runs it: the scan starts with Calculate and runs
        // beside the owner thread's message loop.
        calc.SetOptions(DefaultScanerOptions.Without(soAutoScan));
        WideCreateDir(data);
    }
    void TearDown() override {
        calc.WaitForWorkers();
        // No message of this run may reach the next test.
        RunLoopUntil([] { return false; }, 20);
    }

    std::u16string Path(const std::u16string& relative) const { return data + u"\\" + relative; }
    std::string Write(const std::u16string& relative, size_t size) {
        const std::string bytes = Pattern(size);
        wine_host::MakeFile(Path(relative), bytes);
        return bytes;
    }
    // A file of size bytes, held open without sharing: a reader is refused (32).
    TFileHandle Hold(const std::u16string& relative, size_t size) {
        TFileHandle file = WideCreateFileForWrite(Path(relative));
        EXPECT_EQ(WideWriteFile(file, Pattern(size)), 0u);
        return file;
    }

    // Runs during on the owner thread while the reading thread, at its
    // start, waits for it in a synchronised call.
    void HoldReaderAtStart(std::function<void()> during) {
        calc.OnStartReading = [during](TCustomChksumCalc*, bool&) { during(); };
    }

    // Calculates data (recursively) and serves the owner thread until the
    // reading thread has ended and been freed, keeping the file events
    // (delivered whenever the owner thread wakes, as the program does) and
    // the end notice. The quit message is posted after them, so none is
    // left behind.
    void Run() {
        calc.QueueFileEvents = true;
        calc.OnFileEvent = [this](const TFileEvent& event) {
            messages.push_back({event.Kind, event.Node, event.Tree});
        };
        calc.Include(data, true);
        calc.Calculate();
        ASSERT_NE(calc.Reader(), nullptr);
        ASSERT_TRUE(
            RunLoopUntil([&] { return calc.Reader() == nullptr && calc.ThreadCount() == 0; }, 30000,
                         [&](const TThreadMessage& m) {
                             calc.DeliverFileEvents();
                             if (m.Id == CM_READ_DONE)
                                 messages.push_back({m.Id, nullptr, nullptr});
                         }))
            << "the reading thread did not end";
    }

    int Count(uint32_t id) const {
        int count = 0;
        for (const TFileMessage& m : messages)
            count += m.Id == id;
        return count;
    }
    TTreeNode* NodeOf(const std::u16string& relative) const {
        return calc.FirstDirectory()->Tree->FindPath(Path(relative));
    }
    std::string HashOf(const std::u16string& relative) const {
        return calc.GetHashText(NodeOf(relative));
    }

    wine_host::TTempFolder folder;
    const std::u16string data = folder.Path() + u"\\data";
    TChksumCalc calc{nullptr};
    std::vector<TFileMessage> messages;
};

// Every lane width the processor runs, forced: files hashed alone and files
// that share the lanes (64 KiB up to 4 MiB, ending in different blocks),
// with small files between them and one too large for a lane.
class EngineWidths : public Engine, public ::testing::WithParamInterface<TLaneWidth> {};

TEST_P(EngineWidths, DigestsEqualTheMd5OfEachFileAndEachFileIsAnnouncedOnceInTreeOrder) {
    if (!LaneWidthSupported(GetParam()))
        GTEST_SKIP() << "the processor does not run " << int(GetParam()) << " lanes";
    calc.LaneWidth = GetParam();
    // Larger files share the lanes too, as on a drive that does not seek.
    calc.InterleaveLargeFiles = true;
    WideCreateDir(Path(u"sub"));
    const size_t read = ReadSizeFor(ReadBufferSize(data));
    ASSERT_GE(read, 512u);
    constexpr size_t kLane = 64 * 1024;
    constexpr size_t kWhole = 4 * 1024 * 1024;
    const std::vector<std::pair<std::u16string, size_t>> files = {
        {u"s00.bin", 0},
        {u"s01.bin", 1},
        {u"s55.bin", 55},
        {u"s56.bin", 56},
        {u"s64.bin", 64},
        {u"sub\\read.bin", read},
        {u"sub\\read1.bin", read + 1},
        {u"sub\\m0.bin", kLane},
        {u"sub\\m1.bin", kLane + 1},
        {u"sub\\m2.bin", kLane + 55},
        {u"sub\\m3.bin", kLane + 63},
        {u"sub\\m4.bin", 3 * kLane + 119},
        {u"sub\\m5.bin", kWhole},
        {u"sub\\m6.bin", kLane + 129},
        {u"sub\\t.bin", 7},
        {u"sub\\m7.bin", 5 * kLane + 64},
        {u"sub\\m8.bin", kWhole + 1},
        {u"sub\\m9.bin", 2 * kLane + 56},
        {u"sub\\x0.bin", 2 * kWhole + 7},
        {u"sub\\x1.bin", kWhole + 64},
        {u"sub\\x2.bin", 3 * kWhole},
        {u"sub\\z.bin", 3},
    };
    std::map<std::u16string, std::string> expected;
    size_t total = 0;
    for (const auto& [name, size] : files) {
        expected[Path(name)] = Md5Text(Write(name, size));
        total += size;
    }
    EXPECT_EQ(expected[Path(u"s00.bin")], "D41D8CD98F00B204E9800998ECF8427E");

    Run();
    TDirTree& tree = *calc.FirstDirectory()->Tree;
    for (const auto& [name, size] : files)
        EXPECT_EQ(HashOf(name), expected[Path(name)]) << "size " << size;
    EXPECT_EQ(calc.ReadBytes.load(), total);
    EXPECT_EQ(calc.ReadFiles.load(), files.size());
    EXPECT_EQ(calc.FailedFiles.load(), 0u);

    // Begin and done for each file, in the tree's walk order, then the end.
    std::vector<TFileMessage> walk;
    for (TTreeNode* n = tree.GetNext(tree.GetRoot()); n != nullptr; n = tree.GetNext(n))
        if (!IsDirectory(tree.GetData(n)->Attributes)) {
            walk.push_back({CM_FILE_BEGIN, n, &tree});
            walk.push_back({CM_FILE_DONE, n, &tree});
        }
    walk.push_back({CM_READ_DONE, nullptr, nullptr});
    EXPECT_EQ(messages, walk);
}

// Files that cannot be opened (held without sharing: 32; deleted after the
// scan: 2) and files that open and then fail to read while the files around
// them share the lanes, read whole (b) or a piece at a time (e) (after the
// scan they became links to the host's memory file): each is recorded with
// its code, only those read are announced, the run goes on and the others'
// digests are right.
TEST_P(EngineWidths, FilesThatFailToOpenOrReadAmongSharedLanesLeaveTheOthersRight) {
    if (!LaneWidthSupported(GetParam()))
        GTEST_SKIP() << "the processor does not run " << int(GetParam()) << " lanes";
    calc.LaneWidth = GetParam();
    calc.InterleaveLargeFiles = true;
    constexpr size_t kSize = 200 * 1024;
    constexpr size_t kLarge = 5 * 1024 * 1024;
    const std::string a = Write(u"a.bin", kSize);
    const TFileHandle holdA = Hold(u"a.lock", 10);
    Write(u"b.bin", kSize);
    Write(u"b.gone", 20);
    const std::string c = Write(u"c.bin", kLarge + 100);
    const TFileHandle holdC = Hold(u"c.lock", 40);
    Write(u"e.bin", kLarge);
    const std::string f = Write(u"f.bin", kLarge + 1);
    calc.OnStartReading = [&](TCustomChksumCalc*, bool&) {
        EXPECT_TRUE(WideDeleteFile(Path(u"b.gone")));
        const std::string dir = folder.HostPath() + "/data";
        ASSERT_TRUE(wine_host::RunHostScript("ln -sf /proc/self/mem " + dir +
                                                 "/b.bin && ln -sf /proc/self/mem " + dir +
                                                 "/e.bin && touch " + dir + "/linked",
                                             Path(u"linked")));
    };
    Run();
    EXPECT_EQ(HashOf(u"a.bin"), Md5Text(a));
    EXPECT_EQ(HashOf(u"c.bin"), Md5Text(c));
    EXPECT_EQ(HashOf(u"f.bin"), Md5Text(f));
    EXPECT_EQ(calc.FailedFiles.load(), 5u);
    EXPECT_EQ(calc.FailedBytes.load(), 10 + 20 + 40 + kSize + kLarge);
    const std::map<std::u16string, int32_t> codes = {
        {u"a.lock", 32}, {u"b.gone", 2}, {u"c.lock", 32}};
    for (const auto& [name, code] : codes)
        EXPECT_EQ(calc.Tree().GetData(NodeOf(name))->ErrorCode, code);
    EXPECT_NE(calc.Tree().GetData(NodeOf(u"b.bin"))->ErrorCode, 0);
    EXPECT_NE(calc.Tree().GetData(NodeOf(u"e.bin"))->ErrorCode, 0);
    // Begin and done: a, b begun only, c, e begun only, f, the end.
    const std::vector<uint32_t> expected = {CM_FILE_BEGIN, CM_FILE_DONE, CM_FILE_BEGIN,
                                            CM_FILE_BEGIN, CM_FILE_DONE, CM_FILE_BEGIN,
                                            CM_FILE_BEGIN, CM_FILE_DONE, CM_READ_DONE};
    std::vector<uint32_t> ids;
    for (const TFileMessage& m : messages)
        ids.push_back(m.Id);
    EXPECT_EQ(ids, expected);
}

INSTANTIATE_TEST_SUITE_P(Lanes, EngineWidths, ::testing::Values(lwOne, lwSse2, lwAvx2, lwAvx512),
                         [](const auto& param) { return "x" + std::to_string(int(param.param)); });

TEST_F(Engine, ASecondCalculateWhileReadingRaisesAndLeavesTheFirstRunIntact) {
    std::map<std::u16string, std::string> expected;
    for (const char16_t* name : {u"a.bin", u"b.bin", u"c.bin"})
        expected[name] = Md5Text(Write(name, 100000));
    std::string message;
    HoldReaderAtStart([&] {
        try {
            calc.Calculate();
        } catch (const EChksumCalc& e) {
            message = e.what();
        }
    });
    Run();
    EXPECT_EQ(message, "#Run");
    for (const auto& [name, digest] : expected)
        EXPECT_EQ(HashOf(name), digest);
    EXPECT_EQ(Count(CM_FILE_DONE), 3);
    EXPECT_EQ(Count(CM_READ_DONE), 1);
    EXPECT_EQ(calc.ReadBytes.load(), 300000u);
}

TEST_F(Engine, AStartThatAbortsReadsNothingPostsNothingAndTheReaderStillEnds) {
    Write(u"a.txt", 10);
    int asked = 0;
    calc.OnStartReading = [&](TCustomChksumCalc*, bool& abort) {
        ++asked;
        abort = true;
    };
    Run();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(calc.Reader(), nullptr);
    EXPECT_EQ(calc.ReadBytes.load(), 0u);
    EXPECT_EQ(HashOf(u"a.txt"), std::string(32, '0'));
    EXPECT_FALSE(calc.HasState(TScanerState::LockedByDescendant));
}

TEST_F(Engine, AnAbortFromAnotherThreadStopsTheReaderWithoutWaitingForIt) {
    Write(u"a.bin", 1000);
    std::future<void> abort;
    bool returned = false;
    HoldReaderAtStart([&] {
        // The reader waits for this thread now: an abort that waited for the
        // reader could not return before this call does.
        abort = std::async(std::launch::async, [&] { calc.Abort(); });
        returned = abort.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    });
    Run();
    // Served until the abort is back, whatever it waited for.
    RunLoopUntil(
        [&] { return abort.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    EXPECT_TRUE(returned);
    EXPECT_EQ(calc.ReadBytes.load(), 0u);
    EXPECT_EQ(Count(CM_READ_DONE), 0);
    EXPECT_FALSE(calc.HasState(TScanerState::LockedByDescendant)) << "the reading phase is over";
}

// The reading time is the clock's time from the start of reading to its
// end, and stays fixed after.
TEST_F(Engine, ElapsedTimeIsTheReadingTimeAndStaysFixedAfter) {
    Write(u"a.bin", 1000);
    const uint64_t perMs = HasPerformanceCounter ? PerformanceFrequency / 1000 : 1;
    std::atomic<uint64_t> now{1000 * perMs};
    // Each reading of the clock is 60 ms after the one before.
    calc.Clock = [&] { return now.fetch_add(60 * perMs); };
    Run();
    EXPECT_EQ(calc.GetElapsedTime(), 60u);
    now += 500 * perMs;
    EXPECT_EQ(calc.GetElapsedTime(), 60u);
}

} // namespace
