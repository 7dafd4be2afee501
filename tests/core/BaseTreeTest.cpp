#include "Packages/Common/BaseTree.h"
#include "Packages/Common/Assertion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A tree whose nodes hold one int; its hooks count the finalised nodes.
class TIntTree : public TBaseTree {
public:
    TIntTree() : TBaseTree(nullptr) {
        offset_ = AllocData(sizeof(int32_t));
        Finalizes = 0; // count from the finished construction on
    }
    ~TIntTree() override { DestroyNodes(); }

    int32_t& Value(TTreeNode* node) {
        return *reinterpret_cast<int32_t*>(reinterpret_cast<char*>(node) + offset_);
    }
    TTreeNode* Add(TTreeNode* parent, int32_t value) {
        TTreeNode* node = AddChild(parent);
        Value(node) = value;
        return node;
    }
    // The values in pre-order, by GetNext from the root.
    std::vector<int32_t> Walk() {
        std::vector<int32_t> values;
        for (TTreeNode* n = GetNext(GetRoot()); n != nullptr; n = GetNext(n))
            values.push_back(Value(n));
        return values;
    }
    // Nested form such as "1(11 12) 2", checking every link on the way.
    std::string Shape(TTreeNode* parent = nullptr) {
        parent = parent != nullptr ? parent : GetRoot();
        std::string text;
        int32_t count = 0;
        TTreeNode* previous = nullptr;
        for (TTreeNode* n = parent->FirstChild; n != nullptr; previous = n, n = n->NextSibling) {
            EXPECT_EQ(n->Parent, parent);
            EXPECT_EQ(n->PrevSibling, previous);
            if (count++ != 0)
                text += ' ';
            text += std::to_string(Value(n));
            // Appended piece by piece: GCC 12 at -O3 wrongly sees an overlap
            // in a prefix added with operator+ to a temporary string.
            if (n->FirstChild != nullptr) {
                text += '(';
                text += Shape(n);
                text += ')';
            }
        }
        EXPECT_EQ(parent->LastChild, previous);
        EXPECT_EQ(parent->ChildCount, count);
        return text;
    }

    int Finalizes = 0;

protected:
    void FinalizeNode(TTreeNode*) override { ++Finalizes; }

private:
    int32_t offset_ = 0;
};

// 1(11 12(121)) 2 3
struct TSample {
    TIntTree Tree;
    TTreeNode* N1 = Tree.Add(nullptr, 1);
    TTreeNode* N11 = Tree.Add(N1, 11);
    TTreeNode* N12 = Tree.Add(N1, 12);
    TTreeNode* N121 = Tree.Add(N12, 121);
    TTreeNode* N2 = Tree.Add(nullptr, 2);
    TTreeNode* N3 = Tree.Add(nullptr, 3);
};

TEST(BaseTree, InsertModesLinkNodesAndDeletesFinalizeTheSubtree) {
    TSample s;
    s.Tree.Value(s.Tree.AddNode(nullptr, imAddChild)) = 4;
    s.Tree.Value(s.Tree.AddNode(s.N11, imInsertAfter)) = 15;
    s.Tree.Value(s.Tree.AddNode(s.N1, imInsertBefore)) = 0;
    s.Tree.Value(s.Tree.AddNode(s.N121, imAddChild)) = 1210;
    EXPECT_EQ(s.Tree.Shape(), "0 1(11 15 12(121(1210))) 2 3 4");
    EXPECT_THROW(s.Tree.AddNode(nullptr, imInsertAfter), EBaseTreeIntInsert);
    EXPECT_EQ(s.Tree.Walk(), (std::vector<int32_t>{0, 1, 11, 15, 12, 121, 1210, 2, 3, 4}));

    std::vector<int32_t> inside;
    for (TTreeNode* n = s.N1; n != nullptr; n = s.Tree.GetNextIn(n, s.N1))
        inside.push_back(s.Tree.Value(n));
    EXPECT_EQ(inside, (std::vector<int32_t>{1, 11, 15, 12, 121, 1210}));
    EXPECT_EQ(s.Tree.GetNextIn(s.N11, s.N11), nullptr) << "a leaf top has nothing below it";

    s.Tree.DeleteNode(s.N12);
    EXPECT_EQ(s.Tree.Finalizes, 3);
    EXPECT_EQ(s.Tree.Shape(), "0 1(11 15) 2 3 4");
}

TEST(BaseTree, DeepTreesAreWalkedAndFreedWithoutRecursion) {
    constexpr int32_t depth = 200000;
    TIntTree tree;
    TTreeNode* node = nullptr;
    for (int32_t i = 0; i < depth; ++i)
        node = tree.Add(node, i);
    EXPECT_EQ(tree.Walk().size(), static_cast<size_t>(depth));
    tree.DeleteNode(tree.GetNext(tree.GetRoot()));
    EXPECT_EQ(tree.Finalizes, depth);
}

} // namespace
