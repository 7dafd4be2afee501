#include "app/LoadErrorTree.h"

#include <gtest/gtest.h>

namespace {

// Each node owns a copy of its record until the node or the tree goes.
TEST(LoadErrorTree, KeepsACopyOfEachRecordInOrder) {
    TLoadErrorTree tree(nullptr);
    TFileParseInfo info{u"C:\\Data\\a.md5", fprWrongSymbol, 0, 7};
    TTreeNode* first = tree.Add(info);
    info = {std::u16string(300, u'x'), fprFileAccessError, 5, 1};
    TTreeNode* second = tree.Add(info);
    info.FileName.clear();
    EXPECT_EQ(tree.Count(), 2);
    EXPECT_EQ(tree.GetInfo(first)->FileName, u"C:\\Data\\a.md5");
    EXPECT_EQ(tree.GetInfo(first)->Line, 7u);
    EXPECT_EQ(tree.GetInfo(second)->FileName, std::u16string(300, u'x'));
    EXPECT_EQ(tree.GetInfo(second)->ErrorCode, 5u);
    EXPECT_EQ(tree.GetInfo(nullptr), nullptr);
    tree.DeleteNode(first);
    EXPECT_EQ(tree.Count(), 1);
}

} // namespace
