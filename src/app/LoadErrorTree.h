// The lists of a verification run that failed to load, one top-level node
// each, in the order they failed, with what parsing them gave.
#pragma once

#include "Packages/Common/BaseTree.h"
#include "engine/ListParser.h"

#include <cstdint>

class TLoadErrorTree : public TBaseTree {
public:
    explicit TLoadErrorTree(TComponent* owner);
    ~TLoadErrorTree() override;

    // Appends a node holding a copy of info (without notification).
    TTreeNode* Add(const TFileParseInfo& info);
    // The record of node; nullptr for nullptr.
    const TFileParseInfo* GetInfo(const TTreeNode* node) const;
    int32_t Count() const { return TopCount(); }

protected:
    void FinalizeNode(TTreeNode* node) override;

private:
    void SetRecord(TTreeNode* node, TFileParseInfo* record);

    int32_t dataOffset_ = 0;
};
