#include "Packages/Common/BaseTree.h"

#include "Packages/Common/Assertion.h"

#include <cstring>
#include <new>
#include <utility>

TBaseTree::TBaseTree(TComponent* owner) : TLinkServer(owner) {
    root_ = NewNode();
    InitNode(root_);
}

TBaseTree::~TBaseTree() {
    DestroyNodes();
}

void TBaseTree::DestroyNodes() {
    if (root_ == nullptr)
        return;
    Clear();
    FinalizeNode(root_);
    FreeNode(root_);
    root_ = nullptr;
}

int32_t TBaseTree::AllocData(int32_t size) {
    if (root_->FirstChild != nullptr)
        AssertionFailure("Internal data allocation must be done before any node is created.");
    const int32_t offset = HeaderSize + dataSize_;
    const int32_t grownSize = offset + ((size + 3) & ~3);
    // Allocated before the old root is touched, so a failure changes nothing.
    auto* grown = static_cast<TTreeNode*>(::operator new(static_cast<size_t>(grownSize)));
    FinalizeNode(root_);
    std::memcpy(grown, root_, static_cast<size_t>(offset));
    std::memset(reinterpret_cast<char*>(grown) + offset, 0,
                static_cast<size_t>(grownSize - offset));
    FreeNode(root_);
    root_ = grown;
    dataSize_ = grownSize - HeaderSize;
    InitNode(root_);
    return offset;
}

TTreeNode* TBaseTree::AddNode(TTreeNode* target, TNodeInsertMode mode) {
    if (target == nullptr)
        target = root_;
    if (mode != imNone)
        CheckInsert(target, mode);
    TTreeNode* node = NewNode();
    if (mode != imNone)
        LinkNode(target, node, mode);
    InitNode(node);
    return node;
}

TTreeNode* TBaseTree::AddChild(TTreeNode* parent) {
    return AddNode(parent, imAddChild);
}

void TBaseTree::DeleteNode(TTreeNode* node) {
    if (node == nullptr || node == root_)
        return;
    DestroySubtree(node);
}

void TBaseTree::DeleteChildren(TTreeNode* node) {
    if (node == nullptr)
        return;
    while (node->LastChild != nullptr)
        DestroySubtree(node->LastChild);
    node->ChildCount = 0;
    node->FirstChild = nullptr;
}

void TBaseTree::Clear() {
    DeleteChildren(root_);
}

void TBaseTree::Unlink(TTreeNode* node) {
    if (node == nullptr || node == root_)
        AssertionFailure("Node must neither be nil nor the root node.");
    TTreeNode* parent = node->Parent;
    if (parent == nullptr)
        return; // detached: there is nothing to cut
    --parent->ChildCount;
    if (node->PrevSibling != nullptr)
        node->PrevSibling->NextSibling = node->NextSibling;
    else
        parent->FirstChild = node->NextSibling;
    if (node->NextSibling != nullptr)
        node->NextSibling->PrevSibling = node->PrevSibling;
    else
        parent->LastChild = node->PrevSibling;
}

void TBaseTree::InternalInsert(TTreeNode* target, TTreeNode* node, TNodeInsertMode mode) {
    if (target == nullptr)
        target = root_;
    CheckInsert(target, mode);
    LinkNode(target, node, mode);
}

TTreeNode* TBaseTree::GetNext(const TTreeNode* node) const {
    if (node == nullptr)
        return nullptr;
    if (node->FirstChild != nullptr)
        return node->FirstChild;
    while (node->NextSibling == nullptr) {
        node = node->Parent;
        if (node == nullptr || node == root_)
            return nullptr;
    }
    return node->NextSibling;
}

TTreeNode* TBaseTree::GetNextIn(const TTreeNode* node, const TTreeNode* top) const {
    if (node == nullptr)
        return nullptr;
    if (node == root_)
        AssertionFailure("Node must not be the hidden root node.");
    if (node->FirstChild != nullptr)
        return node->FirstChild;
    // Top itself ends the walk too: a leaf top has no sub-tree to go on in.
    while (node != top && node->NextSibling == nullptr) {
        node = node->Parent;
        if (node == nullptr || node == root_)
            return nullptr;
    }
    return node == top ? nullptr : node->NextSibling;
}

void TBaseTree::CheckInsert(const TTreeNode* target, TNodeInsertMode mode) const {
    // A node without parent (the root, or one detached) has no sibling list.
    const bool besideRoot = target == root_ || target->Parent == nullptr;
    switch (mode) {
    case imAddChild:
        return;
    case imInsertAfter:
        if (besideRoot)
            throw EBaseTreeIntInsert("Cant insert node after Root.");
        return;
    case imInsertBefore:
        if (besideRoot)
            throw EBaseTreeIntInsert("Cant insert node before Root.");
        return;
    default:
        throw std::runtime_error("Unhandled insert operation.");
    }
}

void TBaseTree::LinkNode(TTreeNode* target, TTreeNode* node, TNodeInsertMode mode) {
    if (mode == imAddChild) {
        node->Parent = target;
        node->PrevSibling = target->LastChild;
        node->NextSibling = nullptr;
        if (target->LastChild != nullptr)
            target->LastChild->NextSibling = node;
        else
            target->FirstChild = node;
        target->LastChild = node;
        ++target->ChildCount;
        return;
    }
    TTreeNode* parent = target->Parent;
    node->Parent = parent;
    ++parent->ChildCount;
    if (mode == imInsertAfter) {
        node->PrevSibling = target;
        node->NextSibling = target->NextSibling;
        if (target->NextSibling != nullptr)
            target->NextSibling->PrevSibling = node;
        else
            parent->LastChild = node;
        target->NextSibling = node;
    } else {
        node->NextSibling = target;
        node->PrevSibling = target->PrevSibling;
        if (target->PrevSibling != nullptr)
            target->PrevSibling->NextSibling = node;
        else
            parent->FirstChild = node;
        target->PrevSibling = node;
    }
}

TTreeNode* TBaseTree::NewNode() {
    const auto size = static_cast<size_t>(NodeSize());
    return static_cast<TTreeNode*>(std::memset(::operator new(size), 0, size));
}

void TBaseTree::FreeNode(TTreeNode* node) {
    // Zeroed so that a stale pointer to it finds no links to follow.
    std::memset(static_cast<void*>(node), 0, static_cast<size_t>(NodeSize()));
    ::operator delete(node);
}

// Depth-first without recursion, so that deep paths cannot exhaust a
// worker's stack: each node is finalized on the way down and freed after
// its children, last child first.
void TBaseTree::DestroySubtree(TTreeNode* top) {
    TTreeNode* node = top;
    FinalizeNode(node);
    for (;;) {
        if (node->LastChild != nullptr) {
            node = node->LastChild;
            FinalizeNode(node);
            continue;
        }
        TTreeNode* leaf = std::exchange(node, node->Parent);
        const bool isTop = leaf == top;
        Unlink(leaf);
        FreeNode(leaf);
        if (isTop)
            return;
    }
}
