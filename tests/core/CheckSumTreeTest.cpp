#include "engine/CheckSumTree.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(CheckSumTree, NodesStartWithAZeroRecordAfterThePathData) {
    TCheckSumTree tree(nullptr, u"C:\\Data");
    TTreeNode* node = tree.AddNamedNode(nullptr, u"sub\\file.txt");
    TCheckSumData* data = CheckSumData(&tree, node);
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(std::all_of(data->Hash, data->Hash + 16, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(data->Changed, 0);
    EXPECT_EQ(tree.GetRoot()->ChildCount, 1) << "a listed name with folders is one node";
    EXPECT_EQ(CheckSumData(nullptr, node), nullptr);
}

TEST(CheckSumTree, DuplicationCopiesDigestsAndNames) {
    TCheckSumTree tree(nullptr, u"C:\\Data");
    TTreeNode* node = tree.AddNamedNode(nullptr, u"a.txt");
    TCheckSumData* data = CheckSumData(&tree, node);
    std::fill(data->Hash, data->Hash + 16, 0xAB);
    data->Changed = 1;
    tree.GetData(node)->Size = 42;

    TCheckSumTree copy(nullptr, u"");
    tree.AssignTo(copy);
    TTreeNode* copied = copy.GetRoot()->FirstChild;
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copy.GetName(copied), u"a.txt");
    EXPECT_EQ(copy.GetData(copied)->Size, 42);
    EXPECT_EQ(CheckSumData(&copy, copied)->Hash[15], 0xAB);
    EXPECT_EQ(CheckSumData(&copy, copied)->Changed, 1);
}

} // namespace
