// Checksum lists loaded into the engine and looked up on disk under Wine.
#include "ScannerSupport.h"

#include "engine/ChksumCalc.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace scanner_test;

const std::string H = "900150983CD24FB0D6963F7D28E17F72";
using TEntries = std::vector<std::pair<std::u16string, int32_t>>;

class Lists : public ::testing::Test {
protected:
    void SetUp() override {
        InitMainThreadSynchronization();
        calc.SetOptions(kSynchronous.Without(soAutoScan));
        calc.OnLoadList = [this](TCustomDirScaner*) { ++loadEvents; };
    }

    // A list of names, each with the digest H.
    std::u16string List(const std::u16string& relative, std::vector<std::string> names) const {
        std::string text;
        for (const std::string& name : names)
            text += H + " *" + name + "\r\n";
        const TFileHandle file = WideCreateFileForWrite(sample.Path(relative));
        EXPECT_EQ(WideWriteFile(file, text), 0u);
        return sample.Path(relative);
    }
    TFileParseInfo Load(const std::u16string& list, uint8_t mode, const TDirTree* ref = nullptr,
                        const std::u16string& base = {}, const std::u16string& filter = {},
                        bool fromListFolder = false) {
        return calc.LoadCheckSumList(list, base.empty() ? sample.Data() : base, filter, mode, ref,
                                     fromListFolder);
    }
    // Name and lookup error of every node of the first record, in order.
    TEntries Entries() const {
        TEntries entries;
        const TDirTree& tree = *calc.FirstDirectory()->Tree;
        for (TTreeNode* n = tree.GetRoot()->FirstChild; n != nullptr; n = n->NextSibling)
            entries.emplace_back(tree.GetName(n), tree.GetData(n)->ErrorCode);
        return entries;
    }
    TTreeNode* Node(const std::u16string& name) const {
        return calc.FirstDirectory()->Tree->FindChild(nullptr, name);
    }
    const TDirNodeData& Data(const std::u16string& name) const {
        return *calc.FirstDirectory()->Tree->GetData(Node(name));
    }

    TSampleTree sample;
    TChksumCalc calc{nullptr};
    int loadEvents = 0;
};

TEST_F(Lists, EachModeAndTheMasksKeepTheirEntriesBelowTheBaseFolder) {
    const std::u16string list = List(u"data.md5", {"a.txt", "sub\\c.txt", "b.doc"});
    const std::u16string inSub = List(u"sub\\sub.md5", {"a.txt", "c.txt"});
    // Which entries each mode and mask keeps is the entry filter's own test.
    // A folder's own list names files from its folder, a named one from the base.
    const struct {
        std::u16string List;
        uint8_t Mode;
        std::u16string Filter;
        const char* Masks;
        bool FromListFolder;
        TEntries Kept;
    } rows[] = {
        {list, lmAll, u"", "", false, {{u"a.txt", 0}, {u"sub\\c.txt", 0}, {u"b.doc", 0}}},
        {list, lmFile, sample.Path(u"SUB\\C.TXT"), "", false, {{u"sub\\c.txt", 0}}},
        {list, lmAll, u"", "*.txt", false, {{u"a.txt", 0}, {u"sub\\c.txt", 0}}},
        {inSub, lmAll, u"", "", true, {{u"sub\\a.txt", 0}, {u"sub\\c.txt", 0}}},
        {inSub, lmAll, u"", "", false, {{u"a.txt", 0}, {u"c.txt", 0}}},
    };
    for (const auto& row : rows) {
        calc.Clear(false);
        calc.IncludeMasks().Add(row.Masks);
        loadEvents = 0;
        const TFileParseInfo info =
            Load(row.List, row.Mode, nullptr, {}, row.Filter, row.FromListFolder);
        EXPECT_EQ(info.Result, fprSuccess);
        EXPECT_EQ(loadEvents, 1);
        EXPECT_EQ(calc.FirstDirectory()->Path, sample.Data());
        EXPECT_EQ(Entries(), row.Kept) << &row - rows;
        EXPECT_EQ(calc.GetHashText(Node(row.Kept[0].first)), H);
    }
    // A probe adds nothing and announces nothing.
    calc.Clear(false);
    loadEvents = 0;
    EXPECT_EQ(Load(list, lmProbe).Result, fprSuccess);
    EXPECT_EQ(Load(sample.Path(u"a.txt"), lmProbe).Result, fprWrongSymbol);
    EXPECT_EQ(loadEvents, 0);
    EXPECT_EQ(calc.FirstDirectory(), nullptr);
}

TEST_F(Lists, AReferenceTreeGivesAttributesSizeTimeAndStatistics) {
    TDirScaner scanner(nullptr);
    scanner.SetOptions(kSynchronous);
    scanner.Include(sample.Data(), true);
    const TDirTree& ref = *scanner.FirstDirectory()->Tree;
    const TDirNodeData& c = *ref.GetData(ref.FindPath(sample.Path(u"sub\\c.txt")));
    Load(List(u"data.md5", {"a.txt", "sub\\c.txt", "x.txt"}), lmAll, &ref);
    EXPECT_EQ(Data(u"sub\\c.txt").Size, 7);
    EXPECT_EQ(Data(u"sub\\c.txt").Time, c.Time);
    EXPECT_EQ(Data(u"sub\\c.txt").Attributes, c.Attributes);
    EXPECT_EQ(Data(u"x.txt").Attributes, 0u);
    EXPECT_EQ(calc.FirstDirectory()->Files, 2);
    EXPECT_EQ(calc.FirstDirectory()->Size, 10);
}

