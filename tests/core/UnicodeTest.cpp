#include "system/Unicode.h"

#include <gtest/gtest.h>

namespace {

// Capitals of Latin, Cyrillic and Greek and title-case letters map to lower
// case; digits, sharp s, other symbols and surrogates (a Deseret capital
// outside the BMP) stay as they are.
TEST(WideLowerCaseInPlace, MapsCapitalsAndLeavesEverythingElse) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"ÀÉÎ", u"àéî"},
        {u"ДОМ", u"дом"},
        {u"ΣΑ", u"σα"},
        {u"C:\\My DATA\\File.TXT", u"c:\\my data\\file.txt"},
        {u"0123456789ßàéîдом", u"0123456789ßàéîдом"},
        {u"ǅ", u"ǆ"},
        {u"Ⅰ①", u"Ⅰ①"},
        {u"\U00010400", u"\U00010400"}};
    for (auto [text, lower] : cases) {
        WideLowerCaseInPlace(text);
        EXPECT_EQ(text, lower);
    }
}

} // namespace
