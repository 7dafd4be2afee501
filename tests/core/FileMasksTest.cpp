#include "Packages/Files/FileMasks.h"

#include <gtest/gtest.h>

namespace {

// Base and extension are compared apart, ignoring case, as short names are:
// "*" ends the base, a missing extension is empty, ".ext" looks at the
// extension only, and a name whose only dot comes first matches nothing.
TEST(MatchesMask, ComparesBaseAndExtensionApartLikeShortNames) {
    // clang-format off
    const struct { const char* Name; const char* Mask; bool Matches; } rows[] = {
        {"a.TXT", "*.txt", true}, {"b.txt", "*.TXT", true}, {"a.txt.bak", "*.txt", false},
        {"txt", "*.txt", false}, {"abd.txt", "a*c.txt", true}, {"a.txt", "?.txt", true},
        {"ab.txt", "?.txt", false}, {"a.txt", "a?.txt", false}, {"notes.doc", "notes.d?c", true},
        {"notes.docx", "notes.d?c", false}, {"x.y.z", "*", true}, {"..", "*.*", true},
        {"abc.", "", true}, {"readme", "*.*", true}, {"readme", "readme", true},
        {"readme.txt", "readme", false}, {"readme.txt", "read*", true}, {"readme", "read*", true},
        {"readme", "readme.*x", false}, {"readme", "readme.txt", false}, {"abc.", "abc.", true},
        {"abc", "abc.", false}, {"abc.", "abc.*", true}, {"abc.", "abc.txt", false},
        {"anything.txt", ".txt", true}, {"anything.doc", ".txt", false}, {"anything.", ".*", true},
        {".profile", "*", false}, {".profile", "*.*", false}, {".profile", ".profile", false},
        {".profile", "*.profile", false}, {".profile", "?profile", false}, {".", "*", false},
        {"", "*", false},
        {"\xC4\xCE\xCC.TXT", "\xE4\xEE\xEC.txt", true}, // ДОМ / дом in code page 1251
    };
    // clang-format on
    for (const auto& r : rows)
        EXPECT_EQ(MatchesMask(r.Name, r.Mask), r.Matches) << r.Name << " " << r.Mask;
    EXPECT_EQ(LowerCaseBytes("AZaz@[\xC0\xDF\xE0\xFF"), "azaz@[\xE0\xFF\xE0\xFF");
}

// An empty mask in a list matches everything; tiny pieces before a separator
// are dropped when the list is split.
TEST(MaskLists, MatchAnyMaskAndSplitAsWritten) {
    EXPECT_TRUE(MatchesMaskList("", "x.bin"));
    EXPECT_TRUE(MatchesMaskList("*.txt;*.doc", "a.doc"));
    EXPECT_FALSE(MatchesMaskList("*.txt;*.doc", "a.bin"));
    EXPECT_TRUE(MatchesMaskList("*.txt;;*.doc", "a.bin"));
    EXPECT_TRUE(MatchesMaskList(";*.txt", "a.bin"));
    EXPECT_FALSE(MatchesMaskList("*.txt;", "a.bin"));
    EXPECT_TRUE(MatchesMaskList("md?sum.lst;*.md5", "MD5SUM.LST"));

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
    const TPathList none, included = {u"c:\\D\\ABC.TXT"}, excluded = {u"C:\\d\\b.txt"};
    EXPECT_TRUE(IsFileFilteredOut(u"C:\\d\\abc.txt", "*.txt", "a*", none, none));
    EXPECT_FALSE(IsFileFilteredOut(u"C:\\d\\b.txt", "*.txt", "a*", none, none));
    EXPECT_TRUE(IsFileFilteredOut(u"C:\\d\\notes.doc", "*.txt", "a*", none, none));
    EXPECT_FALSE(IsFileFilteredOut(u"C:\\d\\notes.doc", "", "", none, none));
    EXPECT_FALSE(IsFileFilteredOut(u"C:\\d\\abc.txt", "*.txt", "a*", included, none));
    EXPECT_TRUE(IsFileFilteredOut(u"C:\\d\\b.txt", "*.txt", "", none, excluded));
    EXPECT_FALSE(IsFileFilteredOut(u"C:\\d\\c.txt", "*.txt", "", none, excluded));
}

} // namespace
