// The ordered n-ary tree under every tree of the program. Nodes are single
// zero-filled blocks: a link header followed by a data area that each
// descendant class reserves for itself with AllocData in its constructor.
// The tree owns a hidden root; the items the user sees are its
// descendants.
#pragma once

#include "Packages/Common/Links.h"

#include <cstdint>
#include <stdexcept>

// The link header of every node; the data area follows it directly.
struct TTreeNode {
    TTreeNode* Parent;      // nullptr only for a hidden root or a detached node
    TTreeNode* PrevSibling; // nullptr for a first child
    TTreeNode* NextSibling; // nullptr for a last child
    TTreeNode* FirstChild;
    TTreeNode* LastChild;
    int32_t ChildCount; // number of direct children
};

enum TNodeInsertMode : uint8_t {
    imNone = 0,         // the node stays detached
    imAddChild = 1,     // as last child of the target
    imInsertAfter = 2,  // as next sibling of the target
    imInsertBefore = 3, // as previous sibling of the target
};

// An insertion beside the hidden root, which can have no siblings.
class EBaseTreeIntInsert : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TBaseTree : public TLinkServer {
public:
    // Size of the link header: the offset of the first data area.
    static constexpr int32_t HeaderSize = sizeof(TTreeNode);

    // Created with a hidden root and no data area.
    explicit TBaseTree(TComponent* owner);
    // Deletes every node (finalizing it with this class's FinalizeNode) and the root.
    ~TBaseTree() override;

    TTreeNode* GetRoot() const { return root_; }
    // A node is HeaderSize plus the bytes reserved by AllocData.
    int32_t NodeSize() const { return HeaderSize + dataSize_; }

    // Allocates a zero-filled node and links it by mode relative to target
    // (nullptr: the root), then calls InitNode. Beside the root:
    // EBaseTreeIntInsert; an unknown mode: std::runtime_error. Nothing
    // changes when it throws.
    TTreeNode* AddNode(TTreeNode* target, TNodeInsertMode mode);
    // AddNode(parent, imAddChild).
    TTreeNode* AddChild(TTreeNode* parent);
    // Deletes node and its sub-tree (children before their parent, last
    // child first). nullptr and the root are ignored.
    void DeleteNode(TTreeNode* node);
    // Deletes every child of node with its sub-tree.
    void DeleteChildren(TTreeNode* node);
    // Deletes all items.
    void Clear();

    // Takes node out of its sibling list; its own links are left for the caller.
    // nullptr or the root: EAssertionFailed.
    void Unlink(TTreeNode* node);
    // Links a detached node by mode relative to target (nullptr: the root);
    // throws as AddNode does, before changing anything.
    void InternalInsert(TTreeNode* target, TTreeNode* node, TNodeInsertMode mode);

    // Pre-order successor over the whole tree; the root gives the first item,
    // the last item gives nullptr.
    TTreeNode* GetNext(const TTreeNode* node) const;
    // Pre-order successor that never leaves the sub-tree of top (nullptr
    // after its last node). node = the root: EAssertionFailed.
    TTreeNode* GetNextIn(const TTreeNode* node, const TTreeNode* top) const;

protected:
    // Reserves size bytes, rounded up to a multiple of 4, at the end of every
    // node's data area; returns their offset from the start of a node. Only
    // before any item exists (else EAssertionFailed).
    int32_t AllocData(int32_t size);
    // Deletes every node and the root while the calling class's hooks are in
    // place. A class that overrides FinalizeNode calls it in its destructor.
    void DestroyNodes();

    // Called for every node just allocated and linked, and for the root.
    virtual void InitNode(TTreeNode* /*node*/) {}
    // Called for every node before it is freed; must accept a zero-filled data area.
    virtual void FinalizeNode(TTreeNode* /*node*/) {}

private:
    void CheckInsert(const TTreeNode* target, TNodeInsertMode mode) const;
    void LinkNode(TTreeNode* target, TTreeNode* node, TNodeInsertMode mode);
    TTreeNode* NewNode();
    void FreeNode(TTreeNode* node);
    void DestroySubtree(TTreeNode* top);

    TTreeNode* root_ = nullptr;
    int32_t dataSize_ = 0;
};
