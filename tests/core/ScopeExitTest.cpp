#include "system/ScopeExit.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ScopeExit, RunsOnceAtTheEndOfItsScopeAlsoWhenAnExceptionPasses) {
    int runs = 0;
    {
        const ScopeExit count([&] { ++runs; });
        EXPECT_EQ(runs, 0);
    }
    EXPECT_EQ(runs, 1);
    try {
        const ScopeExit count([&] { ++runs; });
        throw std::runtime_error("write failed");
    } catch (const std::runtime_error&) {
        EXPECT_EQ(runs, 2);
    }
    EXPECT_EQ(runs, 2);
}

} // namespace
