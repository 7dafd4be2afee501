#include "engine/ReaderThread.h"

#include "engine/FileReader.h"
#include "engine/LxHash.h"
#include "system/Process.h"

#include <cstring>

TReaderThread::TReaderThread(TCustomChksumCalc* engine, TMode mode)
    : TCustomThread(engine, nullptr), engine_(engine), mode_(mode), width_(engine->LaneWidth),
      batch_(width_) {
    WaitAlone = true;
}

TReaderThread::~TReaderThread() {
    engine_->SetReader(nullptr);
}

void TReaderThread::Work() {
    TMD5Hash hash;
    hash_ = &hash;
    bool abort = false;
    Synchronize([&] { abort = engine_->StartReading(); });
    if (abort)
        return;
    engine_->StartTiming();
    for (TDirectory* dir = engine_->FirstDirectory(); dir != nullptr;
         dir = Terminated() ? nullptr : engine_->NextDirectory(dir))
        ReadDirectory(*dir);
    ReadSingles();
    engine_->StopTiming();
    if (!Terminated())
        PostThreadMessageTo(engine_->OwnerThreadId(), {CM_READ_DONE, 0, 0});
}

void TReaderThread::ReadDirectory(TDirectory& dir) {
    // One buffer per record, released when the record is done.
    SizeBuffer(dir.Path);
    seekFree_ = engine_->InterleaveLargeFiles.value_or(ReadsWithoutSeeking(dir.Path));
    TDirTree& tree = *dir.Tree;
    for (TTreeNode* node = tree.GetNext(tree.GetRoot()); node != nullptr && !Terminated();
         node = tree.GetNext(node)) {
        const TDirNodeData* data = tree.GetData(node);
        if (IsDirectory(data->Attributes) || data->Masked != 0 ||
            engine_->CheckSumDataOf(node)->Kept != 0)
            continue;
        if (TakesLanes(data->Size) && data->ErrorCode == 0) {
            AddToBatch(tree.GetFullPath(node), tree, node);
            continue;
        }
        if (StreamsInLanes(data->Size) && data->ErrorCode == 0) {
            AddToStream(tree.GetFullPath(node), tree, node);
            continue;
        }
        // What comes after the batch's files waits for them.
        FlushBatch();
        if (data->ErrorCode != 0) {
            // The scan could not find it: announced, not read.
            engine_->QueueFileEvent({CM_FILE_BEGIN, node, &tree});
            engine_->QueueFileEvent({CM_FILE_DONE, node, &tree});
            continue;
        }
        ReadFile(tree.GetFullPath(node), tree, node);
    }
    FlushBatch();
    std::vector<uint8_t>().swap(buffer_);
    batchMemory_.reset();
}

void TReaderThread::ReadSingles() {
    TTreeNode* staticNode = engine_->StaticNode();
    if (staticNode == nullptr)
        return;
    TDirTree& tree = engine_->Tree();
    for (TTreeNode* node = staticNode->FirstChild; node != nullptr && !Terminated();
         node = node->NextSibling) {
        // Single files are stored under their full path.
        const std::u16string path = tree.GetName(node);
        SizeBuffer(path);
        ReadFile(path, tree, node);
    }
    std::vector<uint8_t>().swap(buffer_);
}

void TReaderThread::SizeBuffer(const std::u16string& path) {
    // Resized, not refilled: single files on drives of one cluster size
    // share one allocation.
    buffer_.resize(ReadSizeFor(ReadBufferSize(path)));
}

void TReaderThread::ReadFile(const std::u16string& path, TDirTree& tree, TTreeNode* node) {
    // A device or a pipe is not opened: it may never end, or never begin.
    // Its folder lists it with no size, so only such entries are asked about.
    if (const uint32_t code = tree.GetData(node)->Size == 0 ? CheckRegularFile(path) : 0;
        code != 0) {
        ReportFailure(node, code);
        return;
    }
    TFileHandle file = OpenForReading(path);
    if (!file.Valid()) {
        ReportFailure(node, FileLastError);
        return;
    }
    engine_->QueueFileEvent({CM_FILE_BEGIN, node, &tree});
    hash_->Init();
    if (const uint32_t error =
            HashRest(file, buffer_.data(), static_cast<uint32_t>(buffer_.size()));
        error != 0) {
        // A file that fails after it was opened counts like one that could
        // not be opened; the run goes on with the next file.
        ReportFailure(node, error);
        return;
    }
    if (Terminated())
        return;
    hash_->Final();
    StoreDigest(node, hash_->Digest());
    ++engine_->ReadFiles;
    engine_->QueueFileEvent({CM_FILE_DONE, node, &tree});
}

uint32_t TReaderThread::HashRest(const TFileHandle& file, uint8_t* buffer, uint32_t size) {
    while (!Terminated()) {
        uint32_t read = 0;
        if (const uint32_t error = ReadChunk(file, buffer, size, read); error != 0)
            return error;
        if (read == 0)
            break;
        hash_->Update(buffer, read);
        engine_->ReadBytes += read;
    }
    return 0;
}

void TReaderThread::StoreDigest(TTreeNode* node, const uint8_t* digest) {
    TCheckSumData* data = engine_->CheckSumDataOf(node);
    if (data == nullptr)
        return;
    // A file no list names (a new file that an update adds) has nothing to differ from.
    if (mode_ == rmVerification && data->List != 0 && std::memcmp(data->Hash, digest, 16) != 0) {
        data->Changed = engine_->ChangeOf(node);
        engine_->Changed.push_back(node);
        if (data->Changed == chDamaged)
            ++engine_->DamagedCount;
    }
    CopyDigest(digest, data->Hash);
}

void TReaderThread::ReportFailure(TTreeNode* node, uint32_t errorCode) {
    engine_->FailedBytes += static_cast<uint64_t>(engine_->Tree().GetData(node)->Size);
    ++engine_->FailedFiles;
    auto record = [&] { engine_->RecordReadError(node, errorCode); };
    try {
        if (engine_->HasOption(soNotSynchronize))
            record();
        else
            Synchronize(record);
    } catch (...) {
        // A failed report must not end the reading.
    }
}
