// The worker of the flat scan: after a checksum list was loaded into a
// record's flat tree (one node per listed path), it looks every listed file
// up on disk, once, and fills in what a scan would: attributes, size, time
// and the record's statistics (its files and the folders that hold them),
// or the lookup's error. An entry below a link back to a folder before it
// on its path is not looked up: a scan would never have reached it (scan
// error 1921).
#pragma once

#include "Packages/Common/ScanThreads.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

class TFlatScanThread final : public TCustomThread {
public:
    // Processes directory once it has its turn (the worker frees itself),
    // adding one to lookedUp for each entry.
    TFlatScanThread(TCustomDirScaner* scanner, TDirectory* directory,
                    std::atomic<uint64_t>& lookedUp);

protected:
    // Stops between lookups when asked to.
    void Work() override;

private:
    // What the system tells of one entry.
    struct TFound {
        uint32_t Attributes = 0;
        uint64_t Time = 0;
        uint64_t Size = 0;
    };
    // A folder's entries by their folded names.
    using TListing = std::unordered_map<std::u16string, TFound>;

    void LookUp(TTreeNode* node, const std::u16string& base);
    // The listing of base + folder, read on first use; nullptr when the
    // folder cannot be listed.
    const TListing* Listing(const std::u16string& base, const std::u16string& folder);
    // A found file's attributes, size and time, and its counts; a folder
    // found under a listed file's name is a missing file.
    void Fill(TTreeNode* node, const TFound& found);
    // Counts the folders of the entry path name not counted yet.
    void CountFoldersOf(const std::u16string& name);
    // True when some folder of base + folder is a link back to a folder
    // before it on that path; remembered per folder.
    bool LoopsBack(const std::u16string& base, const std::u16string& folder);
    bool LinkBack(const std::u16string& base, const std::u16string& folder) const;

    std::atomic<uint64_t>& lookedUp_;
    // Listed entries per folded folder, those not looked up yet, and the
    // listings of the folders read and still needed.
    std::unordered_map<std::u16string, size_t> entriesPerFolder_;
    std::unordered_map<std::u16string, size_t> entriesLeft_;
    std::unordered_map<std::u16string, std::optional<TListing>> listings_;
    // Folded folders and whether they lie below a link back.
    std::unordered_map<std::u16string, bool> loops_;
    // Folded folders counted in the record's statistics.
    std::unordered_set<std::u16string> foldersCounted_;
};
