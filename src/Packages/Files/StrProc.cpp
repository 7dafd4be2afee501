#include "Packages/Files/StrProc.h"

namespace {

template <typename Char> bool IsSeparator(Char c) { return c == '\\' || c == ':'; }

template <typename String> size_t NamePosition(const String& s) {
    size_t i = s.size();
    while (i > 0 && !IsSeparator(s[i - 1]))
        --i;
    return i;
}

bool IsLatinLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// The drive part of an ANSI path: "X:" or "\\server\share"; empty otherwise.
std::string DrivePart(const std::string& s) {
    if (s.size() >= 2 && s[1] == ':')
        return s.substr(0, 2);
    if (s.size() >= 2 && s[0] == '\\' && s[1] == '\\') {
        const size_t server = s.find('\\', 2);
        if (server == std::string::npos)
            return s;
        const size_t share = s.find('\\', server + 1);
        return share == std::string::npos ? s : s.substr(0, share);
    }
    return {};
}

std::string NextElement(std::string& s) {
    const size_t start = s.find_first_not_of('\\');
    s.erase(0, start == std::string::npos ? s.size() : start);
    const size_t end = s.find('\\');
    std::string element = s.substr(0, end);
    s.erase(0, end == std::string::npos ? s.size() : end);
    return element;
}

} // namespace

std::u16string IncludeTrailingBackslashW(const std::u16string& s) {
    return !s.empty() && s.back() == u'\\' ? s : s + u'\\';
}

std::u16string ExcludeTrailingBackslashW(const std::u16string& s) {
    return !s.empty() && s.back() == u'\\' ? s.substr(0, s.size() - 1) : s;
}

std::u16string ExtractFileDirW(const std::u16string& s) {
    const size_t pos = NamePosition(s);
    return pos == 0 ? std::u16string() : s.substr(0, pos - 1);
}

std::u16string ExtractFileNameW(const std::u16string& s) { return s.substr(NamePosition(s)); }

std::u16string PathRootW(const std::u16string& s) {
    if (s.size() < 2)
        return {};
    if (IsLatinLetter(s[0]) && s[1] == u':')
        return s.substr(0, 2) + u'\\';
    if (s[0] != u'\\' || s[1] != u'\\')
        return {};
    std::u16string root = u"\\\\";
    int separators = 0;
    // The last character is never looked at: \\srv\sh\ has no root.
    for (size_t i = 2; i + 1 < s.size() && separators < 2; ++i) {
        root += s[i];
        if (s[i] == u'\\')
            ++separators;
    }
    return separators == 2 ? root : std::u16string();
}

std::u16string ExtractParentDirW(const std::u16string& s) {
    if (s.empty())
        return {};
    const std::u16string root = PathRootW(s);
    const std::u16string t = ExcludeTrailingBackslashW(s);
    size_t stop = t.size();
    if (t.size() > root.size()) {
        while (stop > 0 && t[stop - 1] != u'\\')
            --stop;
    }
    return IncludeTrailingBackslashW(t.substr(0, stop));
}

std::u16string NextPathElement(std::u16string& s) {
    const size_t start = s.find_first_not_of(u'\\');
    s.erase(0, start == std::u16string::npos ? s.size() : start);
    const size_t end = s.find(u'\\');
    std::u16string element = s.substr(0, end);
    s.erase(0, end == std::u16string::npos ? s.size() : end);
    return element;
}

std::u16string ExpandPathAgainst(std::u16string path, const std::u16string& currentDir) {
    if (path.empty())
        return currentDir;
    if (path == u"\\\\")
        return path;
    const bool driveOnly = path.size() == 2 && IsLatinLetter(path[0]) && path[1] == u':';
    const bool unc = path.size() >= 3 && path[0] == u'\\' && path[1] == u'\\' && path[2] != u'\\';
    const bool driveRooted =
        path.size() >= 3 && IsLatinLetter(path[0]) && path[1] == u':' && path[2] == u'\\';
    if (driveOnly || unc || driveRooted) {
        const std::u16string root = PathRootW(path);
        const size_t driveLength = root.empty() ? path.size() : root.size() - 1;
        if (path.size() != driveLength + 1)
            path = ExcludeTrailingBackslashW(path);
        return path;
    }
    const size_t start = path.find_first_not_of(u' ');
    path.erase(0, start == std::u16string::npos ? path.size() : start);
    std::u16string base = IncludeTrailingBackslashW(currentDir);
    if (!path.empty() && path[0] == u'\\') {
        base = PathRootW(base);
        path.erase(0, 1);
    }
    while (path.size() > 2 && path.compare(0, 3, u"..\\") == 0) {
        path.erase(0, 3);
        base = ExtractParentDirW(base);
    }
    return base + path;
}

std::string EllipsizeText(const std::string& s, int n) {
    return s.substr(0, static_cast<size_t>(n > 3 ? n - 3 : 0)) + "...";
}

std::string ShortenPath(const std::string& path, int maxLen) {
    const int length = static_cast<int>(path.size());
    if (length <= maxLen)
        return path;
    const size_t namePos = NamePosition(path);
    const std::string name = path.substr(namePos);
    std::string dir = path.substr(0, namePos);
    const int nameLength = static_cast<int>(name.size());
    if (nameLength >= maxLen) {
        if (!dir.empty())
            return "...\\" + EllipsizeText(name, maxLen - 4);
        return nameLength <= maxLen ? name : EllipsizeText(name, maxLen);
    }
    std::string drive = DrivePart(dir);
    dir.erase(0, drive.size());
    if (!drive.empty())
        drive += '\\';
    if (static_cast<int>(drive.size()) + 5 + nameLength > maxLen)
        return "...\\" + EllipsizeText(name, maxLen - 4);
    std::string result = drive;
    std::string element = NextElement(dir);
    while (static_cast<int>(result.size() + element.size()) + nameLength + 4 < maxLen) {
        result += element + "\\";
        element = NextElement(dir);
    }
    if (!result.empty() && result.back() != '\\')
        result += '\\';
    const int used = static_cast<int>(result.size()) + nameLength;
    if (maxLen - 4 > used)
        return result + element.substr(0, static_cast<size_t>(maxLen - 4 - used)) + "...\\" + name;
    return result + "...\\" + name;
}
