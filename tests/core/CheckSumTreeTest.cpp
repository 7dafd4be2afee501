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

} // namespace
