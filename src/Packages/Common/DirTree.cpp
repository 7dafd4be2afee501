#include "Packages/Common/DirTree.h"

#include "Packages/Files/FileFunc.h"
#include "Packages/Files/StrProc.h"
#include "system/Unicode.h"

#include <cstring>
#include <new>
#include <vector>

// One block: the length, then the UTF-16 units. An empty name is no block.
struct TNodeName {
    uint32_t Length;
};

namespace {

const char16_t* TextOf(const TNodeName* name) {
    return reinterpret_cast<const char16_t*>(name + 1);
}

std::u16string_view ViewOf(const TNodeName* name) {
    return name == nullptr ? std::u16string_view()
                           : std::u16string_view(TextOf(name), name->Length);
}

TNodeName* NewName(std::u16string_view text) {
    if (text.empty())
        return nullptr;
    const size_t bytes = text.size() * sizeof(char16_t);
    auto* name = static_cast<TNodeName*>(::operator new(sizeof(TNodeName) + bytes));
    name->Length = static_cast<uint32_t>(text.size());
    std::memcpy(name + 1, text.data(), bytes);
    return name;
}

void FreeName(TNodeName* name) {
    ::operator delete(name);
}

// Case is folded the way path comparisons fold it: code unit by code unit
// with the Unicode simple lower-case mapping, so the length never changes.
// Names are compared as wide text: turning them into ANSI first would make
// distinct names outside the code page look equal.
std::u16string Folded(std::u16string_view text) {
    std::u16string result(text);
    WideLowerCaseInPlace(result);
    return result;
}

} // namespace

// --- TBaseDirTree ---

TBaseDirTree::TBaseDirTree(TComponent* owner, std::u16string rootPath)
    : TBaseTree(owner), rootPath_(std::move(rootPath)) {}

TTreeNode* TBaseDirTree::FindChild(const TTreeNode* parent, std::u16string_view name) const {
    if (parent == nullptr)
        parent = GetRoot();
    const std::u16string wanted = Folded(name);
    for (TTreeNode* child = parent->FirstChild; child != nullptr; child = child->NextSibling) {
        std::u16string candidate = GetName(child);
        if (candidate.size() != wanted.size())
            continue;
        WideLowerCaseInPlace(candidate);
        if (candidate == wanted)
            return child;
    }
    return nullptr;
}

TTreeNode* TBaseDirTree::FindPath(std::u16string_view path) const {
    std::u16string_view rest;
    return PathBelowRoot(path, rest) ? Descend(rest, false) : nullptr;
}

TTreeNode* TBaseDirTree::FindNearest(std::u16string_view path) const {
    std::u16string_view rest;
    return PathBelowRoot(path, rest) ? Descend(rest, true) : nullptr;
}

std::u16string TBaseDirTree::GetFullPath(const TTreeNode* node) const {
    if (node == nullptr)
        return {};
    if (node == GetRoot())
        return rootPath_;
    // Names from the node up, joined once their total length is known.
    std::vector<std::u16string> names{GetName(node)};
    size_t length = names.back().size();
    for (const TTreeNode* p = node->Parent; p != nullptr && p != GetRoot(); p = p->Parent) {
        std::u16string name = GetName(p);
        if (name.empty())
            continue;
        length += name.size() + 1;
        names.push_back(std::move(name));
    }
    const bool rootSeparator = !rootPath_.empty() && rootPath_.back() != u'\\';
    std::u16string result;
    result.reserve(rootPath_.size() + (rootSeparator ? 1 : 0) + length);
    result += rootPath_;
    if (rootSeparator)
        result += u'\\';
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (it != names.rbegin())
            result += u'\\';
        result += *it;
    }
    return result;
}

TTreeNode* TBaseDirTree::AddNamedNode(TTreeNode* parent, std::u16string_view name) {
    TTreeNode* node = AddChild(parent);
    try {
        SetName(node, name);
    } catch (...) {
        DeleteNode(node);
        throw;
    }
    return node;
}

// The root folder must be followed by a separator or the end of the path:
// C:\DataX\f is not inside C:\Data. With an empty root every path is
// relative to it, with or without a leading separator.
bool TBaseDirTree::PathBelowRoot(std::u16string_view path, std::u16string_view& rest) const {
    const std::u16string root = ExcludeTrailingBackslashW(rootPath_);
    if (path.size() < root.size() || Folded(path.substr(0, root.size())) != Folded(root))
        return false;
    rest = path.substr(root.size());
    if (rest.empty())
        return true;
    if (rest.front() != u'\\')
        return root.empty();
    rest.remove_prefix(1);
    return true;
}

// Looks the components of rest up from the root; a missing one ends the
// walk with nullptr, or with the last node found when nearest.
TTreeNode* TBaseDirTree::Descend(std::u16string_view rest, bool nearest) const {
    TTreeNode* node = GetRoot();
    while (!rest.empty()) {
        const size_t end = rest.find(u'\\');
        TTreeNode* child = FindChild(node, rest.substr(0, end));
        if (child == nullptr)
            return nearest ? node : nullptr;
        node = child;
        if (end == std::u16string_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
    return node;
}

// --- TDirTree ---

static_assert(TBaseTree::HeaderSize % alignof(TDirNodeData) == 0,
              "the node data must start aligned behind the header");

TDirTree::TDirTree(TComponent* owner, std::u16string rootPath)
    : TBaseDirTree(owner, std::move(rootPath)) {
    dataOffset_ = AllocData(sizeof(TDirNodeData));
}

TDirTree::~TDirTree() {
    DestroyNodes();
}

TDirNodeData* TDirTree::GetData(TTreeNode* node) const {
    if (node == nullptr)
        return nullptr;
    return reinterpret_cast<TDirNodeData*>(reinterpret_cast<char*>(node) + dataOffset_);
}

const TDirNodeData* TDirTree::GetData(const TTreeNode* node) const {
    return GetData(const_cast<TTreeNode*>(node));
}

bool TDirTree::IsDirectory(const TTreeNode* node) const {
    const TDirNodeData* data = GetData(node);
    return data != nullptr && ::IsDirectory(data->Attributes);
}

std::u16string TDirTree::GetName(const TTreeNode* node) const {
    const TDirNodeData* data = GetData(node);
    return data == nullptr ? std::u16string() : std::u16string(ViewOf(data->Name));
}

void TDirTree::SetName(TTreeNode* node, std::u16string_view name) {
    TDirNodeData* data = GetData(node);
    TNodeName* replaced = NewName(name);
    FreeName(data->Name);
    data->Name = replaced;
}

TTreeNode* TDirTree::AddSearchRec(TTreeNode* parent, const TLxSearchRec& rec, bool masked) {
    TTreeNode* node = AddNamedNode(parent, rec.Name);
    TDirNodeData* data = GetData(node);
    data->Attributes = rec.Attr;
    data->Size = static_cast<int64_t>(rec.Size);
    data->Time = rec.Time;
    data->Masked = masked ? 1 : 0;
    return node;
}

// Until AllocData has returned in the constructor, nodes have no data area
// of this class: the hooks it runs then have nothing to do.

void TDirTree::InitNode(TTreeNode* node) {
    if (dataOffset_ != 0)
        GetData(node)->Name = nullptr;
}

void TDirTree::FinalizeNode(TTreeNode* node) {
    if (dataOffset_ == 0)
        return;
    TDirNodeData* data = GetData(node);
    FreeName(data->Name);
    data->Name = nullptr;
}
