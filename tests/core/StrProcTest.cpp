#include "Packages/Files/StrProc.h"
#include "Packages/Files/Locale.h"
#include "system/Utf8.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using TCases = std::vector<std::pair<std::u16string, std::u16string>>;

// Each first member, passed to f, gives the second.
template <typename F> void ExpectEach(F f, const TCases& cases) {
    for (const auto& [in, out] : cases)
        EXPECT_EQ(f(in), out) << ::testing::PrintToString(in);
}

// Case is ignored, of letters outside the ANSI code page too.
TEST(PathComparison, IsInsideOnlyStrictlyBelowIgnoringCase) {
    EXPECT_TRUE(IsPathInside(u"C:\\Data\\x", u"C:\\data"));
    EXPECT_TRUE(IsPathInside(u"C:\\Ä\\x", u"c:\\ä\\"));
    EXPECT_TRUE(IsPathInside(u"C:\\x", u"C:\\"));
    EXPECT_FALSE(IsPathInside(u"C:\\DataX\\x", u"C:\\Data"));
    EXPECT_FALSE(IsPathInside(u"C:\\Data", u"C:\\Data\\"));
    EXPECT_FALSE(IsPathInside(u"", u""));
    EXPECT_TRUE(SamePathText(u"C:\\ДОМ", u"c:\\дом"));
    EXPECT_FALSE(SamePathText(u"C:\\дом", u"C:\\кот"));
    EXPECT_FALSE(SamePathText(u"C:\\a", u"C:\\a\\"));
}

TEST(PathLists, FindAndRemoveEqualContainingAndContainedEntries) {
    const TPathList list = {u"C:\\a", u"C:\\a\\b\\"};
    EXPECT_EQ(LastIndexOfContaining(list, u"C:\\a\\b\\c"), 1);
    EXPECT_EQ(LastIndexOfContaining(list, u"C:\\A\\x"), 0);
    EXPECT_EQ(LastIndexOfContaining(list, u"D:\\a"), -1);
    EXPECT_EQ(IndexOfSamePath(list, u"c:\\A\\B"), 1);
    EXPECT_EQ(IndexOfSamePath(list, u"C:\\a\\b\\c"), -1);

    TPathList removed = {u"C:\\a\\x", u"C:\\b", u"C:\\A", u"C:\\ab", u"C:\\a\\y\\z"};
    RemoveContained(removed, u"C:\\a\\");
    EXPECT_EQ(removed, (TPathList{u"C:\\b", u"C:\\ab"}));
}

// The long-path prefix hands "." and ".." to the file system unresolved,
// so the folder the user means must be worked out here.
TEST(ExpandPathAgainst, MakesPathsAbsoluteAndResolvesDots) {
    const auto inWork = [](const std::u16string& p) { return ExpandPathAgainst(p, u"C:\\work"); };
    const auto inDocs = [](const std::u16string& p) {
        return ExpandPathAgainst(p, u"C:\\work\\docs");
    };
    // clang-format off
    ExpectEach(inWork, {
        {u"", u"C:\\work"},           {u"a\\b", u"C:\\work\\a\\b"}, {u"..\\a", u"C:\\a"},
        {u"\\a", u"C:\\a"},           {u"C:\\out\\", u"C:\\out"},   {u"C:\\", u"C:\\"},
        {u"D:", u"D:"},               {u"\\\\", u"\\\\"},           {u"  C:\\x", u"C:\\x"},
        {u"  a", u"C:\\work\\a"},     {u"\\\\srv\\share\\", u"\\\\srv\\share\\"},
        {u"\\\\srv\\share\\x\\", u"\\\\srv\\share\\x"}});
    ExpectEach(inDocs, {
        {u".", u"C:\\work\\docs"},    {u".\\", u"C:\\work\\docs"}, {u".\\x", u"C:\\work\\docs\\x"},
        {u"..", u"C:\\work"},         {u"..\\photos", u"C:\\work\\photos"},
        {u"..\\..\\..\\..", u"C:\\"}, {u"C:\\x\\..\\y\\.", u"C:\\y"},
        {u"a\\.\\b\\..\\c\\\\d\\", u"C:\\work\\docs\\a\\c\\d"},
        {u"...\\a.", u"C:\\work\\docs\\...\\a."},
        {u"\\\\srv\\share\\x\\..\\..", u"\\\\srv\\share\\"}});
    // clang-format on
    EXPECT_EQ(ExpandPathAgainst(u"..", u"\\\\srv\\share"), u"\\\\srv\\share\\");
    EXPECT_EQ(ExpandPathAgainst(u"\\a", u"\\\\srv\\share\\dir"), u"\\\\srv\\share\\a");
}

TEST(LongPathForm, PrefixesAbsolutePathsOnly) {
    // clang-format off
    ExpectEach(LongPathForm, {
        {u"C:\\data\\*.*", u"\\\\?\\C:\\data\\*.*"},
        {u"C:/data/./x/../y", u"\\\\?\\C:\\data\\y"},
        {u"\\\\srv\\share\\x\\*.*", u"\\\\?\\UNC\\srv\\share\\x\\*.*"},
        {u"\\\\?\\C:\\a\\..\\b", u"\\\\?\\C:\\a\\..\\b"}, {u"\\\\.\\pipe\\x", u"\\\\.\\pipe\\x"},
        {u"relative\\a", u"relative\\a"},                 {u"C:", u"C:"}});
    // clang-format on
}

// The letter case of the folder as typed does not lose the rest.
TEST(RelativeToFolder, GivesTheRestBelowTheFolder) {
    EXPECT_EQ(RelativeToFolder(u"C:\\a", u"C:\\a\\b\\c.txt"), u"b\\c.txt");
    EXPECT_EQ(RelativeToFolder(u"C:\\a", u"C:\\A"), u"C:\\a");
    EXPECT_EQ(RelativeToFolder(u"C:\\a", u"C:\\ab\\x"), u"");
    EXPECT_EQ(RelativeToFolder(u"C:\\DATA", u"C:\\Data\\sub\\f.txt"), u"sub\\f.txt");
}

TEST(ShortenPath, NeverExceedsTheLimit) {
    std::mt19937 random(11);
    const std::u16string pieces[] = {u"C:",    u"\\\\srv\\sh",   u"dir", u"a", u"Long Folder Name",
                                     u"x.txt", u"file.name.ext", u""};
    for (int i = 0; i < 2000; ++i) {
        std::u16string path;
        const int count = 1 + static_cast<int>(random() % 7);
        for (int j = 0; j < count; ++j)
            path += (j > 0 ? u"\\" : u"") + pieces[random() % std::size(pieces)];
        const size_t maxLen = 8 + random() % 40;
        const std::u16string shortened = ShortenPath(path, static_cast<int>(maxLen));
        EXPECT_LE(shortened.size(), maxLen) << WideToUtf8(path) << " to " << maxLen;
        if (path.size() <= maxLen) {
            EXPECT_EQ(shortened, path);
        }
    }
}

} // namespace
