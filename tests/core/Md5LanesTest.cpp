// Every lane width against the scalar compression (md5sum checks the
// digests the lanes begin: LxHashOracleTest).
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

INSTANTIATE_TEST_SUITE_P(Widths, Md5Lanes, kLaneWidths, LaneWidthName);

} // namespace
