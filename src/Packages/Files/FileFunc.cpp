#include "Packages/Files/FileFunc.h"

#include "system/AnsiText.h"
#include "system/SystemErrors.h"

#include <stdexcept>

namespace {

// \\server\share is a share root; \\server and \\server\share\dir are not.
bool IsShareRoot(const std::u16string& s) {
    if (s.size() < 2 || s[0] != u'\\' || s[1] != u'\\')
        return false;
    const size_t server = s.find(u'\\', 2);
    return server != std::u16string::npos && s.find(u'\\', server + 1) == std::u16string::npos;
}

bool IsDriveLetterOnly(const std::u16string& s) {
    return s.size() == 2 && s[1] == u':' && IsDriveRooted(s + u'\\');
}

} // namespace

TReplacingFile::TReplacingFile(std::u16string target)
    : target_(std::move(target)), partial_(target_ + std::u16string(kPartialSuffix)) {}

TReplacingFile::~TReplacingFile() {
    file_.Reset();
    if (opened_ && !committed_)
        WideDeleteFile(partial_);
}

uint32_t TReplacingFile::Open() {
    file_ = WideCreateFileForWrite(partial_);
    opened_ = file_.Valid();
    return opened_ ? 0 : FileLastError;
}

uint32_t TReplacingFile::Write(std::string_view text) {
    return WideWriteFile(file_, text);
}

uint32_t TReplacingFile::Commit() {
    if (const uint32_t error = WideCloseFile(file_); error != 0)
        return error;
    committed_ = WideReplaceFile(partial_, target_);
    return committed_ ? 0 : FileLastError;
}

void ExpandPathW(std::u16string& path) {
    path = ExpandPathAgainst(path, GetCurrentDirW());
}

bool ForceDirectoriesW(const std::u16string& dir) {
    if (dir.empty())
        throw std::invalid_argument("Can't create folder \"" + WideToAnsi(dir) + "\".");
    const std::u16string d = ExcludeTrailingBackslashW(dir);
    if (d.size() < 3 || WideDirectoryExists(d))
        return true;
    return ForceDirectoriesW(ExtractFileDirW(d)) && WideCreateDir(d);
}

bool IsExistingAbsoluteFolder(const std::u16string& s) {
    if (!IsDriveRooted(s) && !(s.size() >= 2 && s[0] == u'\\' && s[1] == u'\\'))
        return false;
    const uint32_t attributes = WideFileAttributes(s);
    return attributes != INVALID_FILE_ATTRIBUTES_VALUE && IsDirectory(attributes);
}

TPathKind GetPathKind(const std::u16string& path) {
    if (path.empty()) {
        FileLastError = kErrorFileNotFound;
        return pkNone;
    }
    if (path == u"\\\\")
        return pkNone;
    // The wide path is searched as it is: names outside the ANSI code page
    // must still be found.
    std::u16string s = path;
    while (!s.empty() && s.back() == u'\\')
        s.pop_back();
    if (s.empty()) {
        FileLastError = kErrorFileNotFound;
        return pkNone;
    }
    const bool shareRoot = IsShareRoot(s);
    if (shareRoot)
        s += u"\\*.*";
    TLxSearchRec rec;
    const int error = WideFindFirst(s, rec);
    TPathKind kind = pkNone;
    if (error == 0)
        kind = shareRoot || IsDirectory(rec.Attr) ? pkFolder : pkFile;
    else if (IsDriveLetterOnly(s))
        // A drive root cannot be found by a search for itself; whether the
        // drive is there is for the caller to find out.
        kind = pkDrive;
    FileLastError = static_cast<uint32_t>(error);
    return kind;
}
