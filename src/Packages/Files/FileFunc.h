// The file-system wrappers every file call of the program goes through.
// Paths are wide; on the NT family the wide system functions are used (the
// directory search with long-path prefixes), otherwise their ANSI twins.
#pragma once

#include <cstdint>
#include <string>

// System error code of this thread's last WideCreateDir, WideFileAttributes,
// WideCreateFile or GetPathKind. Each thread reads its own.
extern thread_local uint32_t FileLastError;

constexpr uint32_t INVALID_FILE_ATTRIBUTES_VALUE = 0xFFFFFFFF;
constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY_BIT = 0x10;

// A directory search. It owns its system search handle and closes it when
// destroyed; WideFindClose closes it earlier.
struct TLxSearchRec {
    TLxSearchRec() = default;
    ~TLxSearchRec();
    TLxSearchRec(const TLxSearchRec&) = delete;
    TLxSearchRec& operator=(const TLxSearchRec&) = delete;

    uint32_t Time = 0;  // last write, local time, packed DOS date (high) and time (low)
    uint64_t Size = 0;  // the entry's size in bytes
    uint32_t Attr = 0;  // file attribute bits (0x10 = directory)
    std::u16string Name; // the entry's name without folder
    void* FindHandle = InvalidFindHandle();

    static void* InvalidFindHandle() { return reinterpret_cast<void*>(~uintptr_t(0)); }
};

enum TPathKind : uint8_t { pkNone = 0, pkFile = 1, pkFolder = 2, pkDrive = 3 };

// Opens a search for an absolute path (usually a folder plus "\*.*"); 0 when
// an entry was found and rec holds it, otherwise the system error code.
int WideFindFirst(const std::u16string& path, TLxSearchRec& rec);
// The next entry: 0 when found, otherwise the system error code
// (ERROR_NO_MORE_FILES = 18 at the end).
int WideFindNext(TLxSearchRec& rec);
// Closes the search if open; may be called any number of times.
void WideFindClose(TLxSearchRec& rec);

// The file's attributes, or 0xFFFFFFFF with the code in FileLastError.
uint32_t WideFileAttributes(const std::u16string& path);
// True when dir names an existing folder (a trailing backslash is allowed).
bool WideDirectoryExists(const std::u16string& dir);

// The process's current folder.
std::u16string GetCurrentDirW();
// Path made absolute against the current folder: an empty path becomes the
// current folder; absolute paths lose a trailing backslash unless they are
// a drive or share root; "..\" at the front climbs from the current folder.
void ExpandPathW(std::u16string& path);

// Whether path is missing, a file, a folder (or share root), or a drive
// root that cannot be listed. Sets FileLastError.
TPathKind GetPathKind(const std::u16string& path);
