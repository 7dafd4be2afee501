#include "Packages/Files/StrProc.h"
#include "AnsiFamily.h"
#include "Packages/Files/Locale.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace {

std::u16string WithoutExtension(std::u16string s) {
    RemoveFileExtW(s);
    return s;
}

TEST(PathParts, SplitFoldersNamesAndExtensions) {
    EXPECT_EQ(IncludeTrailingBackslashW(u""), u"\\");
    EXPECT_EQ(IncludeTrailingBackslashW(u"C:\\a\\"), u"C:\\a\\");
    EXPECT_EQ(ExcludeTrailingBackslashW(u"C:\\a\\\\"), u"C:\\a\\");
    EXPECT_EQ(ExtractFileDirW(u"C:\\a\\b.txt"), u"C:\\a");
    EXPECT_EQ(ExtractFileDirW(u"C:\\b.txt"), u"C:");
    EXPECT_EQ(ExtractFileDirW(u"b.txt"), u"");
    EXPECT_EQ(ExtractFileNameW(u"C:b.txt"), u"b.txt");
    EXPECT_EQ(ExtractFileNameW(u"C:\\a\\"), u"");
    EXPECT_EQ(WithoutExtension(u"C:\\a.b\\c.tar.gz"), u"C:\\a.b\\c.tar");
    EXPECT_EQ(WithoutExtension(u"C:\\a.b\\c"), u"C:\\a.b\\c");
    std::string ansi = "list.md5";
    RemoveFileExt(ansi);
    EXPECT_EQ(ansi, "list");
}

TEST(PathParts, FindRootsAndParentsNeverAboveTheRoot) {
    EXPECT_EQ(PathRootW(u"c:x"), u"c:\\");
    EXPECT_EQ(PathRootW(u"\\\\srv\\sh\\x"), u"\\\\srv\\sh\\");
    EXPECT_EQ(PathRootW(u"\\\\srv\\sh\\"), u"");
    EXPECT_EQ(PathRootW(u"\\\\srv\\sh"), u"");
    EXPECT_EQ(PathRootW(u"1:\\x"), u"");
    EXPECT_EQ(ExtractParentDirW(u"C:\\a\\b"), u"C:\\a\\");
    EXPECT_EQ(ExtractParentDirW(u"C:\\a"), u"C:\\");
    EXPECT_EQ(ExtractParentDirW(u"C:\\"), u"C:\\");
    EXPECT_EQ(ExtractParentDirW(u"\\\\srv\\sh\\x\\"), u"\\\\srv\\sh\\");
    EXPECT_TRUE(IsDriveRooted(u"z:\\"));
    EXPECT_FALSE(IsDriveRooted(u"C:x"));
    EXPECT_FALSE(IsDriveRooted(u"\u0100:\\"));
}

TEST(PathParts, WalkElements) {
    std::u16string rest = u"\\\\a\\bc\\";
    EXPECT_EQ(NextPathElement(rest), u"a");
    EXPECT_EQ(rest, u"\\bc\\");
    EXPECT_EQ(NextPathElement(rest), u"bc");
    EXPECT_EQ(NextPathElement(rest), u"");
    EXPECT_EQ(rest, u"");
    EXPECT_EQ(FirstElementBelow(u"C:\\a\\b\\c", u"C:\\a"), u"b");
    EXPECT_EQ(FirstElementBelow(u"C:\\a\\b", u"C:\\a\\"), u"b");
}

TEST(PathComparison, IsInsideOnlyStrictlyBelowIgnoringCase) {
    for (bool nt : {true, false}) {
        std::optional<TAnsiFamily> ansi;
        if (!nt)
            ansi.emplace();
        EXPECT_TRUE(IsPathInside(u"C:\\Data\\x", u"C:\\data")) << nt;
        EXPECT_TRUE(IsPathInside(u"C:\\Ä\\x", u"c:\\ä\\")) << nt;
        EXPECT_TRUE(IsPathInside(u"C:\\x", u"C:\\")) << nt;
        EXPECT_FALSE(IsPathInside(u"C:\\DataX\\x", u"C:\\Data")) << nt;
        EXPECT_FALSE(IsPathInside(u"C:\\Data", u"C:\\Data\\")) << nt;
        EXPECT_FALSE(IsPathInside(u"", u"")) << nt;
    }
}

// Names outside the ANSI code page stay apart on the NT family, where they
// are compared as they are rather than in their ANSI form.
TEST(PathComparison, KeepsNamesOutsideTheAnsiCodePageApart) {
    EXPECT_TRUE(SamePathText(u"C:\\ДОМ", u"c:\\дом"));
    EXPECT_FALSE(SamePathText(u"C:\\дом", u"C:\\кот"));
    EXPECT_FALSE(SamePathText(u"C:\\a", u"C:\\a\\"));
}

