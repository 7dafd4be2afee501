#include "Packages/Files/FileFunc.h"

#include "system/AnsiText.h"
#include "system/LxSys.h"
#include "system/WinApi.h"

#include <vector>

thread_local uint32_t FileLastError = 0;

namespace {

std::u16string LongPathForm(const std::u16string& path) {
    if (path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\')
        return u"\\\\?\\UNC\\" + path.substr(2);
    return u"\\\\?\\" + path;
}

uint32_t DosTime(const FILETIME& fileTime) {
    FILETIME local{};
    WORD date = 0;
    WORD time = 0;
    if (!FileTimeToLocalFileTime(&fileTime, &local) || !FileTimeToDosDateTime(&local, &date, &time))
        return 0;
    return (static_cast<uint32_t>(date) << 16) | time;
}

template <typename FindData> void FillRecord(TLxSearchRec& rec, const FindData& data) {
    rec.Time = DosTime(data.ftLastWriteTime);
    rec.Size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    rec.Attr = data.dwFileAttributes;
}

void FillName(TLxSearchRec& rec, const WIN32_FIND_DATAW& data) {
    rec.Name = win::FromWide(data.cFileName);
}

void FillName(TLxSearchRec& rec, const WIN32_FIND_DATAA& data) {
    rec.Name = AnsiToWide(data.cFileName);
}

template <typename FindData> int FindResult(TLxSearchRec& rec, BOOL found, const FindData& data) {
    if (!found)
        return static_cast<int>(GetLastError());
    FillRecord(rec, data);
    FillName(rec, data);
    return 0;
}

} // namespace

TLxSearchRec::~TLxSearchRec() { WideFindClose(*this); }

int WideFindFirst(const std::u16string& path, TLxSearchRec& rec) {
    if (path.empty())
        return 0;
    WideFindClose(rec);
    const size_t start = path.find_first_not_of(u' ');
    const std::u16string copy = start == std::u16string::npos ? std::u16string() : path.substr(start);
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (IsWinNT) {
        WIN32_FIND_DATAW data{};
        handle = FindFirstFileW(win::Wide(LongPathForm(copy)), &data);
        rec.FindHandle = handle;
        return FindResult(rec, handle != INVALID_HANDLE_VALUE, data);
    }
    WIN32_FIND_DATAA data{};
    handle = FindFirstFileA(WideToAnsi(copy).c_str(), &data);
    rec.FindHandle = handle;
    return FindResult(rec, handle != INVALID_HANDLE_VALUE, data);
}

int WideFindNext(TLxSearchRec& rec) {
    SetLastError(0);
    if (IsWinNT) {
        WIN32_FIND_DATAW data{};
        return FindResult(rec, FindNextFileW(rec.FindHandle, &data), data);
    }
    WIN32_FIND_DATAA data{};
    return FindResult(rec, FindNextFileA(rec.FindHandle, &data), data);
}

void WideFindClose(TLxSearchRec& rec) {
    if (rec.FindHandle != TLxSearchRec::InvalidFindHandle()) {
        FindClose(rec.FindHandle);
        rec.FindHandle = TLxSearchRec::InvalidFindHandle();
    }
}

uint32_t WideFileAttributes(const std::u16string& path) {
    const DWORD attributes = IsWinNT ? GetFileAttributesW(win::Wide(path))
                                     : GetFileAttributesA(WideToAnsi(path).c_str());
    FileLastError = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
    return attributes;
}

bool WideDirectoryExists(const std::u16string& dir) {
    if (dir == u"/")
        return false;
    const std::u16string path =
        !dir.empty() && dir.back() == u'\\' ? dir.substr(0, dir.size() - 1) : dir;
    const DWORD attributes = IsWinNT ? GetFileAttributesW(win::Wide(path))
                                     : GetFileAttributesA(WideToAnsi(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string GetCurrentDirW() {
    if (!IsWinNT) {
        std::string buffer(MAX_PATH, '\0');
        const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
        buffer.resize(length < buffer.size() ? length : 0);
        return AnsiToWide(buffer);
    }
    // Grown until the system stops asking for more: current folders may be
    // longer than the classic limit.
    std::vector<wchar_t> buffer(520);
    for (;;) {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0)
            return {};
        if (length < buffer.size())
            return win::FromWide(buffer.data());
        buffer.resize(length + 1);
    }
}
