// The reading thread's batches: files of a middle size are read whole, one
// read each and one after another (so a disk that seeks reads them as
// sequentially as one at a time), then hashed together, one file per lane
// of the vector unit. On a drive that does not seek, larger files share
// the lanes as well, each read a piece at a time in turn. Their digests and
// events are handed on in the order of the files, as if each had been read
// alone.
#include "engine/FileReader.h"
#include "engine/LxHash.h"
#include "engine/ReaderThread.h"

#include <algorithm>
#include <cstring>

namespace {

// Below this size the opening of a file costs more than its hashing: lanes
// would gain nothing.
constexpr int64_t kLaneFrom = 64 * 1024;
// A file up to this size is read whole in one read.
constexpr int64_t kWholeRead = 4 * 1024 * 1024;
// Room after the file, so that the read that fills it also finds its end.
constexpr size_t kReadSlack = 64 * 1024;
// The batch's memory: 16 files of the largest size, or more smaller ones,
// up to the width. It bounds what the lanes add to the program's memory.
constexpr size_t kBatchMemory = 16 * (kWholeRead + kReadSlack);
// A streamed file's piece: the widest batch streams 32 MiB at a time.
constexpr size_t kPiece = 1024 * 1024;
constexpr size_t kBlock = 64;

} // namespace

bool TReaderThread::TakesLanes(int64_t size) const {
    return width_ != lwOne && size >= kLaneFrom && size <= kWholeRead;
}

bool TReaderThread::StreamsInLanes(int64_t size) const {
    return width_ != lwOne && seekFree_ && size > kWholeRead;
}

TLaneWidth TReaderThread::WidthFor(size_t count) const {
    for (const TLaneWidth width : {lwSse2, lwAvx2, lwAvx512})
        if (count <= width && width <= width_ && LaneWidthSupported(width))
            return width;
    return width_;
}

void TReaderThread::AddToStream(const std::u16string& path, TDirTree& tree, TTreeNode* node) {
    if (!streaming_)
        FlushBatch();
    streaming_ = true;
    if (!batchMemory_)
        batchMemory_ = std::make_unique_for_overwrite<uint8_t[]>(kBatchMemory);
    TLaneFile& lane = batch_[batchSize_];
    lane.Node = node;
    lane.Tree = &tree;
    lane.Data = batchMemory_.get() + batchSize_ * kPiece;
    lane.Room = kPiece;
    lane.Length = 0;
    lane.Opened = lane.Failed = lane.Hashed = lane.Ended = false;
    ++batchSize_;
    lane.File = OpenForReading(path);
    if (lane.File.Valid())
        lane.Opened = true;
    else
        ReportFailure(node, FileLastError);
    if (batchSize_ == batch_.size())
        FlushBatch();
}

bool TReaderThread::ReadPiece(TLaneFile& lane) {
    uint32_t read = 0;
    const auto want = static_cast<uint32_t>(lane.Room - lane.Length);
    if (const uint32_t error = ReadChunk(lane.File, lane.Data + lane.Length, want, read);
        error != 0) {
        ReportFailure(lane.Node, error);
        lane.Failed = true;
        lane.File = TFileHandle();
        return false;
    }
    lane.Length += read;
    lane.Ended = read == 0;
    engine_->ReadBytes += read;
    return true;
}

void TReaderThread::AddToBatch(const std::u16string& path, TDirTree& tree, TTreeNode* node) {
    const size_t room = static_cast<size_t>(tree.GetData(node)->Size) + kReadSlack;
    if (streaming_ || batchUsed_ + room > kBatchMemory)
        FlushBatch();
    if (!batchMemory_)
        batchMemory_ = std::make_unique_for_overwrite<uint8_t[]>(kBatchMemory);
    TLaneFile& lane = batch_[batchSize_++];
    lane.Node = node;
    lane.Tree = &tree;
    lane.Data = batchMemory_.get() + batchUsed_;
    lane.Room = room;
    lane.Length = 0;
    lane.Opened = lane.Failed = lane.Hashed = false;
    batchUsed_ += room;
    const TFileHandle file = OpenForReading(path);
    if (!file.Valid()) {
        ReportFailure(node, FileLastError);
    } else {
        lane.Opened = true;
        uint32_t error = 0;
        for (uint32_t read = 1; read != 0 && error == 0 && lane.Length < room;) {
            const auto want = static_cast<uint32_t>(room - lane.Length);
            error = ReadChunk(file, lane.Data + lane.Length, want, read);
            lane.Length += read;
            engine_->ReadBytes += read;
        }
        // A file that grew since the scan beyond its room is hashed alone.
        if (error == 0 && lane.Length == room) {
            hash_->Init();
            hash_->Update(lane.Data, static_cast<int64_t>(lane.Length));
            error = HashRest(file, lane.Data, static_cast<uint32_t>(room));
            hash_->Final();
            std::memcpy(lane.Digest, hash_->Digest(), sizeof lane.Digest);
            lane.Hashed = true;
        }
        if (error != 0) {
            ReportFailure(node, error);
            lane.Failed = true;
        }
    }
    if (batchSize_ == batch_.size())
        FlushBatch();
}

void TReaderThread::FlushBatch() {
    if (batchSize_ == 0)
        return;
    if (!Terminated()) {
        if (streaming_)
            HashStream();
        else
            HashBatch();
    }
    HandOnBatch();
}

