// tree_bench tree|peer FOLDERS FILES: builds a path tree of FOLDERS folders
// holding FILES files each (names of 12 characters), walks it, builds every
// full path once and deletes it, then prints nanoseconds per node for each
// phase and the process memory the tree took per node. "tree" measures
// TDirTree; "peer" a plain tree of C++ nodes holding the same fields with a
// std::u16string name and a vector of owned children, as a yardstick.
#include "Packages/Common/DirTree.h"
#include "Packages/Files/FileFunc.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

int64_t ResidentBytes() {
    long pages = 0;
    long resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        return 0;
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
        resident = 0;
    std::fclose(statm);
    return int64_t(resident) * sysconf(_SC_PAGESIZE);
}

// A name of 12 characters: prefix and zero-padded number.
std::u16string Name(const std::string& prefix, int number) {
    const std::string digits = std::to_string(number);
    const std::string text = prefix + std::string(12 - prefix.size() - digits.size(), '0') + digits;
    return std::u16string(text.begin(), text.end());
}

struct TResult {
    int64_t Nodes = 0;
    int64_t Bytes = 0;
    double Build = 0, Walk = 0, Paths = 0, Delete = 0; // seconds
    uint64_t Check = 0;                                // keeps the work observable
};

double Since(TClock::time_point start) {
    return std::chrono::duration<double>(TClock::now() - start).count();
}

TResult MeasureTree(int folders, int files) {
    TResult r;
    const int64_t before = ResidentBytes();
    auto start = TClock::now();
    auto tree = std::make_unique<TDirTree>(nullptr, u"C:\\Data");
    for (int f = 0; f < folders; ++f) {
        TTreeNode* folder = tree->AddNamedNode(nullptr, Name("folder", f));
        tree->GetData(folder)->Attributes = kDirectoryAttribute;
        for (int i = 0; i < files; ++i)
            tree->GetData(tree->AddNamedNode(folder, Name("file", i)))->Size = i;
    }
    r.Build = Since(start);
    r.Bytes = ResidentBytes() - before;

    start = TClock::now();
    for (TTreeNode* n = tree->GetNext(tree->GetRoot()); n != nullptr; n = tree->GetNext(n)) {
        ++r.Nodes;
        r.Check += uint64_t(tree->GetData(n)->Size);
    }
    r.Walk = Since(start);

    start = TClock::now();
    for (TTreeNode* n = tree->GetNext(tree->GetRoot()); n != nullptr; n = tree->GetNext(n))
        r.Check += tree->GetFullPath(n).size();
    r.Paths = Since(start);

    start = TClock::now();
    tree.reset();
    r.Delete = Since(start);
    return r;
}

struct TPeerNode {
    TPeerNode* Parent = nullptr;
    std::vector<std::unique_ptr<TPeerNode>> Children;
    std::u16string Name;
    int64_t Size = 0;
    void* Link = nullptr;
    uint32_t Attributes = 0, Time = 0;
    int32_t ErrorCode = 0;
    uint8_t Masked = 0;

    TPeerNode* Add(std::u16string name) {
        Children.push_back(std::make_unique<TPeerNode>());
        TPeerNode* child = Children.back().get();
        child->Parent = this;
        child->Name = std::move(name);
        return child;
    }
};

std::u16string PeerPath(const std::u16string& rootPath, const TPeerNode* node) {
    std::u16string path = node->Name;
    for (const TPeerNode* p = node->Parent; p->Parent != nullptr; p = p->Parent)
        path.insert(0, p->Name + u'\\');
    return rootPath + u'\\' + path;
}

// Pre-order with an explicit stack of (node, next child index).
template <typename F> void PeerWalk(TPeerNode& root, F visit) {
    std::vector<std::pair<TPeerNode*, size_t>> stack{{&root, 0}};
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next == node->Children.size()) {
            stack.pop_back();
            continue;
        }
        TPeerNode* child = node->Children[next++].get();
        visit(child);
        stack.push_back({child, 0});
    }
}

TResult MeasurePeer(int folders, int files) {
    TResult r;
    const std::u16string rootPath = u"C:\\Data";
    const int64_t before = ResidentBytes();
    auto start = TClock::now();
    auto root = std::make_unique<TPeerNode>();
    for (int f = 0; f < folders; ++f) {
        TPeerNode* folder = root->Add(Name("folder", f));
        folder->Attributes = kDirectoryAttribute;
        for (int i = 0; i < files; ++i)
            folder->Add(Name("file", i))->Size = i;
    }
    r.Build = Since(start);
    r.Bytes = ResidentBytes() - before;

    start = TClock::now();
    PeerWalk(*root, [&](TPeerNode* n) {
        ++r.Nodes;
        r.Check += uint64_t(n->Size);
    });
    r.Walk = Since(start);

    start = TClock::now();
    PeerWalk(*root, [&](TPeerNode* n) { r.Check += PeerPath(rootPath, n).size(); });
    r.Paths = Since(start);

    start = TClock::now();
    root.reset();
    r.Delete = Since(start);
    return r;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tree_bench tree|peer FOLDERS FILES\n");
        return 2;
    }
    const std::string kind = argv[1];
    const int folders = std::atoi(argv[2]);
    const int files = std::atoi(argv[3]);
    const TResult r = kind == "peer" ? MeasurePeer(folders, files) : MeasureTree(folders, files);
    const double ns = 1e9 / double(r.Nodes);
    std::printf(
        "nodes %lld\nbuild %.1f\nwalk %.1f\npaths %.1f\ndelete %.1f\nbytes %.1f\ncheck %llu\n",
        static_cast<long long>(r.Nodes), r.Build * ns, r.Walk * ns, r.Paths * ns, r.Delete * ns,
        double(r.Bytes) / double(r.Nodes), static_cast<unsigned long long>(r.Check));
    return 0;
}
