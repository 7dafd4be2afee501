#include "system/Utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(WideToUtf8, EncodesEveryPlaneAndReplacesLoneSurrogates) {
    EXPECT_EQ(WideToUtf8(u"a.txt"), "a.txt");
    EXPECT_EQ(WideToUtf8(u"Müller"), "M\xC3\xBCller");
    EXPECT_EQ(WideToUtf8(u"дом"), "\xD0\xB4\xD0\xBE\xD0\xBC");
    EXPECT_EQ(WideToUtf8(u"€"), "\xE2\x82\xAC");
    EXPECT_EQ(WideToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(WideToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
}

} // namespace
