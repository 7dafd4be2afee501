// The one worker that reads and hashes every selected file of the checksum
// engine, after the scan workers (it waits until it is the only worker).
// Files of a middle size are read whole, a batch at a time, and hashed
// together in the lanes of the vector unit; on a drive that does not seek,
// larger files share the lanes too, read piece by piece in turn. Every
// file's digest and events come in the order of the files all the same.
#pragma once

#include "Packages/Common/ScanThreads.h"
#include "engine/ChksumCalc.h"
#include "engine/Md5Lanes.h"

#include <cstdint>
#include <memory>
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
    // Reads file to its end into hash_ through buffer; 0, or the system
    // error code of the read that failed.
    uint32_t HashRest(const TFileHandle& file, uint8_t* buffer, uint32_t size);
    void StoreDigest(TTreeNode* node, const uint8_t* digest);
    void ReportFailure(TTreeNode* node, uint32_t errorCode);

    // --- ReaderLanes.cpp: files hashed together in vector lanes ---
    // A file of the batch, read whole before the batch is hashed.
    struct TLaneFile {
        TTreeNode* Node = nullptr;
        TDirTree* Tree = nullptr;
        uint8_t* Data = nullptr; // its place in the batch's memory
        size_t Room = 0;         // bytes of that place
        size_t Length = 0;       // bytes of the file in it
        bool Opened = false;
        bool Failed = false; // a read failed after it was opened (reported)
        bool Hashed = false; // larger than the scan saw: hashed alone as it was read
        uint8_t Digest[16] = {};
        // Streamed: the open file, and whether its end was read.
        TFileHandle File;
        bool Ended = false;
    };
    // Whether a file of size bytes is hashed in a batch: read whole, or in
    // pieces (streamed) where reads may take turns between files.
    bool TakesLanes(int64_t size) const;
    bool StreamsInLanes(int64_t size) const;
    // Opens the file for the streamed batch, which is hashed once full.
    void AddToStream(const std::u16string& path, TDirTree& tree, TTreeNode* node);
    // Reads the next piece of the streamed file of lane into its buffer,
    // after the part of a block left; false when it failed (reported).
    bool ReadPiece(TLaneFile& lane);
    void HashStream();
    // Hashes the blocks the active lanes have in common: count lanes, the
    // first its index in active, states and next updated.
    void HashCommonBlocks(const size_t* active, size_t count, uint32_t (*states)[4],
                          const uint8_t** next, size_t* blocks);
    // Hands each file of the batch on in its order, and empties the batch.
    void HandOnBatch();
    // Opens and reads the file whole into the batch, which is hashed first
    // when it has no lane or no memory left for the file.
    void AddToBatch(const std::u16string& path, TDirTree& tree, TTreeNode* node);
    // Hashes the batch's files and hands each on in their order.
    void FlushBatch();
    void HashBatch();
    // The narrowest width that runs count lanes.
    TLaneWidth WidthFor(size_t count) const;

    TCustomChksumCalc* engine_;
    TMode mode_;
    std::vector<uint8_t> buffer_;
    TMD5Hash* hash_ = nullptr;
    const TLaneWidth width_;
    std::vector<TLaneFile> batch_; // width_ places
    size_t batchSize_ = 0;
    // The memory the batch's files are read into, one after another; made
    // on first use and released with the record. Its pages are touched
    // only as files are read into them.
    std::unique_ptr<uint8_t[]> batchMemory_;
    size_t batchUsed_ = 0;
    // Whether the batch holds streamed files, and whether the record's drive
    // lets reads take turns between files.
    bool streaming_ = false;
    bool seekFree_ = false;
};
