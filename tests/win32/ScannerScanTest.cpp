// The scanner on real folders under Wine: recursion, masks, statistics,
// skipped system folders, single files, the relations of
// included folders, mask re-application and exclusion.
#include "ScannerSupport.h"

#include "Packages/Common/Assertion.h"
#include "system/AnsiText.h"

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
    const TDirNodeData* DataOf(const std::u16string& path) const {
        const TDirectory* dir = scanner.FirstDirectory();
        return dir->Tree->GetData(dir->Tree->FindPath(path));
    }
    // The items marked as masked.
    std::set<std::u16string> Masked() const {
        std::set<std::u16string> masked;
        for (const std::u16string& path : ItemSet(scanner))
            if (DataOf(path)->Masked)
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
    const TDirectory* dir = scanner.FirstDirectory();
    EXPECT_EQ(dir->Tree->GetName(dir->Tree->GetRoot()), u"data");
    EXPECT_TRUE(IsDirectory(dir->Tree->GetData(dir->Tree->GetRoot())->Attributes));

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

    // A rescan starts its counts afresh.
    scanner.Scan();
    EXPECT_EQ(StatsOf(scanner), (TStats{18, 2, 2, 0, 0}));
}

TEST_F(ScannerScan, ChangedMasksAreAppliedAgainToTheScannedTree) {
    scanner.Include(sample.Data(), true);
    scanner.IncludeMasks().Add("*.doc");
    scanner.WaitForWorkers();
    EXPECT_EQ(Masked(), Paths({u"a.txt", u"sub\\c.txt", u"sub\\deep\\d.txt"}));
    EXPECT_EQ(StatsOf(scanner), (TStats{5, 1, 2, 21, 3}));

    scanner.IncludeMasks().Clear();
    scanner.WaitForWorkers();
    EXPECT_EQ(StatsOf(scanner), (TStats{26, 4, 2, 0, 0}));
}

TEST_F(ScannerScan, SingleFilesStayLastUnderTheirFullPaths) {
    const std::u16string single = sample.Path(u"sub\\c.txt");
    scanner.Include(single, true);
    scanner.WaitForWorkers();
    ASSERT_NE(scanner.StaticNode(), nullptr);
    EXPECT_EQ(scanner.StaticList(), TPathList{single});
    EXPECT_EQ(scanner.FirstDirectory(), nullptr);

    scanner.Include(sample.Path(u"sub\\deep"), true);
    TTreeNode* top = scanner.Tree().GetRoot();
    EXPECT_EQ(top->ChildCount, 2);
    EXPECT_EQ(top->LastChild, scanner.StaticNode());
    EXPECT_EQ(ItemPaths(scanner),
              (std::vector<std::u16string>{sample.Path(u"sub\\deep\\d.txt"), single}));
    EXPECT_EQ(ItemPaths(scanner, true),
              (std::vector<std::u16string>{sample.Path(u"sub\\deep\\d.txt")}));
    EXPECT_EQ(StatsOf(scanner), (TStats{18, 2, 0, 0, 0}));

    // Included again: still one node.
    scanner.IncludeFile(single);
    scanner.WaitForWorkers();
    EXPECT_EQ(scanner.StaticNode()->ChildCount, 1);

    // A file that does not exist yields no node, nor does a pattern.
    scanner.IncludeFile(sample.Path(u"nothing.txt"));
    scanner.IncludeFile(sample.Path(u"*.txt"));
    scanner.WaitForWorkers();
    EXPECT_EQ(scanner.StaticNode()->ChildCount, 1);
}

TEST_F(ScannerScan, IncludedFoldersRelateToTheRecordsThere) {
    scanner.Include(sample.Path(u"sub"), true);
    TDirRelation relation;
    EXPECT_EQ(scanner.FindDirectory(sample.Path(u"sub\\deep"), relation), scanner.FirstDirectory());
    EXPECT_EQ(relation, drPathInside);
    EXPECT_EQ(scanner.FindDirectory(sample.Data(), relation), scanner.FirstDirectory());
    EXPECT_EQ(relation, drRecordInside);
    EXPECT_EQ(scanner.FindDirectory(sample.Path(u"subway"), relation), nullptr);
    EXPECT_EQ(relation, drNone);
    EXPECT_EQ(scanner.CheckPath(sample.Path(u"sub")), pcInside);
    EXPECT_EQ(scanner.CheckPath(sample.Path(u"subway")), pcOutside);
    EXPECT_EQ(scanner.CheckPath(sample.Data()), pcContains);

    // The same folder in another case and with a backslash changes nothing.
    std::u16string upper = WideUpperCase(sample.Path(u"sub\\"));
    scanner.Include(upper, true);
    EXPECT_EQ(scanner.FirstDirectory()->Path, sample.Path(u"sub"));
    EXPECT_EQ(scanner.NextDirectory(scanner.FirstDirectory()), nullptr);

    // A sub-folder adds nothing; the wider folder replaces the record.
    scanner.Include(sample.Path(u"sub\\deep"), true);
    EXPECT_EQ(scanner.NextDirectory(scanner.FirstDirectory()), nullptr);
    scanner.Include(sample.Path(u"RECYCLER"), true);
    scanner.Include(sample.Data(), true);
    ASSERT_NE(scanner.FirstDirectory(), nullptr);
    EXPECT_EQ(scanner.FirstDirectory()->Path, sample.Data());
    EXPECT_EQ(scanner.NextDirectory(scanner.FirstDirectory()), nullptr);
    EXPECT_EQ(scanner.CountFiles(), 4);
}

TEST_F(ScannerScan, ExplicitFilesPassTheMasksOfTheirRecord) {
    scanner.IncludeMasks().Add("*.txt;*.doc");
    scanner.ExcludeMasks().Add("b*");
    scanner.Include(sample.Data(), true);
    EXPECT_EQ(DataOf(sample.Path(u"b.doc"))->Masked, 1);
    TDirectory* dir = scanner.FirstDirectory();
    const TStats before = StatsOf(scanner);
    dir->IncludePath(sample.Path(u"b.doc"));
    scanner.WaitForWorkers();
    EXPECT_EQ(dir->IncludedFiles, TPathList{sample.Path(u"b.doc")});
    EXPECT_EQ(DataOf(sample.Path(u"b.doc"))->Masked, 0);
    EXPECT_EQ(StatsOf(scanner),
              (TStats{before[0] + 5, before[1] + 1, before[2], before[3] - 5, before[4] - 1}));
    const TTreeNode* node = dir->Tree->FindPath(sample.Path(u"b.doc"));
    EXPECT_TRUE(ApplyMask(dir, node->Parent, 0x20, sample.Path(u"b.doc")));
    EXPECT_TRUE(ApplyMask(dir, node->Parent, kDirectoryAttribute, sample.Path(u"bin")));
    EXPECT_FALSE(ApplyMask(dir, node->Parent, 0x20, sample.Path(u"bx.txt")));

    EXPECT_THROW(dir->IncludePath(sample.Data()), EAssertionFailed);
    EXPECT_THROW(dir->IncludePath(sample.Folder().Path()), EAssertionFailed);
    EXPECT_THROW(ApplyMask(nullptr, node, 0, u"x"), EAssertionFailed);
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
