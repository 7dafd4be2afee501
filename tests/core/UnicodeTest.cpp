#include "system/Unicode.h"

#include <gtest/gtest.h>

namespace {

std::u16string Lower(std::u16string text) {
    WideLowerCaseInPlace(text);
    return text;
}

TEST(WideLowerCaseInPlace, MapsCapitalsOfLatinCyrillicAndGreek) {
    EXPECT_EQ(Lower(u"ÀÉÎ"), u"àéî");
    EXPECT_EQ(Lower(u"ДОМ"), u"дом");
    EXPECT_EQ(Lower(u"ΣΑ"), u"σα");
    EXPECT_EQ(Lower(u"C:\\My DATA\\File.TXT"), u"c:\\my data\\file.txt");
}

TEST(WideLowerCaseInPlace, LeavesDigitsSharpSAndLowerCaseAlone) {
    EXPECT_EQ(Lower(u"0123456789ßàéîдом"), u"0123456789ßàéîдом");
    // Title-case letters map to their lower-case form, other symbols stay.
    EXPECT_EQ(Lower(u"ǅ"), u"ǆ");
    EXPECT_EQ(Lower(u"Ⅰ①"), u"Ⅰ①");
}

TEST(WideLowerCaseInPlace, KeepsSurrogatesAsTheyAre) {
    const std::u16string deseret = u"\U00010400"; // a capital outside the BMP
    EXPECT_EQ(Lower(deseret), deseret);
}

} // namespace
