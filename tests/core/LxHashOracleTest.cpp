// Digests against the host's md5sum, an implementation of its own. Lengths
// 0 to 200 pass every padding case (55 and 119 leave room for the length in
// the last block, 56 to 64 need a block of padding of its own); the data are
// fed in pieces of random sizes, as reads of a file may come. (The lanes
// match the scalar compression: Md5LanesTest.)
#include "engine/LxHash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <random>
#include <unistd.h>
#include <vector>

namespace {

// md5sum's digest of data, in upper case.
std::string Md5sum(const std::vector<char>& data) {
    char path[] = "/tmp/tallix-md5-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        return {};
    close(fd);
    FILE* md5sum = popen(("md5sum > " + std::string(path)).c_str(), "w");
    if (md5sum != nullptr) {
        if (!data.empty())
            std::fwrite(data.data(), 1, data.size(), md5sum);
        pclose(md5sum);
    }
    std::string digest;
    std::ifstream(path) >> digest;
    std::remove(path);
    for (char& c : digest)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return digest;
}

TEST(TMD5HashOracle, AgreesWithMd5sumOnRandomDataOfManySizesFedInPieces) {
    std::vector<size_t> sizes;
    for (size_t size = 0; size <= 200; ++size)
        sizes.push_back(size);
    for (size_t size : {1000, 4095, 4096, 4097, 65535, 65536, 65537, (1 << 20) + 13})
        sizes.push_back(size);
    std::mt19937 random(2024);
    for (size_t size : sizes) {
        std::vector<char> data(size);
        for (char& byte : data)
            byte = static_cast<char>(random());
        TMD5Hash hash;
        hash.Init();
        for (size_t offset = 0; offset < size;) {
            const size_t piece = std::min<size_t>(1 + random() % 300, size - offset);
            hash.Update(data.data() + offset, static_cast<int64_t>(piece));
            offset += piece;
        }
        hash.Final();
        EXPECT_EQ(BinToHex(hash.Digest(), 16), Md5sum(data)) << size << " bytes";
    }
}

} // namespace
