// scan_bench FOLDER [RUNS]: scans FOLDER recursively RUNS times (default 3)
// with masked files kept and the include mask f?0.dat;f?2.dat;f?4.dat;f?6.dat;f?8.dat,
// and prints the best time, the nodes and files of the tree, and the
// process memory the first run's tree holds per node; then the best times of
// two peers: the bare walk, and the bare walk writing that many bytes of
// fresh memory per entry.
#include "Packages/Common/DirScaner.h"
#include "Packages/Files/FileFunc.h"
#include "ProcessMemory.h"
#include "system/AnsiText.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int64_t CountNodes(const TCustomDirScaner& scanner) {
    int64_t nodes = 0;
    for (const TTreeNode* n = scanner.FirstItem(true); n != nullptr; n = scanner.NextItem(n, true))
        ++nodes;
    return nodes;
}

// The peer inside the process: the same walk with the file wrappers alone,
// building nothing.
int64_t Enumerate(const std::u16string& folder) {
    int64_t files = 0;
    TLxSearchRec rec;
    for (int code = WideFindFirst(folder + u"\\*.*", rec); code == 0; code = WideFindNext(rec)) {
        if (!IsDirectory(rec.Attr))
            ++files;
        else if (rec.Name != u"." && rec.Name != u"..")
            files += Enumerate(folder + u"\\" + rec.Name);
    }
    return files;
}

// The walk again, writing bytesPerEntry bytes of fresh memory per entry:
// what keeping a tree of the scanner's size costs any program here, where
// each first touch of a page is a fault of the virtual machine.
int64_t EnumerateKeeping(const std::u16string& folder, size_t bytesPerEntry, char*& fresh) {
    int64_t files = 0;
    TLxSearchRec rec;
    for (int code = WideFindFirst(folder + u"\\*.*", rec); code == 0; code = WideFindNext(rec)) {
        if (rec.Name == u"." || rec.Name == u"..")
            continue;
        std::memset(fresh, 1, bytesPerEntry);
        fresh += bytesPerEntry;
        if (!IsDirectory(rec.Attr))
            ++files;
        else
            files += EnumerateKeeping(folder + u"\\" + rec.Name, bytesPerEntry, fresh);
    }
    return files;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: scan_bench FOLDER [RUNS]\n");
        return 2;
    }
    const std::u16string folder = AnsiToWide(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    InitMainThreadSynchronization();
    TDirScaner scanner(nullptr);
    scanner.SetOptions(DefaultScanerOptions.Without(soASync));
    scanner.IncludeMasks().Add("f?0.dat;f?2.dat;f?4.dat;f?6.dat;f?8.dat");

    double best = 1e9;
    size_t bytes = 0;
    for (int run = 0; run < runs; ++run) {
        scanner.Clear(true);
        scanner.WaitForWorkers();
        const size_t before = PrivateBytes();
        const auto start = std::chrono::steady_clock::now();
        scanner.Include(folder, true);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
        // Later runs reuse the memory the first one freed.
        if (run == 0)
            bytes = PrivateBytes() - before;
        scanner.WaitForWorkers();
    }
    double bestEnumeration = 1e9;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        Enumerate(folder);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        bestEnumeration = std::min(bestEnumeration, took.count());
    }
    const int64_t nodes = CountNodes(scanner);
    const size_t bytesPerNode = nodes > 0 ? bytes / static_cast<size_t>(nodes) : 0;
    double bestKeeping = 1e9;
    for (int run = 0; run < runs; ++run) {
        const size_t room = bytesPerNode * static_cast<size_t>(nodes);
        void* block = VirtualAlloc(nullptr, room, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        char* fresh = static_cast<char*>(block);
        const auto start = std::chrono::steady_clock::now();
        EnumerateKeeping(folder, bytesPerNode, fresh);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        bestKeeping = std::min(bestKeeping, took.count());
        VirtualFree(block, 0, MEM_RELEASE);
    }
    int64_t size = 0, files = 0, folders = 0, maskedSize = 0, masked = 0;
    scanner.GetStatistics(size, files, folders);
    scanner.GetMaskedStatistics(maskedSize, masked);
    std::printf("seconds %.4f\n", best);
    std::printf("enumeration_seconds %.4f\n", bestEnumeration);
    std::printf("keeping_seconds %.4f\n", bestKeeping);
    std::printf("files %lld\n", static_cast<long long>(files + masked));
    std::printf("passing %lld\n", static_cast<long long>(files));
    std::printf("nodes %lld\n", static_cast<long long>(nodes));
    std::printf("bytes_per_node %.1f\n", nodes > 0 ? static_cast<double>(bytes) / nodes : 0.0);
    return 0;
}
