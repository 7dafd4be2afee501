// The file wrappers on real folders under Wine. Drive letters and share
// names are symbolic links in $WINEPREFIX/dosdevices made by the tests (see
// WineHost.h); a letter without a link is a missing drive.
#include "Packages/Files/FileFunc.h"
#include "WineHost.h"
#include "system/SystemErrors.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

namespace {

using wine_host::MakeFile;

struct TEntry {
    uint64_t Size = 0;
    uint32_t Attr = 0;
};

class FileWrappers : public ::testing::Test {
protected:
    std::u16string Path(const std::u16string& relative) const {
        return temp_.Path() + u"\\" + relative;
    }
    void MakeDir(const std::u16string& path) {
        ASSERT_TRUE(WideCreateDir(path)) << "error " << FileLastError;
    }
    // Every entry a search finds, by name; the search must end normally.
    std::map<std::u16string, TEntry> List(const std::u16string& searchPath) {
        std::map<std::u16string, TEntry> entries;
        TLxSearchRec rec;
        int result = WideFindFirst(searchPath, rec);
        for (; result == 0; result = WideFindNext(rec))
            entries[rec.Name] = {rec.Size, rec.Attr};
        EXPECT_EQ(result, entries.empty() ? static_cast<int>(kErrorFileNotFound)
                                          : static_cast<int>(kErrorNoMoreFiles));
        return entries;
    }

    wine_host::TTempFolder temp_;
};

TEST_F(FileWrappers, SearchFindsEntriesWithSizesAttributesAndWideNames) {
    MakeFile(Path(u"a.txt"), "abc");
    MakeDir(Path(u"sub"));
    MakeFile(Path(u"Дом №1 ελληνικά.txt"), "xy");

    const auto entries = List(Path(u"*.*"));
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries.at(u"a.txt").Size, 3u);
    EXPECT_FALSE(IsDirectory(entries.at(u"a.txt").Attr));
    EXPECT_TRUE(IsDirectory(entries.at(u"sub").Attr));
    EXPECT_EQ(entries.at(u"Дом №1 ελληνικά.txt").Size, 2u);
    EXPECT_EQ(entries.count(u"."), 1u);
    EXPECT_EQ(entries.count(u".."), 1u);

    TLxSearchRec rec;
    ASSERT_EQ(WideFindFirst(u"   " + Path(u"a.txt"), rec), 0) << "leading blanks are dropped";
    EXPECT_EQ(rec.Name, u"a.txt");
    EXPECT_NE(rec.Time, 0u);
    EXPECT_EQ(WideFindFirst(Path(u"none.txt"), rec), static_cast<int>(kErrorFileNotFound));
    EXPECT_EQ(WideFindFirst(Path(u"none\\*.*"), rec), static_cast<int>(kErrorPathNotFound));
    EXPECT_FALSE(rec.FindHandle.Valid());
}

// ForceDirectoriesW and the others also beyond the classic path limit.
TEST_F(FileWrappers, ForceDirectoriesCreatesTheMissingChainOfAnyLength) {
    EXPECT_TRUE(ForceDirectoriesW(Path(u"x\\y\\z\\")));
    EXPECT_TRUE(WideDirectoryExists(Path(u"x\\y\\z")));
    EXPECT_TRUE(ForceDirectoriesW(Path(u"x\\y\\w")));
    MakeFile(Path(u"file"));
    EXPECT_FALSE(ForceDirectoriesW(Path(u"file\\sub")));
    EXPECT_EQ(FileLastError, kErrorAlreadyExists);
    EXPECT_THROW(ForceDirectoriesW(u""), std::invalid_argument);

    std::u16string deep = temp_.Path();
    for (int i = 0; i < 10; ++i)
        deep += u"\\folder number " + std::u16string(1, char16_t(u'0' + i)) + u" with a long name";
    ASSERT_GT(deep.size(), 300u);
    ASSERT_TRUE(ForceDirectoriesW(deep)) << "error " << FileLastError;
    EXPECT_TRUE(WideDirectoryExists(deep + u"\\"));
    MakeFile(deep + u"\\f.txt", "12345");
    EXPECT_EQ(GetPathKind(deep + u"\\f.txt"), pkFile);
    EXPECT_EQ(GetPathKind(deep), pkFolder);
    EXPECT_EQ(List(deep + u"\\*.txt").at(u"f.txt").Size, 5u);
}

