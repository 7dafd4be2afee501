#include "engine/FileReader.h"
#include "engine/LxHash.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

class FileReader : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() /
            ("tallix-reader-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::u16string MakeFile(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return (dir_ / name).u16string();
    }
    fs::path dir_;
};

TEST_F(FileReader, ReadsAFileInClusterSizedChunksToItsDigest) {
    const std::u16string path = MakeFile("abc.txt", std::string(10000, 'a'));
    const uint32_t size = ReadBufferSize(path);
    ASSERT_GE(size, 512u);
    TFileHandle file = OpenForReading(path);
    ASSERT_TRUE(file.Valid());
    std::vector<uint8_t> buffer(size);
    TMD5Hash hash;
    hash.Init();
    uint32_t read = 1;
    int reads = 0;
    while (read != 0) {
        ASSERT_EQ(ReadChunk(file, buffer.data(), size, read), 0u);
        hash.Update(buffer.data(), read);
        ++reads;
    }
    hash.Final();
    // md5sum of 10,000 letters a.
    EXPECT_EQ(BinToHex(hash.Digest(), 16), "0D0C9C4DB6953FEE9E03F528CAFD7D3E");
    EXPECT_EQ(reads, static_cast<int>((10000 + size - 1) / size) + 1) << "the last read returns 0";
}

TEST_F(FileReader, ReportsMissingAndLockedFiles) {
    EXPECT_FALSE(OpenForReading((dir_ / "missing.txt").u16string()).Valid());
    EXPECT_EQ(FileLastError, 2u);

    const std::u16string path = MakeFile("locked.txt", "x");
    const TFileHandle writer = WideOpenOrCreateForWrite(path);
    ASSERT_TRUE(writer.Valid());
    EXPECT_FALSE(OpenForReading(path).Valid());
    EXPECT_EQ(FileLastError, 32u) << "a sharing violation";
}

TEST_F(FileReader, SharePathsReadInFourKilobytes) {
    EXPECT_EQ(ReadBufferSize(u"\\\\server\\share\\f.txt"), 4096u);
    EXPECT_EQ(ReadBufferSize(u"Q:\\no\\such\\drive.txt"), 4096u) << "an unmapped drive";
}

} // namespace