TEST_F(Lists, TheFlatScanFillsInWhatItFindsAndRecordsWhatItCannot) {
    // As a pattern, "a?txt" would find a.txt.
    // "sub" names a folder now: a listed file that is not there.
    Load(List(u"data.md5",
              {"a.txt", "sub\\deep\\d.txt", "sub\\c.txt", "sub", "gone", "gone\\x", "a?txt"}),
         lmAll);
    // A base inside the first record's folder gets a record of its own: in
    // the first, c.txt would be looked up beside a.txt.
    Load(List(u"sub\\sub.md5", {"c.txt"}), lmAll, nullptr, sample.Path(u"sub\\"));
    std::vector<std::u16string> reported;
    calc.OnScanError = [&](TCustomDirScaner*, const std::u16string& path, int32_t) {
        reported.push_back(path);
    };
    calc.FlatScan();
    EXPECT_EQ(Entries(), TEntries({{u"a.txt", 0},
                                   {u"sub\\deep\\d.txt", 0},
                                   {u"sub\\c.txt", 0},
                                   {u"sub", 2},
                                   {u"gone", 2},
                                   {u"gone\\x", 3},
                                   {u"a?txt", 123}}));
    const TDirectory& dir = *calc.FirstDirectory();
    EXPECT_EQ(Data(u"sub\\deep\\d.txt").Size, 11);
    EXPECT_EQ(Data(u"sub").Attributes, 0u);
    EXPECT_NE(Data(u"a.txt").Time, 0u);
    // The folders that hold found files, each once: sub and sub\deep.
    EXPECT_EQ(std::vector<int64_t>(
                  {dir.Files, dir.Size, dir.Folders, static_cast<int64_t>(dir.ScanErrors.size())}),
              std::vector<int64_t>({3, 21, 2, 4}));
    ASSERT_NE(calc.NextDirectory(&dir), nullptr);
    const TDirectory& second = *calc.NextDirectory(&dir);
    // Its base folder holds its file: no folder below it is counted.
    EXPECT_EQ(std::vector<int64_t>({second.Files, second.Size, second.Folders,
                                    static_cast<int64_t>(second.ScanErrors.size())}),
              std::vector<int64_t>({1, 7, 0, 0}));
    std::vector<std::u16string> recorded;
    for (const TTreeNode* node : dir.ScanErrors)
        recorded.push_back(calc.GetItemPath(node));
    EXPECT_EQ(reported, recorded);
}

TEST_F(Lists, AnAbortStopsTheFlatScanBetweenLookups) {
    Load(List(u"data.md5", {"gone.txt", "a.txt"}), lmAll);
    calc.OnScanError = [this](TCustomDirScaner*, const std::u16string&, int32_t) { calc.Abort(); };
    calc.FlatScan();
    EXPECT_EQ(Data(u"a.txt").Attributes, 0u);
}

// The first name above ASCII comes after the first piece read: the list is
// read again from its start to tell UTF-8, and reading goes on where it was.
TEST_F(Lists, AListWithoutMarkIsCheckedForUtf8AndReadOnWhereItWas) {
    std::vector<std::string> names;
    for (int i = 0; i < 200; ++i)
        names.push_back(std::to_string(1000 + i) + ".txt");
    names.push_back("M\xC3\xBCller.txt");
    names.push_back("z.txt");
    ASSERT_EQ(Load(List(u"data.md5", names), lmAll).Result, fprSuccess);
    const TEntries entries = Entries();
    ASSERT_EQ(entries.size(), 202u);
    EXPECT_EQ(entries[199].first, u"1199.txt");
    EXPECT_EQ(entries[200].first, u"M\u00FCller.txt");
    EXPECT_EQ(entries[201].first, u"z.txt");
}

TEST_F(Lists, AListThatCannotBeReadGivesAFileAccessErrorWithItsCode) {
    const TFileParseInfo missing = Load(sample.Path(u"none.md5"), lmAll);
    EXPECT_EQ(missing.Result, fprFileAccessError);
    EXPECT_EQ(missing.ErrorCode, 2u);
    EXPECT_EQ(missing.Line, 1u);
    EXPECT_EQ(loadEvents, 0);
    // The host's own memory file opens, but its first read fails: no empty list.
    const TFileParseInfo unreadable = Load(wine_host::WindowsPath("/proc/self/mem"), lmAll);
    EXPECT_EQ(unreadable.Result, fprFileAccessError);
    EXPECT_NE(unreadable.ErrorCode, 0u);
    EXPECT_EQ(calc.FirstDirectory(), nullptr);
}

} // namespace
