#include "system/LxSys.h"

#include <gtest/gtest.h>

namespace {

TEST(LxSys, FormatsFileVersions) {
    EXPECT_EQ(FormatFileVersion({(1u << 16) | 2u, (3u << 16) | 4u}), "1.2.3.4");
    // The test program carries no version resource.
    EXPECT_EQ(ProgramVersionText(), "0.0.0.0");
}

} // namespace
