#include "Packages/Files/FileMasks.h"

#include <gtest/gtest.h>

namespace {

TEST(MatchesMask, ComparesBaseAndExtensionApartIgnoringCase) {
    EXPECT_TRUE(MatchesMask("a.TXT", "*.txt"));
    EXPECT_TRUE(MatchesMask("b.txt", "*.TXT"));
    EXPECT_FALSE(MatchesMask("a.txt.bak", "*.txt"));
    EXPECT_FALSE(MatchesMask("txt", "*.txt"));
    EXPECT_TRUE(MatchesMask("abd.txt", "a*c.txt")); // "*" ends the base
    EXPECT_TRUE(MatchesMask("a.txt", "?.txt"));
    EXPECT_FALSE(MatchesMask("ab.txt", "?.txt"));
    EXPECT_FALSE(MatchesMask("a.txt", "a?.txt"));
    EXPECT_TRUE(MatchesMask("notes.doc", "notes.d?c"));
    EXPECT_FALSE(MatchesMask("notes.docx", "notes.d?c"));
}

TEST(MatchesMask, TreatsStarsDotsAndMissingExtensionsLikeShortNames) {
    for (const char* name : {"readme", "readme.txt", "x.y.z", "..", "abc."}) {
        EXPECT_TRUE(MatchesMask(name, "*")) << name;
        EXPECT_TRUE(MatchesMask(name, "*.*")) << name;
        EXPECT_TRUE(MatchesMask(name, "")) << name;
    }
    EXPECT_TRUE(MatchesMask("readme", "readme"));
    EXPECT_FALSE(MatchesMask("readme.txt", "readme"));
    EXPECT_TRUE(MatchesMask("readme.txt", "read*"));
    EXPECT_TRUE(MatchesMask("readme", "read*"));
    EXPECT_FALSE(MatchesMask("readme", "readme.*x"));
    EXPECT_FALSE(MatchesMask("readme", "readme.txt"));
    EXPECT_TRUE(MatchesMask("abc.", "abc."));
    EXPECT_FALSE(MatchesMask("abc", "abc."));
    EXPECT_TRUE(MatchesMask("abc.", "abc.*"));
    EXPECT_FALSE(MatchesMask("abc.", "abc.txt"));
    // A mask of the form .ext looks at the extension only.
    EXPECT_TRUE(MatchesMask("anything.txt", ".txt"));
    EXPECT_FALSE(MatchesMask("anything.doc", ".txt"));
    EXPECT_TRUE(MatchesMask("anything.", ".*"));
    // Names whose only dot comes first match nothing.
    for (const char* mask : {"*", "*.*", ".profile", "*.profile", "?profile"}) {
        EXPECT_FALSE(MatchesMask(".profile", mask)) << mask;
        EXPECT_FALSE(MatchesMask(".", mask)) << mask;
    }
    EXPECT_FALSE(MatchesMask("", "*"));
}

TEST(MatchesMask, FoldsLatinAndCyrillicCapitalsOfTheAnsiCodePages) {
    EXPECT_EQ(LowerCaseBytes("AZaz@[\xC0\xDF\xE0\xFF"), "azaz@[\xE0\xFF\xE0\xFF");
    EXPECT_TRUE(MatchesMask("\xC4\xCE\xCC.TXT", "\xE4\xEE\xEC.txt")); // ДОМ / дом in 1251
}

TEST(WildcardMatch, StopsAtAStarAndNeedsACharacterForAQuestionMark) {
    EXPECT_TRUE(WildcardMatch("", ""));
    EXPECT_TRUE(WildcardMatch("", "*x"));
    EXPECT_FALSE(WildcardMatch("", "?"));
    EXPECT_FALSE(WildcardMatch("a", ""));
    EXPECT_TRUE(WildcardMatch("abc", "a*zzz"));
    EXPECT_FALSE(WildcardMatch("ab", "ab?"));
    EXPECT_FALSE(WildcardMatch("abc", "ab"));
    EXPECT_FALSE(WildcardMatch("Abc", "abc"));
}

TEST(MatchesMaskList, MatchesAnyMaskOfTheList) {
    EXPECT_TRUE(MatchesMaskList("", "x.bin"));
    EXPECT_TRUE(MatchesMaskList("*.txt;*.doc", "a.doc"));
    EXPECT_FALSE(MatchesMaskList("*.txt;*.doc", "a.bin"));
    EXPECT_TRUE(MatchesMaskList("*.txt;;*.doc", "a.bin")); // the empty mask matches all
    EXPECT_TRUE(MatchesMaskList(";*.txt", "a.bin"));
    EXPECT_TRUE(MatchesMaskList("*.txt;", "a.txt"));
    EXPECT_FALSE(MatchesMaskList("*.txt;", "a.bin"));
    EXPECT_TRUE(MatchesMaskList("md?sum.lst;*.md5", "MD5SUM.LST"));
}

TEST(SplitMaskList, KeepsMasksAsWrittenAndDropsTinyPiecesBeforeASeparator) {
    std::vector<std::string> masks = {"old"};
    EXPECT_TRUE(SplitMaskList("*;*.txt", masks));
    EXPECT_EQ(masks, std::vector<std::string>{"*.txt"});
    EXPECT_TRUE(SplitMaskList("*.txt;*", masks));
    EXPECT_EQ(masks, (std::vector<std::string>{"*.txt", "*"}));
    EXPECT_TRUE(SplitMaskList(" *.A ;x", masks));
    EXPECT_EQ(masks, (std::vector<std::string>{" *.A ", "x"}));
    EXPECT_FALSE(SplitMaskList(";;", masks));
    EXPECT_TRUE(masks.empty());
    EXPECT_FALSE(SplitMaskList("", masks));
}

TEST(IsFileFilteredOut, AppliesIncludeAndExcludeMasksWithExplicitFilesWinning) {
    const TPathList none;
    EXPECT_TRUE(IsFileFilteredOut(u"C:\\d\\abc.txt", "*.txt", "a*", none, none));
    EXPECT_FALSE(IsFileFilteredOut(u"C:\\d\\b.txt", "*.txt", "a*", none, none));
    EXPECT_TRUE(IsFileFilteredOut(u"C:\\d\\notes.doc", "*.txt", "a*", none, none));
    EXPECT_FALSE(IsFileFilteredOut(u"C:\\d\\notes.doc", "", "", none, none));

    const TPathList included = {u"c:\\D\\ABC.TXT", u"C:\\d\\notes.doc"};
    EXPECT_FALSE(IsFileFilteredOut(u"C:\\d\\abc.txt", "*.txt", "a*", included, none));
    EXPECT_FALSE(IsFileFilteredOut(u"C:\\d\\notes.doc", "*.txt", "a*", included, none));

    const TPathList excluded = {u"C:\\d\\b.txt"};
    EXPECT_TRUE(IsFileFilteredOut(u"C:\\d\\b.txt", "*.txt", "", none, excluded));
    EXPECT_FALSE(IsFileFilteredOut(u"C:\\d\\c.txt", "*.txt", "", none, excluded));
}

} // namespace
