#include "Packages/Common/DirTree.h"
#include "Packages/Files/FileFunc.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// A root folder (C:\Data unless given) with A\B, A\C and README.txt below it.
struct TDataTree {
    explicit TDataTree(std::u16string root = u"C:\\Data") : Tree(nullptr, std::move(root)) {}

    TDirTree Tree;
    TTreeNode* A = Tree.AddNamedNode(nullptr, u"A");
    TTreeNode* B = Tree.AddNamedNode(A, u"B");
    TTreeNode* C = Tree.AddNamedNode(A, u"C");
    TTreeNode* Readme = Tree.AddNamedNode(nullptr, u"README.txt");
};

// Whole components, ignoring case also outside ASCII, where distinct names
// of one length outside the ANSI code page must stay distinct; FindNearest
// stops at the first missing component.
TEST(DirTree, FindsPathsNearestNodesAndChildren) {
    TDataTree d;
    TTreeNode* root = d.Tree.GetRoot();
    TTreeNode* umlaut = d.Tree.AddNamedNode(d.A, u"ÄRGER.txt");
    TTreeNode* house = d.Tree.AddNamedNode(d.A, u"ДОМ");
    TTreeNode* garden = d.Tree.AddNamedNode(d.A, u"сад");
    TTreeNode* greek = d.Tree.AddNamedNode(d.A, u"ΣΑΣ");
    // clang-format off
    const std::pair<const char16_t*, TTreeNode*> paths[] = {
        {u"c:\\DATA", root}, {u"C:\\Data\\", root}, {u"c:\\data\\a\\b", d.B},
        {u"C:\\Data\\A\\", d.A}, {u"C:\\Data\\X\\B", nullptr}, {u"C:\\Data\\A\\B\\Z", nullptr},
        {u"D:\\Data\\A", nullptr}, {u"C:\\Dat", nullptr}, {u"C:\\DataA", nullptr},
        {u"C:\\DATA\\a\\дом", house}, {u"C:\\Data\\a\\ärger.TXT", umlaut},
        {u"C:\\Data\\A\\САД", garden}, {u"C:\\Data\\A\\лес", nullptr}, {u"C:\\Data\\A\\σαΣ", greek},
    };
    // clang-format on
    for (const auto& [path, node] : paths)
        EXPECT_EQ(d.Tree.FindPath(path), node) << ::testing::PrintToString(path);
    EXPECT_EQ(d.Tree.FindChild(nullptr, u"readme.TXT"), d.Readme);
    EXPECT_EQ(d.Tree.FindChild(d.A, u"D"), nullptr);
    EXPECT_EQ(d.Tree.FindNearest(u"C:\\Data\\a\\Missing\\x.txt"), d.A);
    EXPECT_EQ(d.Tree.FindNearest(u"C:\\Data\\A\\C"), d.C);
    EXPECT_EQ(d.Tree.FindNearest(u"C:\\Data\\Missing"), root);
    EXPECT_EQ(d.Tree.FindNearest(u"C:\\Other\\A"), nullptr);

    TDataTree drive(u"C:\\");
    EXPECT_EQ(drive.Tree.FindPath(u"c:\\a\\C"), drive.C);
    EXPECT_EQ(drive.Tree.FindPath(u"C:"), drive.Tree.GetRoot());
    EXPECT_EQ(drive.Tree.FindPath(u"C:\\"), drive.Tree.GetRoot());
    TDataTree relative(u"");
    EXPECT_EQ(relative.Tree.FindPath(u"A\\B"), relative.B);
    EXPECT_EQ(relative.Tree.FindPath(u"\\A\\B"), relative.B);
}

// Sizes past 4 GiB: the scan's totals and the reader's buffers use them.
TEST(DirTree, AddSearchRecTakesTheEntryWithItsFullSize) {
    TDirTree tree(nullptr, u"C:\\Data");
    TLxSearchRec rec;
    rec.Name = u"big.iso";
    rec.Size = 5ull << 30;
    rec.Attr = 0x20;
    TTreeNode* file = tree.AddSearchRec(nullptr, rec, true);
    EXPECT_EQ(tree.GetName(file), u"big.iso");
    EXPECT_EQ(tree.GetData(file)->Size, int64_t(5) << 30);
    EXPECT_EQ(tree.GetData(file)->Masked, 1);
}

} // namespace