// Without the long-path form the system would drop the trailing dot and
// blank and reach another file than the one a search found.
TEST_F(FileWrappers, ReachNamesExactlyAsWritten) {
    MakeFile(Path(u"plain"), "1");
    MakeFile(Path(u"plain. "), "22");
    const auto entries = List(Path(u"plain*"));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries.at(u"plain").Size, 1u);
    EXPECT_EQ(entries.at(u"plain. ").Size, 2u);
    EXPECT_EQ(GetPathKind(Path(u"plain. ")), pkFile);
    EXPECT_TRUE(WideCreateDir(Path(u"dir.")));
    EXPECT_TRUE(WideDirectoryExists(Path(u"dir.")));
    EXPECT_FALSE(WideDirectoryExists(Path(u"dir")));
}

// A drive root is a drive whether mapped or missing; a share root is a
// folder, and both are searched through.
TEST_F(FileWrappers, RootsOfDrivesAndShares) {
    MakeDir(Path(u"drive"));
    MakeDir(Path(u"drive\\sub"));
    MakeFile(Path(u"drive\\sub\\f.txt"), "f");
    const wine_host::TDosDevice drive(temp_.HostPath() + "/drive");
    ASSERT_TRUE(drive.Ready());
    const std::u16string root = drive.Drive() + u"\\";
    EXPECT_EQ(GetPathKind(root), pkDrive);
    EXPECT_EQ(GetPathKind(drive.Drive()), pkDrive);
    EXPECT_EQ(GetPathKind(root + u"sub"), pkFolder);
    // A missing name one character long is not taken for a drive.
    EXPECT_EQ(GetPathKind(root + u"x"), pkNone);
    EXPECT_EQ(List(root + u"*.*").count(u"sub"), 1u);

    const char16_t missing = wine_host::UnusedDriveLetter(drive.Drive());
    ASSERT_NE(missing, 0);
    const std::u16string missingRoot = std::u16string(1, missing) + u":\\";
    EXPECT_EQ(GetPathKind(missingRoot), pkDrive);
    EXPECT_EQ(GetPathKind(missingRoot + u"data"), pkNone);
    EXPECT_FALSE(WideDiskReady(missingRoot));
    EXPECT_FALSE(IsExistingAbsoluteFolder(missingRoot));

    const std::string server =
        "tallix" + std::to_string(reinterpret_cast<uintptr_t>(this) % 100000);
    const wine_host::TDosDevice share(temp_.HostPath() + "/drive", server + "/docs");
    ASSERT_TRUE(share.Ready());
    const std::u16string unc = u"\\\\" + std::u16string(server.begin(), server.end()) + u"\\docs";
    EXPECT_EQ(GetPathKind(unc), pkFolder);
    EXPECT_EQ(GetPathKind(unc + u"\\sub"), pkFolder);
    EXPECT_EQ(GetPathKind(unc + u"\\sub\\f.txt"), pkFile);
    EXPECT_EQ(List(unc + u"\\sub\\*.*").at(u"f.txt").Size, 1u);
}

TEST(FormatFileSize, UsesTheUsersDecimalSeparator) {
    const std::string saved = wine_host::ReplaceUserDecimalSeparator(",");
    const std::string text = FormatFileSize(1536);
    wine_host::ReplaceUserDecimalSeparator(saved);
    EXPECT_EQ(text, "1,50 Kb");
}

} // namespace
