// The scanner on real folders under Wine: recursion, masks, statistics,
// skipped system folders, the relations of included folders and folders
// that cannot be listed.
#include "ScannerSupport.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using namespace scanner_test;

// Size, files and folders, then the size and count of masked files.
using TStats = std::array<int64_t, 5>;

TStats StatsOf(const TCustomDirScaner& scanner) {
    TStats s{};
    scanner.GetStatistics(s[0], s[1], s[2]);
    scanner.GetMaskedStatistics(s[3], s[4]);
    return s;
}

class ScannerScan : public ::testing::Test {
protected:
    void SetUp() override {
        InitMainThreadSynchronization();
        scanner.SetOptions(kSynchronous);
    }
    void TearDown() override { scanner.WaitForWorkers(); }

    std::set<std::u16string> Paths(std::initializer_list<const char16_t*> relatives) const {
        std::set<std::u16string> paths;
        for (const char16_t* relative : relatives)
            paths.insert(sample.Path(relative));
        return paths;
    }
    // The items marked as masked.
    std::set<std::u16string> Masked() const {
        const TDirTree& tree = *scanner.FirstDirectory()->Tree;
        std::set<std::u16string> masked;
        for (const std::u16string& path : ItemSet(scanner))
            if (tree.GetData(tree.FindPath(path))->Masked)
                masked.insert(path);
        return masked;
    }

    TSampleTree sample;
    TDirScaner scanner{nullptr};
};

TEST_F(ScannerScan, WalksSubFoldersOnlyWhenRecursiveAndSkipsTheSystemFolders) {
    scanner.Include(sample.Data(), true);
    EXPECT_EQ(ItemSet(scanner), Paths({u"a.txt", u"b.doc", u"sub", u"sub\\c.txt", u"sub\\deep",
                                       u"sub\\deep\\d.txt"}));
    EXPECT_EQ(StatsOf(scanner), (TStats{26, 4, 2, 0, 0}));
    EXPECT_EQ(scanner.CountFiles(), 4);

    scanner.Clear(false);
    scanner.SetOptions(kSynchronous.Without(soIgnoreSVI).Without(soIgnoreRecycler));
    scanner.Include(sample.Data(), true);
    EXPECT_EQ(StatsOf(scanner), (TStats{56, 6, 4, 0, 0}));

    scanner.Clear(false);
    scanner.Include(sample.Data(), false);
    EXPECT_EQ(ItemSet(scanner), Paths({u"a.txt", u"b.doc"}));
    EXPECT_EQ(StatsOf(scanner), (TStats{8, 2, 0, 0, 0}));
}

TEST_F(ScannerScan, MaskedFilesAreKeptAndCountedApartOrLeftOut) {
    scanner.IncludeMasks().Add("*.txt");
    scanner.ExcludeMasks().Add("a*");
    scanner.Include(sample.Data(), true);
    EXPECT_EQ(StatsOf(scanner), (TStats{18, 2, 2, 8, 2}));
    EXPECT_EQ(Masked(), Paths({u"a.txt", u"b.doc"}));

    scanner.Clear(true);
    scanner.SetOptions(kSynchronous.Without(soKeepMaskedFiles));
    scanner.Include(sample.Data(), true);
    EXPECT_EQ(ItemSet(scanner), Paths({u"sub", u"sub\\c.txt", u"sub\\deep", u"sub\\deep\\d.txt"}));
    EXPECT_EQ(StatsOf(scanner), (TStats{18, 2, 2, 0, 0}));
}

// A sub-folder of a record adds nothing; a wider folder replaces it.
TEST_F(ScannerScan, IncludedFoldersRelateToTheRecordsThere) {
    scanner.Include(sample.Path(u"sub"), true);
    EXPECT_EQ(scanner.CheckPath(sample.Path(u"sub\\deep")), pcInside);
    EXPECT_EQ(scanner.CheckPath(sample.Path(u"subway")), pcOutside);
    EXPECT_EQ(scanner.CheckPath(sample.Data()), pcContains);
    scanner.Include(sample.Path(u"sub\\deep"), true);
    EXPECT_EQ(scanner.NextDirectory(scanner.FirstDirectory()), nullptr);
    scanner.Include(sample.Data(), true);
    EXPECT_EQ(scanner.FirstDirectory()->Path, sample.Data());
    EXPECT_EQ(scanner.NextDirectory(scanner.FirstDirectory()), nullptr);
    EXPECT_EQ(scanner.CountFiles(), 4);
}

TEST_F(ScannerScan, AFolderThatCannotBeListedIsRecordedAndItsRecordStaysReachable) {
    std::u16string reported;
    int32_t code = 0;
    scanner.OnScanError = [&](TCustomDirScaner*, const std::u16string& path, int32_t error) {
        reported = path;
        code = error;
    };
    const std::u16string missing = sample.Path(u"missing");
    auto dir = std::make_unique<TDirectory>(&scanner, missing, true);
    scanner.WaitForWorkers();
    EXPECT_TRUE(scanner.HasScanErrors());
    EXPECT_EQ(dir->ScanErrors, std::vector<TTreeNode*>{dir->Tree->GetRoot()});
    EXPECT_EQ(dir->Tree->GetData(dir->Tree->GetRoot())->ErrorCode, 3);
    EXPECT_EQ(reported, missing);
    EXPECT_EQ(code, 3);
    // The failed root still leads to its record.
    EXPECT_EQ(scanner.FirstDirectory(), dir.get());
    EXPECT_EQ(scanner.GetItemPath(dir->Tree->GetRoot()), missing);
    dir.reset();
    EXPECT_FALSE(scanner.HasScanErrors());
}

} // namespace