TEST(PathLists, FindEqualContainingAndContainedEntries) {
    const TPathList list = {u"C:\\a", u"C:\\a\\b\\"};
    EXPECT_EQ(LastIndexOfContaining(list, u"C:\\a\\b\\c"), 1);
    EXPECT_EQ(LastIndexOfContaining(list, u"C:\\A\\x"), 0);
    EXPECT_EQ(LastIndexOfContaining(list, u"D:\\a"), -1);
    EXPECT_EQ(IndexOfContained(list, u"C:\\a"), 1);
    EXPECT_EQ(IndexOfContained(list, u"C:\\a\\b"), -1);
    EXPECT_EQ(LastIndexOfContained(list, u"C:\\a\\b"), 1);
    EXPECT_EQ(LastIndexOfContained(list, u"C:\\"), 1);
    EXPECT_EQ(IndexOfSamePath(list, u"c:\\A\\B"), 1);
    EXPECT_EQ(IndexOfSamePath(list, u"C:\\a\\b\\c"), -1);
    TAnsiFamily ansi;
    EXPECT_EQ(IndexOfSamePath(list, u"C:\\A\\"), 0);
}

TEST(PathLists, RemoveThePathAndEverythingInsideIt) {
    TPathList list = {u"C:\\a\\x", u"C:\\b", u"C:\\A", u"C:\\ab", u"C:\\a\\y\\z"};
    RemoveContained(list, u"C:\\a\\");
    EXPECT_EQ(list, (TPathList{u"C:\\b", u"C:\\ab"}));
}

TEST(ExpandPathAgainst, MakesPathsAbsoluteAgainstTheCurrentFolder) {
    const std::u16string current = u"C:\\work";
    EXPECT_EQ(ExpandPathAgainst(u"", current), u"C:\\work");
    EXPECT_EQ(ExpandPathAgainst(u"a\\b", current), u"C:\\work\\a\\b");
    EXPECT_EQ(ExpandPathAgainst(u"..\\a", current), u"C:\\a");
    EXPECT_EQ(ExpandPathAgainst(u"\\a", current), u"C:\\a");
    EXPECT_EQ(ExpandPathAgainst(u"C:\\out\\", current), u"C:\\out");
    EXPECT_EQ(ExpandPathAgainst(u"C:\\", current), u"C:\\");
    EXPECT_EQ(ExpandPathAgainst(u"D:", current), u"D:");
    EXPECT_EQ(ExpandPathAgainst(u"\\\\", current), u"\\\\");
    EXPECT_EQ(ExpandPathAgainst(u"\\\\srv\\share\\", current), u"\\\\srv\\share\\");
    EXPECT_EQ(ExpandPathAgainst(u"\\\\srv\\share\\x\\", current), u"\\\\srv\\share\\x");
    EXPECT_EQ(ExpandPathAgainst(u"  C:\\x", current), u"C:\\x");
    EXPECT_EQ(ExpandPathAgainst(u"  a", current), u"C:\\work\\a");
}

// The long-path prefix hands "." and ".." to the file system unresolved,
// so the folder the user means must be worked out here.
TEST(ExpandPathAgainst, ResolvesDotAndDotDotElements) {
    const std::u16string current = u"C:\\work\\docs";
    EXPECT_EQ(ExpandPathAgainst(u".", current), u"C:\\work\\docs");
    EXPECT_EQ(ExpandPathAgainst(u".\\", current), u"C:\\work\\docs");
    EXPECT_EQ(ExpandPathAgainst(u".\\x", current), u"C:\\work\\docs\\x");
    EXPECT_EQ(ExpandPathAgainst(u"..", current), u"C:\\work");
    EXPECT_EQ(ExpandPathAgainst(u"..\\photos", current), u"C:\\work\\photos");
    EXPECT_EQ(ExpandPathAgainst(u"..\\..\\..\\..", current), u"C:\\");
    EXPECT_EQ(ExpandPathAgainst(u"a\\.\\b\\..\\c\\\\d\\", current), u"C:\\work\\docs\\a\\c\\d");
    EXPECT_EQ(ExpandPathAgainst(u"C:\\x\\..\\y\\.", current), u"C:\\y");
    EXPECT_EQ(ExpandPathAgainst(u"...\\a.", current), u"C:\\work\\docs\\...\\a.");
    EXPECT_EQ(ExpandPathAgainst(u"\\\\srv\\share\\x\\..\\..", current), u"\\\\srv\\share\\");
    EXPECT_EQ(ExpandPathAgainst(u"..", u"\\\\srv\\share"), u"\\\\srv\\share\\");
    EXPECT_EQ(ExpandPathAgainst(u"\\a", u"\\\\srv\\share\\dir"), u"\\\\srv\\share\\a");
}

