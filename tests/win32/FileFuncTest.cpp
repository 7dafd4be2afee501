// The file wrappers on real folders under Wine. Drive letters and share
// names are symbolic links in $WINEPREFIX/dosdevices made by the tests (see
// WineHost.h); a letter without a link is a missing drive.
#include "Packages/Files/FileFunc.h"
#include "../core/AnsiFamily.h"
#include "WineHost.h"
#include "system/SystemErrors.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <thread>

namespace {

using wine_host::TDosDevice;
using wine_host::TTempFolder;

constexpr uint32_t kSharingViolation = 32;

struct TEntry {
    uint64_t Size = 0;
    uint32_t Attr = 0;
};

class FileWrappers : public ::testing::Test {
protected:
    std::u16string Path(const std::u16string& relative) const {
        return temp_.Path() + u"\\" + relative;
    }
    void MakeFile(const std::u16string& path, std::string_view bytes = "") {
        const TFileHandle file = WideCreateFileForWrite(path);
        ASSERT_TRUE(file.Valid()) << "error " << FileLastError;
        ASSERT_EQ(WideWriteFile(file, bytes), 0u);
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

    TTempFolder temp_;
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
    WideFindClose(rec);
    WideFindClose(rec);
    EXPECT_FALSE(rec.FindHandle.Valid());
    EXPECT_NE(WideFindNext(rec), 0) << "a closed search finds nothing";
}

TEST_F(FileWrappers, SearchReportsMissingEntriesAndIgnoresEmptyPaths) {
    TLxSearchRec rec;
    EXPECT_EQ(WideFindFirst(Path(u"none.txt"), rec), static_cast<int>(kErrorFileNotFound));
    EXPECT_EQ(WideFindFirst(Path(u"none\\*.*"), rec), static_cast<int>(kErrorPathNotFound));
    EXPECT_FALSE(rec.FindHandle.Valid());

    MakeFile(Path(u"a.txt"));
    ASSERT_EQ(WideFindFirst(Path(u"a.txt"), rec), 0);
    EXPECT_EQ(WideFindFirst(u"", rec), 0);
    EXPECT_EQ(rec.Name, u"a.txt") << "an empty path leaves the record as it was";
    EXPECT_TRUE(rec.FindHandle.Valid());
}

TEST_F(FileWrappers, AnsiBranchSearchesAndClassifiesToo) {
    MakeFile(Path(u"a.txt"), "abcd");
    MakeDir(Path(u"sub"));
    const std::u16string wideCurrent = GetCurrentDirW();
    TAnsiFamily ansi;
    const auto entries = List(Path(u"*.txt"));
    ASSERT_EQ(entries.count(u"a.txt"), 1u);
    EXPECT_EQ(entries.at(u"a.txt").Size, 4u);
    EXPECT_EQ(GetPathKind(Path(u"sub")), pkFolder);
    EXPECT_EQ(GetPathKind(Path(u"a.txt")), pkFile);
    EXPECT_EQ(GetPathKind(Path(u"none")), pkNone);
    EXPECT_EQ(GetCurrentDirW(), wideCurrent);
    EXPECT_TRUE(WideCreateDir(Path(u"made")));
    EXPECT_TRUE(WideDirectoryExists(Path(u"made")));
}

TEST_F(FileWrappers, WorkBeyondTheClassicPathLimit) {
    std::u16string deep = temp_.Path();
    for (int i = 0; i < 10; ++i)
        deep += u"\\folder number " + std::u16string(1, char16_t(u'0' + i)) + u" with a long name";
    ASSERT_GT(deep.size(), 300u);
    ASSERT_TRUE(ForceDirectoriesW(deep)) << "error " << FileLastError;
    EXPECT_TRUE(WideDirectoryExists(deep + u"\\"));
    EXPECT_TRUE(IsExistingAbsoluteFolder(deep));
    MakeFile(deep + u"\\f.txt", "12345");
    EXPECT_EQ(GetPathKind(deep + u"\\f.txt"), pkFile);
    EXPECT_EQ(GetPathKind(deep), pkFolder);
    EXPECT_EQ(List(deep + u"\\*.txt").at(u"f.txt").Size, 5u);
    EXPECT_NE(WideFileAttributes(deep), INVALID_FILE_ATTRIBUTES_VALUE);
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

TEST_F(FileWrappers, SearchGivesSizesPastTwoAndFourGiB) {
    const uint64_t sizes[] = {uint64_t(1) << 31, uint64_t(4) << 30, uint64_t(5) << 30};
    for (uint64_t size : sizes) {
        const std::u16string name = Path(u"sparse.bin");
        {
            const TFileHandle file = WideCreateFileForWrite(name);
            ASSERT_TRUE(file.Valid());
            ASSERT_TRUE(wine_host::SetFileSize(file, size));
        }
        EXPECT_EQ(List(name).at(u"sparse.bin").Size, size);
        EXPECT_EQ(GetPathKind(name), pkFile);
    }
}

TEST_F(FileWrappers, ClassifyFilesFoldersAndMissingPaths) {
    MakeFile(Path(u"a.txt"));
    MakeDir(Path(u"Ελληνικά"));
    EXPECT_EQ(GetPathKind(Path(u"a.txt")), pkFile);
    EXPECT_EQ(FileLastError, 0u);
    EXPECT_EQ(GetPathKind(Path(u"Ελληνικά")), pkFolder);
    EXPECT_EQ(GetPathKind(Path(u"Ελληνικά\\\\")), pkFolder);
    EXPECT_EQ(GetPathKind(Path(u"none.txt")), pkNone);
    EXPECT_EQ(FileLastError, kErrorFileNotFound);
    EXPECT_EQ(GetPathKind(Path(u"none\\x")), pkNone);
    EXPECT_EQ(FileLastError, kErrorPathNotFound);
    FileLastError = 0;
    EXPECT_EQ(GetPathKind(u""), pkNone);
    EXPECT_EQ(FileLastError, kErrorFileNotFound);
    EXPECT_EQ(GetPathKind(u"\\\\"), pkNone);
    EXPECT_EQ(GetPathKind(u"\\"), pkNone);
}

TEST_F(FileWrappers, DriveRootsAreDrivesWhetherMappedOrMissing) {
    MakeDir(Path(u"drive"));
    MakeDir(Path(u"drive\\sub"));
    const char16_t letter = wine_host::UnusedDriveLetter();
    const char16_t missing = wine_host::UnusedDriveLetter(std::u16string(1, letter));
    ASSERT_NE(missing, 0);
    const std::string device(1, static_cast<char>(letter - u'A' + 'a'));
    const TDosDevice drive(device + ":", temp_.HostPath() + "/drive");
    ASSERT_TRUE(drive.Ready());
    const std::u16string root = std::u16string(1, letter) + u":\\";

    EXPECT_EQ(GetPathKind(root), pkDrive);
    EXPECT_EQ(GetPathKind(root.substr(0, 2)), pkDrive);
    EXPECT_EQ(GetPathKind(root + u"sub"), pkFolder);
    // A missing name one character long is not taken for a drive.
    EXPECT_EQ(GetPathKind(root + u"x"), pkNone);
    EXPECT_TRUE(WideDiskReady(root));
    EXPECT_TRUE(IsExistingAbsoluteFolder(root));
    EXPECT_TRUE(WideDirectoryExists(root));
    EXPECT_EQ(List(root + u"*.*").count(u"sub"), 1u);

    const std::u16string missingRoot = std::u16string(1, missing) + u":\\";
    EXPECT_EQ(GetPathKind(missingRoot), pkDrive);
    EXPECT_EQ(GetPathKind(missingRoot + u"data"), pkNone);
    EXPECT_FALSE(WideDiskReady(missingRoot));
    EXPECT_FALSE(IsExistingAbsoluteFolder(missingRoot));
}

TEST_F(FileWrappers, ShareRootsAreFoldersAndSearchedThroughUncPaths) {
    MakeDir(Path(u"share"));
    MakeDir(Path(u"share\\sub"));
    MakeFile(Path(u"share\\sub\\f.txt"), "f");
    const std::string server =
        "tallix" + std::to_string(reinterpret_cast<uintptr_t>(this) % 100000);
    const TDosDevice share("unc/" + server + "/docs", temp_.HostPath() + "/share");
    ASSERT_TRUE(share.Ready());
    const std::u16string unc = u"\\\\" + std::u16string(server.begin(), server.end()) + u"\\docs";

    EXPECT_EQ(GetPathKind(unc), pkFolder);
    EXPECT_EQ(GetPathKind(unc + u"\\"), pkFolder);
    EXPECT_EQ(GetPathKind(unc + u"\\sub"), pkFolder);
    EXPECT_EQ(GetPathKind(unc + u"\\sub\\f.txt"), pkFile);
    EXPECT_EQ(GetPathKind(unc + u"\\sub\\none.txt"), pkNone);
    EXPECT_EQ(List(unc + u"\\sub\\*.*").at(u"f.txt").Size, 1u);
    EXPECT_TRUE(IsExistingAbsoluteFolder(unc + u"\\sub"));
}

TEST_F(FileWrappers, EachOpenReportsWhatTheSystemSaid) {
    const std::u16string name = Path(u"n.txt");
    {
        const TFileHandle probe = WideOpenOrCreateForWrite(name);
        EXPECT_TRUE(probe.Valid());
        EXPECT_EQ(FileLastError, 0u);
        ASSERT_EQ(WideWriteFile(probe, "hello"), 0u);

        // Not shared: a reader is refused while the probe lasts.
        EXPECT_FALSE(OpenForReading(name).Valid());
        EXPECT_EQ(FileLastError, kSharingViolation);
    }
    EXPECT_TRUE(WideOpenOrCreateForWrite(name).Valid());
    EXPECT_EQ(FileLastError, kErrorAlreadyExists);
    EXPECT_EQ(List(name).at(u"n.txt").Size, 5u) << "the probe keeps the contents";
    for (auto create : {&WideCreateFileForWrite, &WideCreateLogFile}) {
        ASSERT_EQ(WideWriteFile(WideOpenOrCreateForWrite(name), "hello"), 0u);
        EXPECT_TRUE(create(name).Valid());
        EXPECT_EQ(FileLastError, kErrorAlreadyExists);
        EXPECT_EQ(List(name).at(u"n.txt").Size, 0u) << "written anew";
    }

    EXPECT_FALSE(OpenForReading(Path(u"none.txt")).Valid());
    EXPECT_EQ(FileLastError, kErrorFileNotFound);
    EXPECT_FALSE(WideCreateFileForWrite(Path(u"none\\n.txt")).Valid());
    EXPECT_EQ(FileLastError, kErrorPathNotFound);
}

TEST_F(FileWrappers, FoldersAndAttributes) {
    EXPECT_TRUE(WideCreateDir(Path(u"d")));
    EXPECT_EQ(FileLastError, 0u);
    EXPECT_FALSE(WideCreateDir(Path(u"d")));
    EXPECT_EQ(FileLastError, kErrorAlreadyExists);
    EXPECT_FALSE(WideCreateDir(Path(u"none\\d")));
    EXPECT_EQ(FileLastError, kErrorPathNotFound);

    MakeFile(Path(u"f.txt"));
    EXPECT_FALSE(IsDirectory(WideFileAttributes(Path(u"f.txt"))));
    EXPECT_EQ(FileLastError, 0u);
    EXPECT_EQ(WideFileAttributes(Path(u"none")), INVALID_FILE_ATTRIBUTES_VALUE);
    EXPECT_EQ(FileLastError, kErrorFileNotFound);

    FileLastError = 12345;
    EXPECT_TRUE(WideDirectoryExists(Path(u"d\\")));
    EXPECT_FALSE(WideDirectoryExists(Path(u"f.txt")));
    EXPECT_FALSE(WideDirectoryExists(Path(u"none")));
    EXPECT_FALSE(WideDirectoryExists(u"/"));
    EXPECT_EQ(FileLastError, 12345u) << "WideDirectoryExists leaves the code alone";
    EXPECT_FALSE(IsExistingAbsoluteFolder(Path(u"f.txt")));
    EXPECT_FALSE(IsExistingAbsoluteFolder(u"d"));
}

TEST_F(FileWrappers, ForceDirectoriesCreatesTheMissingChain) {
    EXPECT_TRUE(ForceDirectoriesW(Path(u"x\\y\\z\\")));
    EXPECT_TRUE(WideDirectoryExists(Path(u"x\\y\\z")));
    EXPECT_TRUE(ForceDirectoriesW(Path(u"x\\y\\w")));
    EXPECT_TRUE(ForceDirectoriesW(Path(u"x")));

    MakeFile(Path(u"file"));
    EXPECT_FALSE(ForceDirectoriesW(Path(u"file\\sub")));
    EXPECT_EQ(FileLastError, kErrorAlreadyExists);
    EXPECT_THROW(ForceDirectoriesW(u""), std::invalid_argument);
}

// What a user means by "tallix .", "tallix .\docs" or "tallix ..\photos".
TEST_F(FileWrappers, ExpandedDotPathsNameTheFolders) {
    MakeDir(Path(u"work"));
    MakeDir(Path(u"work\\docs"));
    MakeDir(Path(u"photos"));
    const std::u16string saved = GetCurrentDirW();
    ASSERT_TRUE(wine_host::SetCurrentDir(Path(u"work")));
    for (const auto& [typed, expected] : {std::pair<std::u16string, std::u16string>{u".", u"work"},
                                          {u".\\docs", u"work\\docs"},
                                          {u"..\\photos", u"photos"},
                                          {u"docs\\..\\..\\photos\\", u"photos"}}) {
        std::u16string path = typed;
        ExpandPathW(path);
        EXPECT_EQ(path, Path(expected));
        EXPECT_EQ(GetPathKind(path), pkFolder);
    }
    wine_host::SetCurrentDir(saved);
}

TEST_F(FileWrappers, EachThreadReadsItsOwnLastError) {
    MakeFile(Path(u"a.txt"));
    ASSERT_NE(WideFileAttributes(Path(u"a.txt")), INVALID_FILE_ATTRIBUTES_VALUE);
    uint32_t otherThread = 0;
    std::thread([&] {
        WideFileAttributes(Path(u"none"));
        otherThread = FileLastError;
    }).join();
    EXPECT_EQ(otherThread, kErrorFileNotFound);
    EXPECT_EQ(FileLastError, 0u);
}

TEST(FormatFileSize, UsesTheUsersDecimalSeparator) {
    const std::string saved = wine_host::ReplaceUserDecimalSeparator(",");
    const std::string text = FormatFileSize(1536);
    wine_host::ReplaceUserDecimalSeparator(saved);
    EXPECT_EQ(text, "1,50 Kb");
}

} // namespace
