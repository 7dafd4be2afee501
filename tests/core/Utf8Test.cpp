#include "system/Utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

std::u16string Decoded(std::string_view text) {
    std::u16string out;
    TUtf8Decoder decoder;
    for (const char c : text)
        decoder.Put(static_cast<uint8_t>(c), out);
    decoder.Finish(out);
    return out;
}

TEST(WideToUtf8, EncodesEveryPlaneAndReplacesLoneSurrogates) {
    // The source is UTF-8: one, two, three and four bytes a character.
    EXPECT_EQ(WideToUtf8(u"a.txt Müller дом € \U0001F600"), "a.txt Müller дом € 😀");
    EXPECT_EQ(WideToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
}

TEST(Utf8Decoder, DecodesEveryPlaneAndReplacesEachIllFormedPart) {
    EXPECT_EQ(Decoded("M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x98\x80"), u"Müller € \U0001F600");
    // A stray continuation, an overlong form, a surrogate, a value past
    // U+10FFFF, a sequence cut short by the next character or by the end.
    EXPECT_EQ(Decoded("\x80|\xC0\x80|\xED\xA0\x80|\xF4\x90\x80\x80|\xE2\x82x|\xE2"),
              u"\uFFFD|\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD\uFFFD|\uFFFDx|\uFFFD");
}

// Pieces split sequences anywhere; a sequence cut short by the end is no UTF-8.
TEST(Utf8Check, TellsUtf8FromOtherBytesInPiecesOfAnySize) {
    const std::pair<std::string, bool> cases[] = {
        {"plain ASCII", true},   {"M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x98\x80", true},
        {"M\xFCller", false},    {"\xC3\xA9\xE9", false},
        {"\xED\xA0\x80", false}, {"ends \xE2\x82", false},
    };
    for (const auto& [text, utf8] : cases)
        for (size_t piece : {size_t(1), size_t(2), text.size()}) {
            TUtf8Check check;
            for (size_t at = 0; at < text.size(); at += piece)
                check.Put(reinterpret_cast<const uint8_t*>(text.data()) + at,
                          std::min(piece, text.size() - at));
            EXPECT_EQ(check.WellFormed(), utf8) << text << ", in pieces of " << piece;
        }
}

} // namespace
