#include "Packages/Files/FileFunc.h"

#include "system/HandlesWin32.h"
#include "system/SystemErrors.h"
#include "system/WinApi.h"

thread_local uint32_t FileLastError = 0;

static_assert(INVALID_FILE_ATTRIBUTES_VALUE == INVALID_FILE_ATTRIBUTES &&
              kDirectoryAttribute == FILE_ATTRIBUTE_DIRECTORY &&
              kReparsePointAttribute == FILE_ATTRIBUTE_REPARSE_POINT);

// The wide functions get absolute paths in their long form (LongPathForm),
// so that paths past the classic 260-character limit work for every call,
// not only for the search that found them.

namespace {

uint64_t TimeOf(const FILETIME& fileTime) {
    return (static_cast<uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
}

void FillRecord(TLxSearchRec& rec, const WIN32_FIND_DATAW& data) {
    rec.Time = TimeOf(data.ftLastWriteTime);
    rec.Size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    rec.Attr = data.dwFileAttributes;
    rec.Name = win::FromWide(data.cFileName);
}

int StartSearch(TLxSearchRec& rec, HANDLE handle, const WIN32_FIND_DATAW& data) {
    if (handle == INVALID_HANDLE_VALUE)
        return static_cast<int>(GetLastError());
    rec.FindHandle.Reset(handle);
    FillRecord(rec, data);
    return 0;
}

int Advance(TLxSearchRec& rec, BOOL found, const WIN32_FIND_DATAW& data) {
    if (!found)
        return static_cast<int>(GetLastError());
    FillRecord(rec, data);
    return 0;
}

// Reads text from the system into a buffer grown until the system stops
// asking for more: current folders may be longer than the classic limit.
template <typename Read> std::u16string ReadGrowing(Read read) {
    std::u16string buffer(520, 0);
    for (;;) {
        const DWORD length = read(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length + 1);
    }
}

DWORD ReadAttributes(const std::u16string& path) {
    return GetFileAttributesW(win::Wide(LongPathForm(path)));
}

// CreateFile without security attributes or template.
TFileHandle OpenFile(const std::u16string& name, DWORD access, DWORD shareMode, DWORD disposition,
                     DWORD flagsAndAttributes) {
    // A successful open reports ERROR_ALREADY_EXISTS or leaves this 0.
    SetLastError(0);
    const HANDLE handle = CreateFileW(win::Wide(LongPathForm(name)), access, shareMode, nullptr,
                                      disposition, flagsAndAttributes, nullptr);
    FileLastError = GetLastError();
    return TFileHandle(handle);
}

} // namespace

void TFindHandlePolicy::Close(Value handle) {
    win::CloseKeepingLastError(FindClose, handle);
}

void TFileHandlePolicy::Close(Value handle) {
    win::CloseKeepingLastError(CloseHandle, handle);
}

int WideFindFirst(const std::u16string& path, TLxSearchRec& rec) {
    if (path.empty())
        return 0;
    rec.FindHandle.Reset();
    const size_t start = path.find_first_not_of(u' ');
    const std::u16string copy =
        start == std::u16string::npos ? std::u16string() : path.substr(start);
    WIN32_FIND_DATAW data{};
    const HANDLE handle = FindFirstFileW(win::Wide(LongPathForm(copy)), &data);
    return StartSearch(rec, handle, data);
}

int WideFindNext(TLxSearchRec& rec) {
    const HANDLE handle = static_cast<HANDLE>(rec.FindHandle.Get());
    WIN32_FIND_DATAW data{};
    return Advance(rec, FindNextFileW(handle, &data), data);
}

bool WideCreateDir(const std::u16string& dir) {
    const BOOL created = CreateDirectoryW(win::Wide(LongPathForm(dir)), nullptr);
    FileLastError = created ? 0 : GetLastError();
    return created;
}

uint32_t WideFileAttributes(const std::u16string& path) {
    const DWORD attributes = ReadAttributes(path);
    FileLastError = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
    return attributes;
}

bool WideDirectoryExists(const std::u16string& dir) {
    if (dir == u"/")
        return false;
    const DWORD attributes = ReadAttributes(ExcludeTrailingBackslashW(dir));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TFileHandle OpenForReading(const std::u16string& path) {
    return OpenFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                    FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL);
}

TFileHandle WideCreateFileForWrite(const std::u16string& name) {
    return OpenFile(name, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
}

TFileHandle WideCreateLogFile(const std::u16string& name) {
    return OpenFile(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL);
}

TFileHandle WideOpenOrCreateForWrite(const std::u16string& name) {
    return OpenFile(name, GENERIC_WRITE, 0, OPEN_ALWAYS, 0);
}

TFileHandle OpenListForReading(const std::u16string& name) {
    return OpenFile(name, GENERIC_READ, 0, OPEN_EXISTING,
                    FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL);
}

uint32_t WideWriteFile(const TFileHandle& file, std::string_view text) {
    while (!text.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(text.size() < (1u << 30) ? text.size() : (1u << 30));
        if (!WriteFile(file.Get(), text.data(), chunk, &written, nullptr) || written == 0) {
            FileLastError = GetLastError();
            return FileLastError;
        }
        text.remove_prefix(written);
    }
    FileLastError = 0;
    return 0;
}

uint64_t FileLastWriteTime(const TFileHandle& file) {
    FILETIME written{};
    return GetFileTime(file.Get(), nullptr, nullptr, &written) ? TimeOf(written) : 0;
}

uint32_t WideSetFilePosition(const TFileHandle& file, uint64_t offset) {
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    FileLastError =
        SetFilePointerEx(file.Get(), position, nullptr, FILE_BEGIN) ? 0 : GetLastError();
    return FileLastError;
}

bool WideDeleteFile(const std::u16string& name) {
    const BOOL deleted = DeleteFileW(win::Wide(LongPathForm(name)));
    FileLastError = deleted ? 0 : GetLastError();
    return deleted != 0;
}

uint32_t WideCloseFile(TFileHandle& file) {
    FileLastError = CloseHandle(file.Release()) ? 0 : GetLastError();
    return FileLastError;
}

bool WideReplaceFile(const std::u16string& source, const std::u16string& target) {
    const BOOL moved = MoveFileExW(win::Wide(LongPathForm(source)), win::Wide(LongPathForm(target)),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    FileLastError = moved ? 0 : GetLastError();
    return moved != FALSE;
}

bool WideDiskReady(const std::u16string& rootPath) {
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD totalClusters = 0;
    return GetDiskFreeSpaceW(win::Wide(rootPath), &sectorsPerCluster, &bytesPerSector,
                             &freeClusters, &totalClusters);
}

uint32_t CheckRegularFile(const std::u16string& path) {
    // Under Wine a device, pipe or socket has no attributes to give (error
    // 87); on Windows such an entry says so in its attributes.
    const DWORD attributes = ReadAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error != 0 ? error : kErrorInvalidFunction;
    }
    return (attributes & FILE_ATTRIBUTE_DEVICE) != 0 ? kErrorInvalidFunction : 0;
}

bool WideFolderId(const std::u16string& path, TFolderId& id) {
    // No access asked for: the identity only. Folders open only with
    // backup semantics.
    const TFileHandle folder =
        OpenFile(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                 FILE_FLAG_BACKUP_SEMANTICS);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!folder.Valid() || !GetFileInformationByHandle(folder.Get(), &information))
        return false;
    id.Volume = information.dwVolumeSerialNumber;
    id.Index =
        (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    return true;
}

std::u16string GetCurrentDirW() {
    return ReadGrowing(
        [](DWORD size, char16_t* buffer) { return GetCurrentDirectoryW(size, win::Wide(buffer)); });
}

uint32_t ReadChunk(const TFileHandle& file, void* buffer, uint32_t size, uint32_t& bytesRead) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer, size, &read, nullptr)) {
        bytesRead = 0;
        return GetLastError();
    }
    bytesRead = read;
    return 0;
}
