// The worker of the flat scan: after a checksum list was loaded into a
// record's flat tree (one node per listed path), it looks every listed file
// up on disk, once, and fills in what a scan would: attributes, size, time
// and the record's statistics, or the lookup's error.
#pragma once

#include "Packages/Common/ScanThreads.h"

class TFlatScanThread final : public TCustomThread {
public:
    // Processes directory once it has its turn (the worker frees itself).
    TFlatScanThread(TCustomDirScaner* scanner, TDirectory* directory);

protected:
    // Stops between lookups when asked to.
    void Work() override;

private:
    void LookUp(TTreeNode* node, const std::u16string& base);
};