TEST(LongPathForm, PrefixesAbsolutePathsOnly) {
    EXPECT_EQ(LongPathForm(u"C:\\data\\*.*"), u"\\\\?\\C:\\data\\*.*");
    EXPECT_EQ(LongPathForm(u"\\\\srv\\share\\x\\*.*"), u"\\\\?\\UNC\\srv\\share\\x\\*.*");
    EXPECT_EQ(LongPathForm(u"C:/data/./x/../y"), u"\\\\?\\C:\\data\\y");
    EXPECT_EQ(LongPathForm(u"\\\\?\\C:\\a\\..\\b"), u"\\\\?\\C:\\a\\..\\b");
    EXPECT_EQ(LongPathForm(u"\\\\.\\pipe\\x"), u"\\\\.\\pipe\\x");
    EXPECT_EQ(LongPathForm(u"relative\\a"), u"relative\\a");
    EXPECT_EQ(LongPathForm(u"C:"), u"C:");
}

TEST(RelativeToFolder, GivesTheRestBelowTheFolder) {
    EXPECT_EQ(RelativeToFolder(u"C:\\a", u"C:\\a\\b\\c.txt"), u"b\\c.txt");
    EXPECT_EQ(RelativeToFolder(u"C:\\a\\", u"C:\\a\\b"), u"b");
    EXPECT_EQ(RelativeToFolder(u"C:\\a", u"C:\\A"), u"C:\\a");
    EXPECT_EQ(RelativeToFolder(u"C:\\a", u"D:\\x"), u"");
    EXPECT_EQ(RelativeToFolder(u"C:\\a", u"C:\\ab\\x"), u"");
    // Letter case of the folder as typed does not lose the rest.
    EXPECT_EQ(RelativeToFolder(u"C:\\DATA", u"C:\\Data\\sub\\f.txt"), u"sub\\f.txt");
}

TEST(IsValidPathSyntax, RejectsWildcardsReservedCharactersAndDoubledSeparators) {
    EXPECT_TRUE(IsValidPathSyntax(u"C:\\a\\b.txt"));
    EXPECT_TRUE(IsValidPathSyntax(u"\\\\srv\\share\\f.txt"));
    EXPECT_TRUE(IsValidPathSyntax(u"sums.md5"));
    EXPECT_TRUE(IsValidPathSyntax(u"C:\\Дом\\файл.md5"));
    const std::u16string bad[] = {u"C:\\a\\\\b", u"C:\\a?b",  u"C:x",     u"C:",      u"",
                                  u"C:\\a*",     u"C:\\a\"b", u"C:\\a<b", u"C:\\a>b", u"C:\\a|b",
                                  u"C:\\a/b",    u"C:\\a:b",  u"\\\\srv"};
    for (size_t i = 0; i < std::size(bad); ++i)
        EXPECT_FALSE(IsValidPathSyntax(bad[i])) << "case " << i;
}

TEST(ShortenPath, KeepsDriveLeadingFoldersAndName) {
    const std::string path = "C:\\Program Files\\Some Vendor\\Product\\data\\file.txt";
    EXPECT_EQ(ShortenPath(path, 30), "C:\\Program Files\\S...\\file.txt");
    EXPECT_EQ(ShortenPath(path, 50), path);
    EXPECT_EQ(ShortenPath("C:\\a\\averyveryverylongname.txt", 12), "...\\avery...");
    EXPECT_EQ(ShortenPath("averyveryverylongname.txt", 12), "averyvery...");
    EXPECT_EQ(ShortenPath("\\\\server\\share\\folder\\sub\\name.txt", 28),
              "\\\\server\\share\\f...\\name.txt");
    EXPECT_EQ(EllipsizeText("abcdefgh", 6), "abc...");
}

TEST(ShortenPath, NeverExceedsTheLimit) {
    std::mt19937 random(11);
    const std::string pieces[] = {"C:",    "\\\\srv\\sh",   "dir", "a", "Long Folder Name",
                                  "x.txt", "file.name.ext", ""};
    for (int i = 0; i < 2000; ++i) {
        std::string path;
        const int count = 1 + static_cast<int>(random() % 7);
        for (int j = 0; j < count; ++j)
            path += (j > 0 ? "\\" : "") + pieces[random() % std::size(pieces)];
        const int maxLen = 8 + static_cast<int>(random() % 40);
        const std::string shortened = ShortenPath(path, maxLen);
        EXPECT_LE(shortened.size(), static_cast<size_t>(maxLen)) << path << " to " << maxLen;
        if (path.size() <= static_cast<size_t>(maxLen)) {
            EXPECT_EQ(shortened, path);
        }
    }
}

TEST(FormatFileSize, ShowsTwoDecimalsInTheUnitThatFits) {
    const std::string point = UserDecimalSeparator();
    EXPECT_EQ(FormatFileSize(0), "0" + point + "00 Kb");
    EXPECT_EQ(FormatFileSize(1536), "1" + point + "50 Kb");
    EXPECT_EQ(FormatFileSize(1048576), "1024" + point + "00 Kb");
    EXPECT_EQ(FormatFileSize(3145728), "3" + point + "00 Mb");
    EXPECT_EQ(FormatFileSize(1073741824), "1024" + point + "00 Mb");
    EXPECT_EQ(FormatFileSize(int64_t(5) << 30), "5" + point + "00 Gb");
    EXPECT_EQ(FormatFileSize(int64_t(6) << 40), "6144" + point + "00 Gb");
}

} // namespace
