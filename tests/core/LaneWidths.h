// Tests that run once for each lane width: a width this processor or system
// cannot run is refused by the transform, and its test says it was skipped.
#pragma once

#include "Packages/Common/Assertion.h"
#include "engine/Md5Lanes.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

class TLaneWidthTest : public testing::TestWithParam<TLaneWidth> {
protected:
    void SetUp() override {
        if (LaneWidthSupported(GetParam()))
            return;
        uint32_t states[lwAvx512][4] = {};
        const uint8_t* data[lwAvx512] = {};
        EXPECT_THROW(Md5LanesTransform(GetParam(), states, data, 0), EAssertionFailed);
        GTEST_SKIP() << "this processor or system cannot run " << int(GetParam()) << " lanes";
    }
};

inline const auto kLaneWidths = testing::Values(lwOne, lwSse2, lwAvx2, lwAvx512);

inline std::string LaneWidthName(const testing::TestParamInfo<TLaneWidth>& info) {
    return std::to_string(int(info.param)) + "Lanes";
}

// The width as its number in test names and messages (it is a byte).
inline void PrintTo(TLaneWidth width, std::ostream* out) {
    *out << int(width);
}
