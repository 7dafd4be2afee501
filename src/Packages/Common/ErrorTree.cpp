#include "Packages/Common/ErrorTree.h"

#include "Packages/Common/Assertion.h"

#include <cstring>

namespace {} // namespace

TErrorTree::TErrorTree(TDirectory* directory)
    : TBaseTree(nullptr), directory_(directory),
      dataOffset_(AllocData(static_cast<int32_t>(sizeof(TErrorValue)))) {}

TErrorTree::~TErrorTree() {
    DestroyNodes();
}

TTreeNode* TErrorTree::AddError(TErrorValue value) {
    // The value is in place before smInsert reaches anybody.
    TTreeNode* node = AddChild(nullptr, true);
    SetValue(node, value);
    Notify(smInsert, reinterpret_cast<TNotifyParam>(GetRoot()), imAddChild);
    return node;
}

TErrorValue TErrorTree::GetValue(const TTreeNode* node) const {
    if (node == nullptr)
        return 0;
    TErrorValue value;
    std::memcpy(&value, reinterpret_cast<const char*>(node) + dataOffset_, sizeof value);
    return value;
}

void TErrorTree::SetValue(TTreeNode* node, TErrorValue value) {
    if (node == nullptr)
        AssertionFailure("Can`t set value to nil node.");
    std::memcpy(reinterpret_cast<char*>(node) + dataOffset_, &value, sizeof value);
}

TTreeNode* TErrorTree::FindValue(const TTreeNode* parent, TErrorValue value) const {
    const TTreeNode* from = parent != nullptr ? parent : GetRoot();
    for (TTreeNode* child = from->FirstChild; child != nullptr; child = child->NextSibling)
        if (GetValue(child) == value)
            return child;
    return nullptr;
}
