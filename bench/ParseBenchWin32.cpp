// parse_bench LIST [RUNS]: loads LIST with LoadCheckSumList (mode 1, every
// entry) and reads it line by line with std::getline into a vector of
// strings, alternately, RUNS times each (default 3), and prints the best
// time of each, the entries, and the process memory the first load's tree
// holds per entry, in all and beyond the UTF-16 name.
#include "ProcessMemory.h"
#include "engine/ChksumCalc.h"
#include "system/AnsiText.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

size_t ReadLines(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(std::move(line));
    return lines.size();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: parse_bench LIST [RUNS]\n");
        return 2;
    }
    const std::u16string list = AnsiToWide(argv[1]);
    const std::u16string base = ExtractFileDirW(list);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    InitMainThreadSynchronization();
    TChksumCalc engine(nullptr);
    engine.SetOptions(DefaultScanerOptions.Without(soAutoScan));

    double loader = 1e9, getline = 1e9;
    size_t bytes = 0, lines = 0;
    int64_t entries = 0, nameUnits = 0;
    for (int run = 0; run < runs; ++run) {
        engine.Clear(true);
        const size_t before = PrivateBytes();
        auto start = std::chrono::steady_clock::now();
        const TFileParseInfo info = engine.LoadCheckSumList(list, base, {}, lmAll, nullptr);
        loader = std::min(loader, Seconds(start));
        if (info.Result != fprSuccess) {
            std::fprintf(stderr, "the list did not load: %s, line %u\n",
                         ParseResultText(info.Result).c_str(), info.Line);
            return 1;
        }
        // Later runs reuse the memory the first one freed.
        if (run == 0)
            bytes = PrivateBytes() - before;
        start = std::chrono::steady_clock::now();
        lines = ReadLines(argv[1]);
        getline = std::min(getline, Seconds(start));
    }
    const TDirTree& tree = *engine.FirstDirectory()->Tree;
    for (TTreeNode* n = tree.GetRoot()->FirstChild; n != nullptr; n = n->NextSibling) {
        ++entries;
        nameUnits += static_cast<int64_t>(tree.GetName(n).size());
    }
    const double perEntry = entries > 0 ? static_cast<double>(bytes) / entries : 0.0;
    std::printf("loader_seconds %.4f\n", loader);
    std::printf("getline_seconds %.4f\n", getline);
    std::printf("entries %lld\n", static_cast<long long>(entries));
    std::printf("lines %zu\n", lines);
    std::printf("bytes_per_entry %.1f\n", perEntry);
    std::printf("bytes_per_entry_beyond_name %.1f\n",
                entries > 0 ? perEntry - 2.0 * nameUnits / entries : 0.0);
    return 0;
}
