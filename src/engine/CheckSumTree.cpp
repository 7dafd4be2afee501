#include "engine/CheckSumTree.h"

TCheckSumTree::TCheckSumTree(TComponent* owner, std::u16string rootPath)
    : TDirTree(owner, std::move(rootPath)) {
    checkSumOffset_ = AllocData(sizeof(TCheckSumData));
}

TCheckSumData* CheckSumData(const TCheckSumTree* tree, TTreeNode* node) {
    if (tree == nullptr || node == nullptr)
        return nullptr;
    return reinterpret_cast<TCheckSumData*>(reinterpret_cast<char*>(node) + tree->CheckSumOffset());
}
