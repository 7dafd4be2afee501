#include "Packages/Common/BaseTree.h"
#include "Packages/Common/Assertion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A tree whose nodes hold one int; its hooks count and record their calls.
class TIntTree : public TBaseTree {
public:
    TIntTree() : TBaseTree(nullptr) {
        offset_ = AllocData(sizeof(int32_t));
        Inits = Finalizes = 0; // count from the finished construction on
    }
    ~TIntTree() override { DestroyNodes(); }

    using TBaseTree::AllocData;

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
        if (parent == nullptr)
            parent = GetRoot();
        std::string text;
        int32_t count = 0;
        TTreeNode* previous = nullptr;
        for (TTreeNode* n = parent->FirstChild; n != nullptr; n = n->NextSibling) {
            EXPECT_EQ(n->Parent, parent);
            EXPECT_EQ(n->PrevSibling, previous);
            // Appended piece by piece: GCC 12 at -O3 wrongly sees an overlap
            // in a prefix added with operator+ to a temporary string.
            if (count++ != 0)
                text += ' ';
            text += std::to_string(Value(n));
            if (n->FirstChild != nullptr) {
                text += '(';
                text += Shape(n);
                text += ')';
            }
            previous = n;
        }
        EXPECT_EQ(parent->LastChild, previous);
        EXPECT_EQ(parent->ChildCount, count);
        return text;
    }

    int Inits = 0;
    int Finalizes = 0;

protected:
    void InitNode(TTreeNode*) override { ++Inits; }
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

TEST(BaseTree, AllocDataReturnsRoundedOffsetsUntilTheFirstItemExists) {
    TIntTree tree; // has reserved 4 bytes
    EXPECT_EQ(tree.AllocData(1), TBaseTree::HeaderSize + 4);
    EXPECT_EQ(tree.AllocData(5), TBaseTree::HeaderSize + 8);
    EXPECT_EQ(tree.AllocData(4), TBaseTree::HeaderSize + 16);
    EXPECT_EQ(tree.NodeSize(), TBaseTree::HeaderSize + 20);
    const std::vector<char> zeros(20, 0);
    EXPECT_EQ(std::memcmp(reinterpret_cast<char*>(tree.GetRoot()) + TBaseTree::HeaderSize,
                          zeros.data(), zeros.size()),
              0);
    EXPECT_EQ(tree.Inits, 3); // the root again after each growth

    tree.Add(nullptr, 1);
    EXPECT_THROW(tree.AllocData(4), EAssertionFailed);
    EXPECT_EQ(tree.NodeSize(), TBaseTree::HeaderSize + 20);
}

// A failed check names its unit and its own line.
TEST(Assertion, NamesTheUnitAndTheLineOfTheCheck) {
    const int line = __LINE__ + 2;
    try {
        AssertionFailure("message");
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Unit, UnitOf(__FILE__));
        EXPECT_EQ(e.Line, line);
        EXPECT_EQ(std::string(e.what()),
                  "message (" + e.Unit + ", line " + std::to_string(line) + ")");
    }
    EXPECT_EQ(UnitOf("/home/src/tallix/src/Packages/Common/BaseTree.cpp"),
              "Packages\\Common\\BaseTree");
    EXPECT_EQ(UnitOf("C:\\build\\src\\engine\\LxHash.cpp"), "engine\\LxHash");
}

