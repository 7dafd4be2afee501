#include "engine/FileReader.h"

#include "system/AnsiText.h"
#include "system/LxSys.h"
#include "system/WinApi.h"

namespace {

constexpr uint32_t kDefaultBufferSize = 4096;

} // namespace

uint32_t ReadBufferSize(const std::u16string& path) {
    if (!IsDriveRooted(path))
        return kDefaultBufferSize;
    const std::u16string root = path.substr(0, 3);
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD clusters = 0;
    const BOOL known = IsWinNT ? GetDiskFreeSpaceW(win::Wide(root), &sectorsPerCluster,
                                                   &bytesPerSector, &freeClusters, &clusters)
                               : GetDiskFreeSpaceA(WideToAnsi(root).c_str(), &sectorsPerCluster,
                                                   &bytesPerSector, &freeClusters, &clusters);
    const uint64_t size = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
    // A drive that cannot be asked, or one that reports nonsense, gets the default.
    return known && size > 0 && size <= (64u << 20) ? static_cast<uint32_t>(size)
                                                    : kDefaultBufferSize;
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

uint32_t SetReadPosition(const TFileHandle& file, uint64_t offset) {
    LONG high = static_cast<LONG>(offset >> 32);
    // The low part of a valid position may equal the failure value: only
    // the last error tells them apart.
    SetLastError(NO_ERROR);
    const DWORD low =
        SetFilePointer(file.Get(), static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
    if (low == INVALID_SET_FILE_POINTER)
        return GetLastError();
    return 0;
}
