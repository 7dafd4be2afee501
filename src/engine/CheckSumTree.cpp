#include "engine/CheckSumTree.h"

#include <cstring>

TCheckSumTree::TCheckSumTree(TComponent* owner, std::u16string rootPath)
    : TDirTree(owner, std::move(rootPath)) {
    checkSumOffset_ = AllocData(sizeof(TCheckSumData));
}

void TCheckSumTree::CopyNodeData(const TTreeNode* source, TTreeNode* copy) {
    TDirTree::CopyNodeData(source, copy);
    std::memcpy(reinterpret_cast<char*>(copy) + checkSumOffset_,
                reinterpret_cast<const char*>(source) + checkSumOffset_, sizeof(TCheckSumData));
}

TCheckSumData* CheckSumData(const TCheckSumTree* tree, TTreeNode* node) {
    if (tree == nullptr || node == nullptr)
        return nullptr;
    return reinterpret_cast<TCheckSumData*>(reinterpret_cast<char*>(node) + tree->CheckSumOffset());
}
