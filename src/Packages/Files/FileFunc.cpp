#include "Packages/Files/FileFunc.h"

#include "Packages/Files/StrProc.h"

namespace {

constexpr uint32_t kErrorFileNotFound = 2;

// \\server\share is a share root; \\server and \\server\share\dir are not.
bool IsShareRoot(const std::u16string& s) {
    if (s.size() < 2 || s[0] != u'\\' || s[1] != u'\\')
        return false;
    std::u16string rest = s.substr(2);
    const size_t server = rest.find(u'\\');
    if (server == std::u16string::npos)
        return false;
    return rest.find(u'\\', server + 1) == std::u16string::npos;
}

} // namespace

void ExpandPathW(std::u16string& path) { path = ExpandPathAgainst(path, GetCurrentDirW()); }

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
    const bool shareRoot = IsShareRoot(s);
    if (shareRoot)
        s += u"\\*.*";
    TLxSearchRec rec;
    const int error = WideFindFirst(s, rec);
    TPathKind kind = pkNone;
    if (error == 0) {
        kind = shareRoot || (rec.Attr & FILE_ATTRIBUTE_DIRECTORY_BIT) ? pkFolder : pkFile;
    } else {
        const size_t rootLength = PathRootW(path).size();
        if (rootLength == path.size() || rootLength + 1 == path.size())
            kind = pkDrive;
    }
    WideFindClose(rec);
    FileLastError = static_cast<uint32_t>(error);
    return kind;
}