void TReaderThread::HandOnBatch() {
    for (size_t i = 0; i < batchSize_ && !Terminated(); ++i) {
        TLaneFile& lane = batch_[i];
        // A file that could not be opened was never announced.
        if (!lane.Opened)
            continue;
        engine_->QueueFileEvent({CM_FILE_BEGIN, lane.Node, lane.Tree});
        if (lane.Failed)
            continue;
        StoreDigest(lane.Node, lane.Digest);
        ++engine_->ReadFiles;
        engine_->QueueFileEvent({CM_FILE_DONE, lane.Node, lane.Tree});
    }
    for (size_t i = 0; i < batchSize_; ++i)
        batch_[i].File = TFileHandle();
    batchSize_ = 0;
    batchUsed_ = 0;
    streaming_ = false;
}

void TReaderThread::HashCommonBlocks(const size_t* active, size_t count, uint32_t (*states)[4],
                                     const uint8_t** next, size_t* blocks) {
    if (count == 1) {
        const size_t i = active[0];
        Md5Compress(states[i], next[i], blocks[i]);
        next[i] += blocks[i] * kBlock;
        blocks[i] = 0;
        return;
    }
    size_t common = SIZE_MAX;
    for (size_t j = 0; j < count; ++j)
        common = std::min(common, blocks[active[j]]);
    // Lanes beyond the files hash the first file's blocks into a state that
    // is thrown away.
    const size_t width = WidthFor(count);
    uint32_t laneStates[lwAvx512][4];
    const uint8_t* laneData[lwAvx512];
    for (size_t j = 0; j < width && j < lwAvx512; ++j) {
        const size_t from = active[j < count ? j : 0];
        std::copy_n(states[from], 4, laneStates[j]);
        laneData[j] = next[from];
    }
    Md5LanesTransform(static_cast<TLaneWidth>(width), laneStates, laneData, common);
    for (size_t j = 0; j < count; ++j) {
        const size_t i = active[j];
        std::copy_n(laneStates[j], 4, states[i]);
        next[i] += common * kBlock;
        blocks[i] -= common;
    }
}

// Each lane reads its next piece when it has less than a block left; the
// lanes with blocks advance together; a lane at its file's end finishes
// with the scalar hash.
void TReaderThread::HashStream() {
    uint32_t states[lwAvx512][4];
    const uint8_t* next[lwAvx512];
    size_t blocks[lwAvx512] = {};
    uint64_t before[lwAvx512] = {}; // bytes of the file before its buffer
    bool live[lwAvx512] = {};
    for (size_t i = 0; i < batchSize_; ++i) {
        std::memcpy(states[i], TMD4Hash::kInitialState, sizeof states[i]);
        next[i] = batch_[i].Data;
        live[i] = batch_[i].Opened;
    }
    for (bool any = true; any && !Terminated();) {
        any = false;
        size_t active[lwAvx512];
        size_t count = 0;
        for (size_t i = 0; i < batchSize_; ++i) {
            if (!live[i])
                continue;
            TLaneFile& lane = batch_[i];
            size_t left = static_cast<size_t>(lane.Data + lane.Length - next[i]);
            if (left < kBlock && !lane.Ended) {
                // The part of a block left goes before the next piece.
                before[i] += static_cast<uint64_t>(next[i] - lane.Data);
                std::memmove(lane.Data, next[i], left);
                lane.Length = left;
                next[i] = lane.Data;
                if (!ReadPiece(lane)) {
                    live[i] = false;
                    continue;
                }
                left = lane.Length;
            }
            blocks[i] = left / kBlock;
            if (blocks[i] > 0) {
                active[count++] = i;
            } else if (lane.Ended) {
                hash_->Resume(states[i], before[i] + static_cast<uint64_t>(next[i] - lane.Data));
                hash_->Update(next[i], static_cast<int64_t>(left));
                hash_->Final();
                std::memcpy(lane.Digest, hash_->Digest(), sizeof lane.Digest);
                lane.File = TFileHandle();
                live[i] = false;
                continue;
            }
            any = true;
        }
        if (count > 0)
            HashCommonBlocks(active, count, states, next, blocks);
    }
}

// The lanes advance together over the whole blocks they have in common; a
// lane out of blocks drops out, and the width narrows to what is left. The
// rest of each file (its last blocks once one lane is left, its tail and
// padding) is the scalar hash's.
void TReaderThread::HashBatch() {
    uint32_t states[lwAvx512][4];
    const uint8_t* next[lwAvx512];
    size_t blocks[lwAvx512] = {};
    for (size_t i = 0; i < batchSize_; ++i) {
        const TLaneFile& lane = batch_[i];
        std::memcpy(states[i], TMD4Hash::kInitialState, sizeof states[i]);
        next[i] = lane.Data;
        if (lane.Opened && !lane.Failed && !lane.Hashed)
            blocks[i] = lane.Length / kBlock;
    }
    for (;;) {
        size_t active[lwAvx512];
        size_t count = 0;
        for (size_t i = 0; i < batchSize_; ++i)
            if (blocks[i] > 0)
                active[count++] = i;
        if (count == 0)
            break;
        HashCommonBlocks(active, count, states, next, blocks);
    }
    for (size_t i = 0; i < batchSize_; ++i) {
        TLaneFile& lane = batch_[i];
        if (!lane.Opened || lane.Failed || lane.Hashed)
            continue;
        const auto done = static_cast<uint64_t>(next[i] - lane.Data);
        hash_->Resume(states[i], done);
        hash_->Update(next[i], static_cast<int64_t>(lane.Length - done));
        hash_->Final();
        std::memcpy(lane.Digest, hash_->Digest(), sizeof lane.Digest);
    }
}
