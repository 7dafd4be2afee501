#include "engine/FileReader.h"

#include "system/HandlesWin32.h"
#include "system/WinApi.h"

#include <winioctl.h>

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
    const BOOL known = GetDiskFreeSpaceW(win::Wide(root), &sectorsPerCluster, &bytesPerSector,
                                         &freeClusters, &clusters);
    const uint64_t size = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
    // A drive that cannot be asked, or one that reports nonsense, gets the default.
    return known && size > 0 && size <= (64u << 20) ? static_cast<uint32_t>(size)
                                                    : kDefaultBufferSize;
}

bool ReadsWithoutSeeking(const std::u16string& path) {
    if (!IsDriveRooted(path))
        return false;
    // The volume itself, opened without access: enough to ask its device.
    const std::u16string volume = u"\\\\.\\" + path.substr(0, 2);
    const win::UniqueFile device(CreateFileW(win::Wide(volume), 0,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
    if (!device.Valid())
        return false;
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceSeekPenaltyProperty;
    query.QueryType = PropertyStandardQuery;
    DEVICE_SEEK_PENALTY_DESCRIPTOR answer{};
    DWORD returned = 0;
    const BOOL asked = DeviceIoControl(device.Get(), IOCTL_STORAGE_QUERY_PROPERTY, &query,
                                       sizeof query, &answer, sizeof answer, &returned, nullptr);
    return asked && returned >= sizeof answer && !answer.IncursSeekPenalty;
}

uint32_t ReadWholeList(const std::u16string& path, std::string& text, uint64_t& time) {
    text.clear();
    const TFileHandle file = OpenListForReading(path);
    if (!file.Valid())
        return FileLastError;
    time = FileLastWriteTime(file);
    constexpr uint32_t kPiece = 64 * 1024;
    for (;;) {
        const size_t used = text.size();
        text.resize(used + kPiece);
        uint32_t read = 0;
        if (const uint32_t error = ReadChunk(file, text.data() + used, kPiece, read); error != 0)
            return error;
        text.resize(used + read);
        if (read == 0)
            return 0;
    }
}
