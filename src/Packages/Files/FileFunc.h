// The file-system wrappers every file call of the program goes through.
// Paths are wide and go to the wide system functions, absolute paths with
// the long-path prefix.
#pragma once

// The unit's masks and path helpers come with it.
#include "Packages/Files/FileMasks.h"
#include "Packages/Files/StrProc.h"
#include "system/UniqueHandle.h"

#include <cstdint>
#include <string>
#include <string_view>

// System error code of this thread's last WideCreateDir, WideFileAttributes,
// file opening, WideWriteFile, WideDeleteFile or GetPathKind. Each thread
// reads its own.
extern thread_local uint32_t FileLastError;

// What WideFileAttributes gives for a path it cannot read.
constexpr uint32_t INVALID_FILE_ATTRIBUTES_VALUE = 0xFFFFFFFF;
// File attribute bits, the system's values: a folder; a volume label (the
// old DOS bit, which the system's headers no longer name).
constexpr uint32_t kDirectoryAttribute = 0x10;
constexpr uint32_t kVolumeLabelAttribute = 0x08;
// A link of some kind (a symbolic link, a junction, a mount point): the
// entry leads elsewhere.
constexpr uint32_t kReparsePointAttribute = 0x400;

// True when attributes (of a search entry or WideFileAttributes) mark a folder.
constexpr bool IsDirectory(uint32_t attributes) {
    return (attributes & kDirectoryAttribute) != 0;
}
constexpr bool IsReparsePoint(uint32_t attributes) {
    return (attributes & kReparsePointAttribute) != 0;
}
// True for a folder or a volume label: entries that are no files.
constexpr bool IsDirectoryOrVolumeLabel(uint32_t attributes) {
    return (attributes & (kDirectoryAttribute | kVolumeLabelAttribute)) != 0;
}

// The value of a system handle that names nothing (all bits set).
inline void* InvalidSystemHandle() {
    return reinterpret_cast<void*>(~uintptr_t(0));
}

// How the two kinds of handle the wrappers give out are closed; Close is
// defined by the platform layer.
struct TFindHandlePolicy {
    using Value = void*;
    static Value Invalid() { return InvalidSystemHandle(); }
    static void Close(Value handle);
};
struct TFileHandlePolicy {
    using Value = void*;
    static Value Invalid() { return InvalidSystemHandle(); }
    static void Close(Value handle);
};
// An open directory search; closed when its owner goes.
using TFindHandle = UniqueHandle<TFindHandlePolicy>;
// An open file (a HANDLE to the Win32 layer); closed when its owner goes.
using TFileHandle = UniqueHandle<TFileHandlePolicy>;

// One entry of a directory search. The record owns its search: the handle
// is closed when the record is destroyed.
struct TLxSearchRec {
    uint64_t Time = 0;   // last write: 100-nanosecond intervals since 1601, UTC
    uint64_t Size = 0;   // the entry's size in bytes, all 64 bits
    uint32_t Attr = 0;   // file attribute bits (see IsDirectory)
    std::u16string Name; // the entry's name without folder
    TFindHandle FindHandle;
};

enum TPathKind : uint8_t { pkNone = 0, pkFile = 1, pkFolder = 2, pkDrive = 3 };

// Opens a search for a path (usually a folder plus "\*.*"); leading blanks
// are ignored. 0 when an entry was found and rec holds it, otherwise the
// system error code and rec.FindHandle is closed. An empty path is not
// searched: the result is 0 and rec is left as it was.
int WideFindFirst(const std::u16string& path, TLxSearchRec& rec);
// The next entry: 0 when found (rec holds it), otherwise the system error
// code (kErrorNoMoreFiles at the end).
int WideFindNext(TLxSearchRec& rec);

