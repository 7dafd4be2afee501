// Error lists kept as trees: each item holds one value, usually the node of
// another tree whose file or folder failed. The scanner keeps one per
// directory record in the order the errors occurred; the checksum engine
// and the program group items under error codes.
#pragma once

#include "Packages/Common/BaseTree.h"

#include <cstdint>

class TDirectory;

// What an item holds: a node address or an error code.
using TErrorValue = intptr_t;

class TErrorTree : public TBaseTree {
public:
    // directory: the record the errors belong to, or nullptr for a list of its own.
    explicit TErrorTree(TDirectory* directory);
    ~TErrorTree() override;

    TDirectory* Directory() const { return directory_; }

    // Appends a top-level item holding value (sends smInsert) and returns it.
    virtual TTreeNode* AddError(TErrorValue value);
    // The value of node; 0 for nullptr.
    TErrorValue GetValue(const TTreeNode* node) const;
    // Stores value in node; nullptr is an assertion failure.
    void SetValue(TTreeNode* node, TErrorValue value);
    // The first child of parent (nullptr: the top level) holding value, or nullptr.
    TTreeNode* FindValue(const TTreeNode* parent, TErrorValue value) const;

private:
    TDirectory* directory_;
    int32_t dataOffset_;
};