TEST(BaseTree, InsertModesLinkNodes) {
    TSample s;
    TTreeNode* top = s.Tree.AddNode(nullptr, imAddChild);
    s.Tree.Value(top) = 4;
    s.Tree.Value(s.Tree.AddNode(s.N11, imInsertAfter)) = 15;
    s.Tree.Value(s.Tree.AddNode(s.N12, imInsertAfter)) = 16;
    s.Tree.Value(s.Tree.AddNode(s.N1, imInsertBefore)) = 0;
    s.Tree.Value(s.Tree.AddNode(s.N2, imInsertBefore)) = 17;
    s.Tree.Value(s.Tree.AddNode(s.N121, imAddChild)) = 1210;
    EXPECT_EQ(s.Tree.Shape(), "0 1(11 15 12(121(1210)) 16) 17 2 3 4");
    EXPECT_EQ(s.Tree.Inits, 6 + 6);

    // Beside the root, or in an unknown mode, nothing is inserted.
    EXPECT_THROW(s.Tree.AddNode(nullptr, imInsertAfter), EBaseTreeIntInsert);
    EXPECT_THROW(s.Tree.AddNode(nullptr, imInsertBefore), EBaseTreeIntInsert);
    EXPECT_THROW(s.Tree.AddNode(s.N1, static_cast<TNodeInsertMode>(4)), std::runtime_error);
    EXPECT_EQ(s.Tree.Shape(), "0 1(11 15 12(121(1210)) 16) 17 2 3 4");
}

TEST(BaseTree, DetachedNodeIsLinkedLaterByInternalInsert) {
    TSample s;
    TTreeNode* node = s.Tree.AddNode(s.N1, imNone);
    EXPECT_EQ(node->Parent, nullptr);
    s.Tree.Value(node) = 5;
    s.Tree.InternalInsert(s.N2, node, imInsertAfter);
    EXPECT_EQ(s.Tree.Shape(), "1(11 12(121)) 2 5 3");
    s.Tree.Unlink(s.N2);
    s.Tree.InternalInsert(nullptr, s.N2, imAddChild);
    EXPECT_EQ(s.Tree.Shape(), "1(11 12(121)) 5 3 2");
    EXPECT_THROW(s.Tree.Unlink(nullptr), EAssertionFailed);
    EXPECT_THROW(s.Tree.Unlink(s.Tree.GetRoot()), EAssertionFailed);
}

TEST(BaseTree, WalksVisitEveryNodeOnceAndStayInsideTheirTop) {
    TSample s;
    EXPECT_EQ(s.Tree.Walk(), (std::vector<int32_t>{1, 11, 12, 121, 2, 3}));
    EXPECT_EQ(s.Tree.GetNext(nullptr), nullptr);

    std::vector<int32_t> inside;
    for (TTreeNode* n = s.N1; n != nullptr; n = s.Tree.GetNextIn(n, s.N1))
        inside.push_back(s.Tree.Value(n));
    EXPECT_EQ(inside, (std::vector<int32_t>{1, 11, 12, 121}));
    EXPECT_EQ(s.Tree.GetNextIn(s.N121, s.N12), nullptr);
    EXPECT_EQ(s.Tree.GetNextIn(s.N11, s.N11), nullptr) << "a leaf top has nothing below it";
    EXPECT_EQ(s.Tree.GetNextIn(s.N2, s.N2), nullptr);
    EXPECT_EQ(s.Tree.GetNextIn(s.N121, nullptr), s.N2);
    EXPECT_THROW(s.Tree.GetNextIn(s.Tree.GetRoot(), nullptr), EAssertionFailed);
}

// Nil and the root are ignored.
TEST(BaseTree, DeleteNodeAndClearFinalizeEachNode) {
    TSample s;
    s.Tree.DeleteNode(s.N1);
    EXPECT_EQ(s.Tree.Finalizes, 4);
    EXPECT_EQ(s.Tree.Shape(), "2 3");

    s.Tree.DeleteNode(s.N3);
    s.Tree.DeleteNode(nullptr);
    s.Tree.DeleteNode(s.Tree.GetRoot());
    EXPECT_EQ(s.Tree.Shape(), "2");

    s.Tree.Add(s.N2, 21);
    s.Tree.Clear();
    EXPECT_EQ(s.Tree.GetRoot()->ChildCount, 0);
    EXPECT_EQ(s.Tree.GetNext(s.Tree.GetRoot()), nullptr);
    EXPECT_EQ(s.Tree.Finalizes, 7);
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
