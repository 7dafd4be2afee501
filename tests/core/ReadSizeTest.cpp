#include "engine/FileReader.h"

#include <gtest/gtest.h>

namespace {

TEST(ReadSizeFor, IsTheMostWholeClustersInOneMebibyteAndAtLeastOneCluster) {
    const struct {
        uint32_t Cluster;
        uint32_t Read;
    } cases[] = {
        {512, 1u << 20},
        {4096, 1u << 20},
        {65536, 1u << 20},
        {3000, 349 * 3000},
        {(1u << 20) - 1, (1u << 20) - 1},
        {1u << 20, 1u << 20},
        {3u << 20, 3u << 20},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadSizeFor(c.Cluster), c.Read) << "cluster " << c.Cluster;
}

} // namespace
