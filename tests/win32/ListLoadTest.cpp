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
    TFileParseInfo Load(const std::u16string& list) {
        return calc.LoadCheckSumList(list, sample.Data(), {}, lmAll, nullptr, false);
    }
    // Name and lookup error of every node of the first record, in order.
    TEntries Entries() const {
        TEntries entries;
        const TDirTree& tree = *calc.FirstDirectory()->Tree;
        for (TTreeNode* n = tree.GetRoot()->FirstChild; n != nullptr; n = n->NextSibling)
            entries.emplace_back(tree.GetName(n), tree.GetData(n)->ErrorCode);
        return entries;
    }
    TSampleTree sample;
    TChksumCalc calc{nullptr};
    int loadEvents = 0;
};

// The first name above ASCII comes after the first piece read: the list is
// read again from its start to tell UTF-8, and reading goes on where it was.
TEST_F(Lists, AListWithoutMarkIsCheckedForUtf8AndReadOnWhereItWas) {
    std::vector<std::string> names;
    for (int i = 0; i < 200; ++i)
        names.push_back(std::to_string(1000 + i) + ".txt");
    names.push_back("M\xC3\xBCller.txt");
    names.push_back("z.txt");
    ASSERT_EQ(Load(List(u"data.md5", names)).Result, fprSuccess);
    const TEntries entries = Entries();
    ASSERT_EQ(entries.size(), 202u);
    EXPECT_EQ(entries[199].first, u"1199.txt");
    EXPECT_EQ(entries[200].first, u"M\u00FCller.txt");
    EXPECT_EQ(entries[201].first, u"z.txt");
}

TEST_F(Lists, AListThatCannotBeReadGivesAFileAccessErrorWithItsCode) {
    const TFileParseInfo missing = Load(sample.Path(u"none.md5"));
    EXPECT_EQ(missing.Result, fprFileAccessError);
    EXPECT_EQ(missing.ErrorCode, 2u);
    EXPECT_EQ(missing.Line, 1u);
    EXPECT_EQ(loadEvents, 0);
    // The host's own memory file opens, but its first read fails: no empty list.
    const TFileParseInfo unreadable = Load(wine_host::WindowsPath("/proc/self/mem"));
    EXPECT_EQ(unreadable.Result, fprFileAccessError);
    EXPECT_NE(unreadable.ErrorCode, 0u);
    EXPECT_EQ(calc.FirstDirectory(), nullptr);
}

} // namespace
