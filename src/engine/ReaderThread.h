// The one worker that reads and hashes every selected file of the checksum
// engine, after the scan workers (it waits until it is the only worker).
#pragma once

#include "Packages/Common/ScanThreads.h"
#include "engine/ChksumCalc.h"

#include <cstdint>
#include <string>
#include <vector>

class TMD5Hash;

class TReaderThread final : public TCustomThread {
public:
    enum TMode : uint8_t { rmCalculation = 0, rmVerification = 1 };

    TReaderThread(TCustomChksumCalc* engine, TMode mode);
    // Clears the engine's reference to it.
    ~TReaderThread() override;

protected:
    void Work() override;

private:
    void ReadDirectory(TDirectory& dir);
    void ReadSingles();
    // Makes buffer_ the read size of the drive that holds path.
    void SizeBuffer(const std::u16string& path);
    void ReadFile(const std::u16string& path, TDirTree& tree, TTreeNode* node);
    void StoreDigest(TTreeNode* node);
    void ReportFailure(TTreeNode* node, uint32_t errorCode);

    TCustomChksumCalc* engine_;
    TMode mode_;
    std::vector<uint8_t> buffer_;
    TMD5Hash* hash_ = nullptr;
};
