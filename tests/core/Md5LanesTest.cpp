// Every lane width against the scalar compression and against TMD5Hash.
#include "LaneWidths.h"
#include "engine/LxHash.h"

#include <algorithm>
#include <random>
#include <vector>

namespace {

class Md5Lanes : public TLaneWidthTest {};

std::vector<uint8_t> RandomBytes(size_t size, std::mt19937& random) {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& byte : bytes)
        byte = static_cast<uint8_t>(random());
    return bytes;
}

std::string Md5Text(const uint8_t* data, size_t size) {
    TMD5Hash hash;
    hash.Init();
    hash.Update(data, static_cast<int64_t>(size));
    hash.Final();
    return BinToHex(hash.Digest(), 16);
}

// Each lane starts from a state of its own and reads a buffer of its own at
// an odd address, exactly as long as its blocks (the sanitizers see a read
// past them); the states carry over from one call to the next.
TEST_P(Md5Lanes, MatchesTheScalarCompressionInEveryLane) {
    const int width = GetParam();
    constexpr size_t kBlocks = 5;
    std::mt19937 random(width);
    std::vector<std::vector<uint8_t>> buffers;
    uint32_t states[lwAvx512][4];
    uint32_t expected[lwAvx512][4];
    const uint8_t* data[lwAvx512];
    for (int lane = 0; lane < width; ++lane) {
        buffers.push_back(RandomBytes(1 + lane % 3 + 64 * kBlocks, random));
        data[lane] = buffers.back().data() + 1 + lane % 3;
        for (uint32_t& word : states[lane])
            word = static_cast<uint32_t>(random());
        std::copy_n(states[lane], 4, expected[lane]);
        Md5Compress(expected[lane], data[lane], kBlocks);
    }
    Md5LanesTransform(TLaneWidth(width), states, data, 2);
    for (int lane = 0; lane < width; ++lane)
        data[lane] += 2 * 64;
    Md5LanesTransform(TLaneWidth(width), states, data, kBlocks - 2);
    for (int lane = 0; lane < width; ++lane)
        EXPECT_EQ(BinToHex(states[lane], 16), BinToHex(expected[lane], 16)) << "lane " << lane;
}

// Lane 0 holds a message of each length from 0 to 300 bytes (every padding
// case: 55 and 119 leave room for the length, 56 to 64 and 120 to 128 need
// a block of their own), lane i one 67 * i bytes longer. The lanes run
// their common whole blocks; TMD5Hash finishes each message from there.
TEST_P(Md5Lanes, GiveTheDigestsOfMessagesOfDifferentLengthsFinishedByTMD5Hash) {
    const int width = GetParam();
    std::mt19937 random(width);
    const std::vector<uint8_t> bytes = RandomBytes(300 + 68 * (width - 1), random);
    for (size_t length = 0; length <= 300; ++length) {
        uint32_t states[lwAvx512][4];
        const uint8_t* data[lwAvx512];
        for (int lane = 0; lane < width; ++lane) {
            std::copy_n(TMD4Hash::kInitialState, 4, states[lane]);
            data[lane] = bytes.data() + lane;
        }
        const size_t blocks = length / 64;
        Md5LanesTransform(TLaneWidth(width), states, data, blocks);
        for (int lane = 0; lane < width; ++lane) {
            const size_t size = length + 67 * lane;
            TMD5Hash hash;
            hash.Resume(states[lane], 64 * blocks);
            hash.Update(data[lane] + 64 * blocks, static_cast<int64_t>(size - 64 * blocks));
            hash.Final();
            EXPECT_EQ(BinToHex(hash.Digest(), 16), Md5Text(data[lane], size))
                << size << " bytes in lane " << lane;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, Md5Lanes, kLaneWidths, LaneWidthName);

} // namespace
