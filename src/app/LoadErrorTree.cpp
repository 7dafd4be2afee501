#include "app/LoadErrorTree.h"

#include <cstring>

// Each node's data area holds one pointer to a record the node owns; the
// area is only 4-byte aligned, so the pointer is copied in and out.
TLoadErrorTree::TLoadErrorTree(TComponent* owner) : TBaseTree(owner) {
    dataOffset_ = AllocData(static_cast<int32_t>(sizeof(TFileParseInfo*)));
}

TLoadErrorTree::~TLoadErrorTree() {
    DestroyNodes();
}

TTreeNode* TLoadErrorTree::Add(const TFileParseInfo& info) {
    TTreeNode* node = AddChild(nullptr, true);
    if (node != nullptr)
        SetRecord(node, new TFileParseInfo(info));
    return node;
}

const TFileParseInfo* TLoadErrorTree::GetInfo(const TTreeNode* node) const {
    if (node == nullptr)
        return nullptr;
    TFileParseInfo* record = nullptr;
    std::memcpy(&record, reinterpret_cast<const char*>(node) + dataOffset_, sizeof record);
    return record;
}

// Until AllocData has returned in the constructor, nodes have no data area
// of this class: there is nothing to free.
void TLoadErrorTree::FinalizeNode(TTreeNode* node) {
    if (dataOffset_ == 0)
        return;
    delete GetInfo(node);
    SetRecord(node, nullptr);
}

void TLoadErrorTree::SetRecord(TTreeNode* node, TFileParseInfo* record) {
    std::memcpy(reinterpret_cast<char*>(node) + dataOffset_, &record, sizeof record);
}
