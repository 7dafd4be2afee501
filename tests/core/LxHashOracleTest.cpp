// Digests against the host's md5sum, an implementation of its own.
#include "engine/LxHash.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string UpperCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Runs a shell command and returns what it printed.
std::string Output(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return {};
    std::string text;
    char buffer[4096];
    size_t length;
    while ((length = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, length);
    pclose(pipe);
    return text;
}

class TScratchDir {
public:
    TScratchDir() {
        path_ =
            fs::temp_directory_path() / ("tallix-md5-" + std::to_string(std::random_device()()));
        fs::create_directories(path_);
    }
    ~TScratchDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

TEST(TMD5HashOracle, AgreesWithMd5sumOnRandomDataOfManySizes) {
    std::vector<size_t> sizes;
    for (size_t size = 0; size <= 200; ++size)
        sizes.push_back(size);
    for (size_t size : {1000, 4095, 4096, 4097, 65535, 65536, 65537, (1 << 20) + 13})
        sizes.push_back(size);

    TScratchDir dir;
    std::mt19937 random(2024);
    std::map<std::string, std::string> ours;
    for (size_t size : sizes) {
        std::vector<char> data(size);
        for (char& byte : data)
            byte = static_cast<char>(random());
        // Built by appending: GCC 12 warns wrongly about "f" + to_string at -O3.
        std::string name = "f";
        name += std::to_string(size);
        std::ofstream(dir.Path() / name, std::ios::binary).write(data.data(), data.size());
        // Fed in pieces of random sizes, as reads of a file may come.
        TMD5Hash hash;
        hash.Init();
        for (size_t offset = 0; offset < size;) {
            const size_t piece = std::min<size_t>(1 + random() % 300, size - offset);
            hash.Update(data.data() + offset, static_cast<int64_t>(piece));
            offset += piece;
        }
        hash.Final();
        ours[name] = BinToHex(hash.Digest(), 16);
    }

    // One md5sum run over all files: lines "digest  name".
    const std::string listing = Output("cd '" + dir.Path().string() + "' && md5sum -- f*");
    size_t compared = 0;
    for (size_t start = 0; start < listing.size();) {
        const size_t end = listing.find('\n', start);
        const std::string line = listing.substr(start, end - start);
        start = end == std::string::npos ? listing.size() : end + 1;
        ASSERT_GT(line.size(), 34u) << line;
        const std::string name = line.substr(34);
        EXPECT_EQ(ours[name], UpperCase(line.substr(0, 32))) << name;
        ++compared;
    }
    EXPECT_EQ(compared, sizes.size());
}

// The byte count passes 2^32 and the bit count 2^35: both must be kept in
// 64 bits. The data are streamed through a buffer, never held whole.
TEST(TMD5HashOracle, AgreesWithMd5sumOnAMessageLongerThanFourGiB) {
    constexpr uint64_t kLength = (uint64_t(4) << 30) + 4099;
    constexpr size_t kChunk = 1 << 20;
    TScratchDir dir;
    const fs::path result = dir.Path() / "sum";
    FILE* md5sum = popen(("md5sum > '" + result.string() + "'").c_str(), "w");
    ASSERT_NE(md5sum, nullptr);

    std::vector<uint8_t> chunk(kChunk);
    std::mt19937 random(4);
    for (uint8_t& byte : chunk)
        byte = static_cast<uint8_t>(random());
    TMD5Hash hash;
    hash.Init();
    for (uint64_t offset = 0; offset < kLength; offset += kChunk) {
        // Every chunk differs from the others.
        std::memcpy(chunk.data(), &offset, sizeof offset);
        const size_t length = static_cast<size_t>(std::min<uint64_t>(kChunk, kLength - offset));
        hash.Update(chunk.data(), static_cast<int64_t>(length));
        ASSERT_EQ(std::fwrite(chunk.data(), 1, length, md5sum), length);
    }
    hash.Final();
    ASSERT_EQ(pclose(md5sum), 0);

    std::ifstream sum(result);
    std::string expected;
    sum >> expected;
    EXPECT_EQ(BinToHex(hash.Digest(), 16), UpperCase(expected));
}

} // namespace
