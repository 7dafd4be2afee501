// Trees of file-system paths. Each node is one file or folder and carries
// its name component, never its full path: a full path is rebuilt by
// walking up to the hidden root, which stands for the tree's root folder.
// Names are wide strings compared without regard to letter case.
#pragma once

#include "Packages/Common/BaseTree.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct TLxSearchRec;

class TBaseDirTree : public TBaseTree {
public:
    // rootPath: the folder the hidden root stands for; may be empty.
    TBaseDirTree(TComponent* owner, std::u16string rootPath);

    const std::u16string& RootPath() const { return rootPath_; }

    // The node's name component; empty for nullptr.
    virtual std::u16string GetName(const TTreeNode* node) const = 0;
    virtual void SetName(TTreeNode* node, std::u16string_view name) = 0;

    // The first child of parent (nullptr: the root) whose name equals name
    // ignoring case, or nullptr.
    TTreeNode* FindChild(const TTreeNode* parent, std::u16string_view name) const;
    // The node of a full path (the root for RootPath itself), or nullptr
    // when any component is missing or the path lies outside RootPath.
    TTreeNode* FindPath(std::u16string_view path) const;
    // The deepest existing node on the way to path (at least the root), or
    // nullptr when the path lies outside RootPath.
    TTreeNode* FindNearest(std::u16string_view path) const;
    // RootPath for the root; otherwise RootPath, a backslash and the names
    // from the top down (unnamed ancestors add nothing); empty for nullptr.
    std::u16string GetFullPath(const TTreeNode* node) const;
    // A new last child of parent (nullptr: the root) with the given name.
    TTreeNode* AddNamedNode(TTreeNode* parent, std::u16string_view name);

private:
    bool PathBelowRoot(std::u16string_view path, std::u16string_view& rest) const;
    TTreeNode* Descend(std::u16string_view rest, bool nearest) const;

    std::u16string rootPath_;
};

// A node name owned by its node (opaque; read through GetName).
struct TNodeName;

// The data of every TDirTree node, at DataOffset.
struct TDirNodeData {
    int64_t Size;        // file size in bytes
    TNodeName* Name;     // owned; set through SetName only
    void* Link;          // the owning record or error-tree item; else nullptr
    uint64_t Time;       // last write: 100-nanosecond intervals since 1601, UTC
    uint32_t Attributes; // file attribute bits (see IsDirectory)
    int32_t ErrorCode;   // system error of the last failed enumeration of this folder
    uint8_t Masked;      // 1 = the file does not pass the include and exclude masks
};

class TDirTree : public TBaseDirTree {
public:
    // With TDirNodeData in every node.
    TDirTree(TComponent* owner, std::u16string rootPath);
    ~TDirTree() override;

    // The node's data, or nullptr for nullptr.
    TDirNodeData* GetData(TTreeNode* node) const;
    const TDirNodeData* GetData(const TTreeNode* node) const;
    // Whether the node's attributes carry the folder bit; false for nullptr.
    bool IsDirectory(const TTreeNode* node) const;

    std::u16string GetName(const TTreeNode* node) const override;
    void SetName(TTreeNode* node, std::u16string_view name) override;

    // A new last child of parent (nullptr: the root) with the name,
    // attributes, 64-bit size and time of a search entry.
    TTreeNode* AddSearchRec(TTreeNode* parent, const TLxSearchRec& rec, bool masked);

protected:
    void InitNode(TTreeNode* node) override;
    void FinalizeNode(TTreeNode* node) override;

private:
    int32_t dataOffset_ = 0;
};

// A path-tree class: creates a tree of that class, the way the scanner
// creates the trees of its records.
using TDirTreeClass = std::unique_ptr<TDirTree> (*)(TComponent* owner, std::u16string rootPath);

// The class reference of T, a TDirTree or a descendant with the same constructor.
template <class T>
std::unique_ptr<TDirTree> CreateDirTree(TComponent* owner, std::u16string rootPath) {
    return std::make_unique<T>(owner, std::move(rootPath));
}
