#include "Packages/Common/ErrorTree.h"
#include "Packages/Common/Assertion.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ErrorTree, ItemsKeepTheirValuesInTheOrderAdded) {
    TErrorTree tree(nullptr);
    std::vector<TErrorValue> seenOnInsert;
    tree.OnNotify = [&](TLinkServer*, TServerMessage kind, TNotifyParam, TNotifyParam) {
        if (kind == smInsert)
            seenOnInsert.push_back(tree.GetValue(tree.GetRoot()->LastChild));
    };
    TTreeNode* first = tree.AddError(7);
    TTreeNode* second = tree.AddError(-3);
    tree.AddError(7);
    EXPECT_EQ(tree.TopCount(), 3);
    EXPECT_EQ(tree.GetRoot()->FirstChild, first);
    EXPECT_EQ(first->NextSibling, second);
    EXPECT_EQ(tree.GetValue(second), -3);
    // Listeners of smInsert already read the value.
    EXPECT_EQ(seenOnInsert, (std::vector<TErrorValue>{7, -3, 7}));

    EXPECT_EQ(tree.FindValue(nullptr, 7), first);
    EXPECT_EQ(tree.FindValue(nullptr, -3), second);
    EXPECT_EQ(tree.FindValue(nullptr, 9), nullptr);
}

TEST(ErrorTree, GroupsHoldValuesBelowThemAndNilIsRefused) {
    TErrorTree tree(nullptr);
    TTreeNode* group = tree.AddError(5);
    TTreeNode* member = tree.AddChild(group);
    tree.SetValue(member, 5);
    // A child holding the group's value is found only below the group.
    EXPECT_EQ(tree.FindValue(group, 5), member);
    EXPECT_EQ(tree.FindValue(nullptr, 5), group);
    EXPECT_EQ(tree.GetValue(nullptr), 0);

    EXPECT_THROW(tree.SetValue(nullptr, 1), EAssertionFailed);
}

} // namespace
