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

std::u16string WithoutExtension(std::u16string s) {
    RemoveFileExtW(s);
    return s;
}

TEST(PathParts, SplitFoldersNamesExtensionsAndRoots) {
    // clang-format off
    ExpectEach(IncludeTrailingBackslashW, {{u"", u"\\"}, {u"C:\\a\\", u"C:\\a\\"}});
    ExpectEach(ExcludeTrailingBackslashW, {{u"C:\\a\\\\", u"C:\\a\\"}});
    ExpectEach(ExtractFileDirW, {{u"C:\\a\\b.txt", u"C:\\a"}, {u"C:\\b.txt", u"C:"},
                                 {u"b.txt", u""}});
    ExpectEach(ExtractFileNameW, {{u"C:b.txt", u"b.txt"}, {u"C:\\a\\", u""}});
    ExpectEach(WithoutExtension, {{u"C:\\a.b\\c.tar.gz", u"C:\\a.b\\c.tar"},
                                  {u"C:\\a.b\\c", u"C:\\a.b\\c"}});
    ExpectEach(PathRootW, {{u"c:x", u"c:\\"},            {u"\\\\srv\\sh\\x", u"\\\\srv\\sh\\"},
                           {u"\\\\srv\\sh\\", u""},      {u"\\\\srv\\sh", u""}, {u"1:\\x", u""}});
    // clang-format on
    EXPECT_TRUE(IsDriveRooted(u"z:\\"));
    EXPECT_FALSE(IsDriveRooted(u"C:x"));
    EXPECT_FALSE(IsDriveRooted(u"\u0100:\\"));

    EXPECT_EQ(FirstElementBelow(u"C:\\a\\b\\c", u"C:\\a"), u"b");
    EXPECT_EQ(FirstElementBelow(u"C:\\a\\b", u"C:\\a\\"), u"b");
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
    EXPECT_EQ(RelativeToFolder(u"C:\\a\\", u"C:\\a\\b"), u"b");
    EXPECT_EQ(RelativeToFolder(u"C:\\a", u"C:\\A"), u"C:\\a");
    EXPECT_EQ(RelativeToFolder(u"C:\\a", u"D:\\x"), u"");
    EXPECT_EQ(RelativeToFolder(u"C:\\a", u"C:\\ab\\x"), u"");
    EXPECT_EQ(RelativeToFolder(u"C:\\DATA", u"C:\\Data\\sub\\f.txt"), u"sub\\f.txt");
}

TEST(IsValidPathSyntax, RejectsWildcardsReservedCharactersAndDoubledSeparators) {
    for (const char16_t* good :
         {u"C:\\a\\b.txt", u"\\\\srv\\share\\f.txt", u"sums.md5", u"C:\\Дом\\файл.md5"})
        EXPECT_TRUE(IsValidPathSyntax(good)) << ::testing::PrintToString(good);
    for (const char16_t* bad :
         {u"C:\\a\\\\b", u"C:\\a?b", u"C:x", u"C:", u"", u"C:\\a*", u"C:\\a\"b", u"C:\\a<b",
          u"C:\\a>b", u"C:\\a|b", u"C:\\a/b", u"C:\\a:b", u"\\\\srv"})
        EXPECT_FALSE(IsValidPathSyntax(bad)) << ::testing::PrintToString(bad);
}

TEST(ShortenPath, KeepsDriveLeadingFoldersAndName) {
    const std::u16string path = u"C:\\Program Files\\Some Vendor\\Product\\data\\file.txt";
    EXPECT_EQ(ShortenPath(path, 30), u"C:\\Program Files\\S...\\file.txt");
    EXPECT_EQ(ShortenPath(path, 50), path);
    EXPECT_EQ(ShortenPath(u"C:\\a\\averyveryverylongname.txt", 12), u"...\\avery...");
    EXPECT_EQ(ShortenPath(u"averyveryverylongname.txt", 12), u"averyvery...");
    EXPECT_EQ(ShortenPath(u"\\\\server\\share\\folder\\sub\\name.txt", 28),
              u"\\\\server\\share\\f...\\name.txt");
    EXPECT_EQ(EllipsizeText(u"abcdefgh", 6), u"abc...");
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

TEST(FormatFileSize, ShowsTwoDecimalsInTheUnitThatFits) {
    const std::string point = UserDecimalSeparator();
    const std::pair<int64_t, std::string> cases[] = {{0, "0" + point + "00 Kb"},
                                                     {1536, "1" + point + "50 Kb"},
                                                     {1048576, "1024" + point + "00 Kb"},
                                                     {3145728, "3" + point + "00 Mb"},
                                                     {1073741824, "1024" + point + "00 Mb"},
                                                     {int64_t(5) << 30, "5" + point + "00 Gb"},
                                                     {int64_t(6) << 40, "6144" + point + "00 Gb"}};
    for (const auto& [size, text] : cases)
        EXPECT_EQ(FormatFileSize(size), text) << size;
}

} // namespace