// Creates one folder; false on failure, with the code in FileLastError.
bool WideCreateDir(const std::u16string& dir);
// The file's attributes, or 0xFFFFFFFF; the system's code in FileLastError.
uint32_t WideFileAttributes(const std::u16string& path);
// True when dir names an existing folder (a trailing backslash is allowed;
// "/" is never a folder). Leaves FileLastError alone.
bool WideDirectoryExists(const std::u16string& dir);
// Opening files, one function per purpose. The handle is invalid on failure;
// FileLastError holds the system's report either way (kErrorAlreadyExists
// after a function that may create a file met an existing one).
//
// An existing file for sequential reading, shared with other readers only.
TFileHandle OpenForReading(const std::u16string& path);
// A new, empty file for writing, not shared; an existing file is replaced.
TFileHandle WideCreateFileForWrite(const std::u16string& name);
// The same, but others may read the file while it is written, and it may
// be read back through the handle (the log).
TFileHandle WideCreateLogFile(const std::u16string& name);
// The file for writing, not shared: an existing one as it is, a missing one
// created empty (the check before an output file is written).
TFileHandle WideOpenOrCreateForWrite(const std::u16string& name);
// An existing checksum list for reading from start to end, shared with
// nobody meanwhile.
TFileHandle OpenListForReading(const std::u16string& name);
// Writes all of text to an open file; 0, or the system error code (also left
// in FileLastError).
uint32_t WideWriteFile(const TFileHandle& file, std::string_view text);
// Reads up to size bytes into buffer; 0 with bytesRead set (0 at the end of
// the file), or the system error code.
uint32_t ReadChunk(const TFileHandle& file, void* buffer, uint32_t size, uint32_t& bytesRead);
// The last-write time of an open file (100-nanosecond intervals since 1601,
// UTC); 0 when the system does not tell it.
uint64_t FileLastWriteTime(const TFileHandle& file);
// Moves the position of an open file to offset bytes from its start; 0, or
// the system error code (also left in FileLastError).
uint32_t WideSetFilePosition(const TFileHandle& file, uint64_t offset);
// Deletes a file; false on failure, with the code in FileLastError.
bool WideDeleteFile(const std::u16string& name);
// Closes file and tells whether the system accepted the close (a delayed
// write may fail only then): 0, or the system error code (also left in
// FileLastError). The handle is closed either way.
uint32_t WideCloseFile(TFileHandle& file);
// Moves the file source over target, replacing it, and returns once the
// move has reached the disk; false on failure, with the code in FileLastError.
bool WideReplaceFile(const std::u16string& source, const std::u16string& target);
// True when the drive of rootPath (X:\ or \\server\share\) exists and holds
// a readable medium.
bool WideDiskReady(const std::u16string& rootPath);

// What is appended to a file's name while its new content is written.
inline constexpr std::u16string_view kPartialSuffix = u".partial";

// A file that replaces its target only when it is complete: it is written
// as the target's name plus kPartialSuffix, in the same folder, and moved
// over the target by Commit. Until then the target stays byte for byte;
// an unfinished partial file is removed when its owner goes.
class TReplacingFile {
public:
    explicit TReplacingFile(std::u16string target);
    ~TReplacingFile();
    TReplacingFile(const TReplacingFile&) = delete;
    TReplacingFile& operator=(const TReplacingFile&) = delete;

    // Creates the partial file, replacing one an earlier run left behind.
    // Open, Write and Commit return 0 or the system error code.
    uint32_t Open();
    uint32_t Write(std::string_view text);
    // Closes the partial file and moves it over the target.
    uint32_t Commit();

private:
    std::u16string target_;
    std::u16string partial_;
    TFileHandle file_;
    bool opened_ = false;
    bool committed_ = false;
};

// 0 when path names a regular file, one that can be read to its end;
// otherwise the system's error code for it, or 1 (the system's "incorrect
// function") for a device, a pipe or another entry that is no file.
uint32_t CheckRegularFile(const std::u16string& path);

// Which folder a path names, whatever the path took to get there: the
// volume's serial number and the folder's index on that volume.
struct TFolderId {
    uint32_t Volume = 0;
    uint64_t Index = 0;
    bool operator==(const TFolderId&) const = default;
};
// Reads the identity of the folder at path (a link is followed to where it
// leads); false when the folder cannot be opened.
bool WideFolderId(const std::u16string& path, TFolderId& id);

// The process's current folder (any length); empty when it cannot be read.
std::u16string GetCurrentDirW();
// Path made absolute against the current folder (see ExpandPathAgainst).
void ExpandPathW(std::u16string& path);

// Creates dir and its missing ancestors; true when dir exists afterwards.
// On failure FileLastError holds the code of the creation that failed.
// Throws std::invalid_argument when asked for a folder without a name.
bool ForceDirectoriesW(const std::u16string& dir);
// True when s is an absolute path (X:\... or \\...) of an existing folder.
bool IsExistingAbsoluteFolder(const std::u16string& s);

// Whether path is missing, a file, a folder (or a share root that can be
// listed), or a drive root (X: or X:\, which a search cannot find whether
// the drive is there or not). Sets FileLastError to the code of the search
// (0 when something was found).
TPathKind GetPathKind(const std::u16string& path);
