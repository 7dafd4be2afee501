// hash_floor [/W] PATH: the least any Windows checksum program must do, as a
// peer for the program's own speed. It walks PATH (a folder, recursively, or
// one file) with FindFirstFileW/FindNextFileW, opens each file with
// CreateFileW, reads it in 1 MiB pieces, hashes it with the program's MD5
// (one stream at a time), closes it and prints "path DIGEST". /W first
// creates a message-only window, the fixed cost of any program that has
// one. /READ reads each file whole into one buffer of 64 MiB, one after
// another, and hashes nothing: what reading alone costs the lanes' batches.
// hash_floor /LANES prints the lane width the program uses here.
#include "engine/LxHash.h"
#include "engine/Md5Lanes.h"
#include "system/WinApi.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD kReadSize = 1u << 20;
// /READ: files read whole one after another into a buffer of this size, as
// the program's batches are.
constexpr size_t kBatchSize = 64u << 20;
bool readOnly = false;

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (const wchar_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

// false when the file could not be opened or read.
bool HashFile(const std::wstring& path, std::vector<uint8_t>& buffer, TMD5Hash& hash) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    hash.Init();
    DWORD read = 0;
    bool ok = true;
    if (readOnly) {
        // Each file after the one before in the batch's buffer.
        static size_t used = 0;
        LARGE_INTEGER size{};
        GetFileSizeEx(file, &size);
        if (used + static_cast<size_t>(size.QuadPart) > buffer.size())
            used = 0;
        while ((ok = ReadFile(file, buffer.data() + used,
                              static_cast<DWORD>(std::min<size_t>(buffer.size() - used, 1u << 30)),
                              &read, nullptr) != 0) &&
               read > 0)
            used += read;
        CloseHandle(file);
        return ok;
    }
    while ((ok = ReadFile(file, buffer.data(), kReadSize, &read, nullptr) != 0) && read > 0)
        hash.Update(buffer.data(), read);
    CloseHandle(file);
    if (!ok)
        return false;
    hash.Final();
    std::printf("%s %s\n", Narrow(path).c_str(), BinToHex(hash.Digest(), 16).c_str());
    return true;
}

int Walk(const std::wstring& folder, std::vector<uint8_t>& buffer, TMD5Hash& hash) {
    int failures = 0;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return 1;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + L"\\" + name;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            failures += Walk(path, buffer, hash);
        else if (!HashFile(path, buffer, hash))
            ++failures;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return failures;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wstring(argv[1]) == L"/LANES") {
        std::printf("%d\n", static_cast<int>(WidestLaneWidth()));
        return 0;
    }
    int arg = 1;
    HWND window = nullptr;
    if (arg < argc && std::wstring(argv[arg]) == L"/READ") {
        readOnly = true;
        ++arg;
    }
    if (arg < argc && std::wstring(argv[arg]) == L"/W") {
        window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        ++arg;
    }
    if (arg + 1 != argc) {
        std::fprintf(stderr, "usage: hash_floor [/READ] [/W] PATH\n");
        return 2;
    }
    const std::wstring path = argv[arg];
    std::vector<uint8_t> buffer(readOnly ? kBatchSize : kReadSize);
    TMD5Hash hash;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const int failures = attributes == INVALID_FILE_ATTRIBUTES          ? 1
                         : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Walk(path, buffer, hash)
                         : HashFile(path, buffer, hash)                 ? 0
                                                                        : 1;
    if (window != nullptr)
        DestroyWindow(window);
    return failures == 0 ? 0 : 1;
}
