// The path tree of the checksum engine: every node also carries the MD5
// digest of its file and whether verification found the file changed.
#pragma once

#include "Packages/Common/DirTree.h"

#include <cstdint>

// What verification found of a listed file (TCheckSumData::Changed).
enum TChange : uint8_t {
    chNone = 0,
    chEdited = 1,  // a different digest, and the file was written after its list
    chDamaged = 2, // a different digest, yet the file was not written since its list
};

// The checksum record of a node: zero until a digest is stored.
struct TCheckSumData {
    uint8_t Hash[16]; // the digest, in digest byte order
    uint8_t Changed;  // a TChange
    // 1: an update keeps the digest the file's list holds (the file was not
    // written since the list was), so the file is not read.
    uint8_t Kept;
    uint32_t List; // the list that named the file: 1 + its index among the loaded lists; 0 for none
};

class TCheckSumTree : public TDirTree {
public:
    TCheckSumTree(TComponent* owner, std::u16string rootPath);

    int32_t CheckSumOffset() const { return checkSumOffset_; }

private:
    int32_t checkSumOffset_ = 0;
};

// The node's checksum record; nullptr for a nil tree or node.
TCheckSumData* CheckSumData(const TCheckSumTree* tree, TTreeNode* node);
