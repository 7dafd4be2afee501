#include "Packages/Files/StrProc.h"

#include "Packages/Files/Locale.h"
#include "system/Unicode.h"

#include <algorithm>
#include <cstdio>

namespace {

template <typename Char> bool IsSeparator(Char c) {
    return c == '\\' || c == ':';
}

template <typename String> size_t NamePosition(const String& s) {
    size_t i = s.size();
    while (i > 0 && !IsSeparator(s[i - 1]))
        --i;
    return i;
}

template <typename String> void RemoveExtension(String& s) {
    const size_t dot = s.rfind('.');
    if (dot != String::npos && dot >= NamePosition(s))
        s.erase(dot);
}

bool IsLatinLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool StartsWithTwoBackslashes(std::u16string_view s) {
    return s.size() >= 2 && s[0] == u'\\' && s[1] == u'\\';
}

// The drive part of a path: "X:" or "\\server\share"; empty otherwise.
template <typename String> String DrivePart(const String& s) {
    if (s.size() >= 2 && s[1] == ':')
        return s.substr(0, 2);
    if (s.size() >= 2 && s[0] == '\\' && s[1] == '\\') {
        const size_t server = s.find('\\', 2);
        if (server == String::npos)
            return s;
        const size_t share = s.find('\\', server + 1);
        return share == String::npos ? s : s.substr(0, share);
    }
    return {};
}

// Length of the part of an absolute path that ".." cannot climb above:
// "X:\" or "\\server\share\" (the whole path when it is no longer than
// that); 0 for other paths.
size_t ClimbLimit(const std::u16string& path) {
    if (IsDriveRooted(path))
        return 3;
    if (!StartsWithTwoBackslashes(path))
        return 0;
    const size_t server = path.find(u'\\', 2);
    const size_t share = server == std::u16string::npos ? server : path.find(u'\\', server + 1);
    return share == std::u16string::npos ? path.size() : share + 1;
}

// Resolves "." and ".." elements and drops empty ones (doubled
// separators) behind the root of an absolute path; a trailing backslash
// stays. Relative paths come back unchanged.
std::u16string ResolveElements(const std::u16string& path) {
    const size_t root = ClimbLimit(path);
    if (root == 0 || root == path.size())
        return path;
    std::vector<std::u16string_view> kept;
    const std::u16string_view rest = std::u16string_view(path).substr(root);
    size_t start = 0;
    while (start <= rest.size()) {
        const size_t end = std::min(rest.find(u'\\', start), rest.size());
        const std::u16string_view element = rest.substr(start, end - start);
        if (element == u"..") {
            if (!kept.empty())
                kept.pop_back();
        } else if (!element.empty() && element != u".") {
            kept.push_back(element);
        }
        start = end + 1;
    }
    std::u16string result = path.substr(0, root);
    for (size_t i = 0; i < kept.size(); ++i) {
        if (i > 0)
            result += u'\\';
        result += kept[i];
    }
    if (path.back() == u'\\' && !kept.empty())
        result += u'\\';
    return result;
}

template <typename Predicate> int FirstIndex(const TPathList& list, Predicate matches) {
    for (size_t i = 0; i < list.size(); ++i)
        if (matches(IncludeTrailingBackslashW(list[i])))
            return static_cast<int>(i);
    return -1;
}

template <typename Predicate> int LastIndex(const TPathList& list, Predicate matches) {
    for (size_t i = list.size(); i > 0; --i)
        if (matches(IncludeTrailingBackslashW(list[i - 1])))
            return static_cast<int>(i - 1);
    return -1;
}

// Cuts the first element off s (leading backslashes dropped) and returns it.
template <typename String> String CutFirstElement(String& s) {
    const size_t start = s.find_first_not_of('\\');
    s.erase(0, start == String::npos ? s.size() : start);
    const size_t end = s.find('\\');
    String element = s.substr(0, end);
    s.erase(0, end == String::npos ? s.size() : end);
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

std::u16string ExtractFileNameW(const std::u16string& s) {
    return s.substr(NamePosition(s));
}

void RemoveFileExtW(std::u16string& s) {
    RemoveExtension(s);
}

std::u16string PathRootW(const std::u16string& s) {
    if (s.size() < 2)
        return {};
    if (IsLatinLetter(s[0]) && s[1] == u':')
        return s.substr(0, 2) + u'\\';
    if (!StartsWithTwoBackslashes(s))
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

std::u16string FirstElementBelow(const std::u16string& path, const std::u16string& base) {
    const std::u16string full = IncludeTrailingBackslashW(path);
    const size_t baseLength = std::min(IncludeTrailingBackslashW(base).size(), full.size());
    const std::u16string rest = full.substr(baseLength);
    return rest.substr(0, rest.find(u'\\'));
}

bool IsDriveRooted(const std::u16string& s) {
    return s.size() >= 3 && IsLatinLetter(s[0]) && s[1] == u':' && s[2] == u'\\';
}

uint64_t FoldedPathKey(const std::u16string& path) {
    uint64_t hash = 0xCBF29CE484222325u;
    for (const char16_t unit : WideLowerCase(path))
        hash = (hash ^ unit) * 0x100000001B3u;
    return hash;
}

bool SamePathText(const std::u16string& a, const std::u16string& b) {
    return a.size() == b.size() && WideLowerCase(a) == WideLowerCase(b);
}

bool IsPathInside(const std::u16string& child, const std::u16string& parent) {
    const std::u16string c = ExcludeTrailingBackslashW(child);
    const std::u16string p = ExcludeTrailingBackslashW(parent);
    if (c.empty() || c.size() <= p.size() || c[p.size()] != u'\\')
        return false;
    return SamePathText(c.substr(0, p.size()), p);
}

int IndexOfSamePath(const TPathList& list, const std::u16string& path) {
    const std::u16string p = IncludeTrailingBackslashW(path);
    return FirstIndex(list, [&](const std::u16string& entry) { return SamePathText(entry, p); });
}

int LastIndexOfContaining(const TPathList& list, const std::u16string& path) {
    const std::u16string p = IncludeTrailingBackslashW(path);
    return LastIndex(list, [&](const std::u16string& entry) {
        return IsPathInside(p, entry) || SamePathText(entry, p);
    });
}

void RemoveContained(TPathList& list, const std::u16string& path) {
    const std::u16string p = IncludeTrailingBackslashW(path);
    std::erase_if(list, [&](const std::u16string& entry) {
        const std::u16string e = IncludeTrailingBackslashW(entry);
        return SamePathText(e, p) || IsPathInside(e, p);
    });
}

std::u16string ExpandPathAgainst(std::u16string path, const std::u16string& currentDir) {
    if (path.empty())
        return currentDir;
    if (path == u"\\\\")
        return path;
    // Blanks in front would make an absolute path look relative.
    const size_t start = path.find_first_not_of(u' ');
    path.erase(0, start == std::u16string::npos ? path.size() : start);
    const bool driveOnly = path.size() == 2 && IsLatinLetter(path[0]) && path[1] == u':';
    if (driveOnly)
        return path;
    const bool unc = path.size() >= 3 && StartsWithTwoBackslashes(path) && path[2] != u'\\';
    if (!unc && !IsDriveRooted(path)) {
        std::u16string base = IncludeTrailingBackslashW(currentDir);
        if (!path.empty() && path[0] == u'\\') {
            base.resize(ClimbLimit(base));
            path.erase(0, 1);
        }
        path = base + path;
    }
    // What the user means by "." and "..": the long-path prefix would hand
    // them to the file system unresolved.
    path = ResolveElements(path);
    if (path.size() > ClimbLimit(path))
        path = ExcludeTrailingBackslashW(path);
    return path;
}

std::u16string LongPathForm(const std::u16string& path) {
    if (path.size() >= 4 && StartsWithTwoBackslashes(path) &&
        (path[2] == u'?' || path[2] == u'.') && path[3] == u'\\')
        return path;
    std::u16string result = path;
    std::replace(result.begin(), result.end(), u'/', u'\\');
    if (StartsWithTwoBackslashes(result))
        return u"\\\\?\\UNC\\" + ResolveElements(result).substr(2);
    if (IsDriveRooted(result))
        return u"\\\\?\\" + ResolveElements(result);
    return path;
}

std::u16string RelativeToFolder(const std::u16string& folder, const std::u16string& path) {
    const std::u16string prefix = IncludeTrailingBackslashW(folder);
    // Paths are compared ignoring case everywhere; a folder typed in other
    // letter case than the file system's must still give the rest.
    if (path.size() >= prefix.size() && SamePathText(path.substr(0, prefix.size()), prefix))
        return path.substr(prefix.size());
    return SamePathText(folder, path) ? folder : std::u16string();
}

bool IsValidPathSyntax(const std::u16string& path) {
    std::u16string s = path;
    if (s.size() > 2 && (s[1] != u':' || IsDriveRooted(s)))
        s.erase(0, DrivePart(s).size());
    if (s.empty())
        return false;
    for (size_t i = 0; i < s.size(); ++i) {
        if (std::u16string_view(u"\"*/:<>?|").find(s[i]) != std::u16string_view::npos)
            return false;
        if (s[i] == u'\\' && i > 0 && s[i - 1] == u'\\')
            return false;
    }
    return true;
}

std::u16string EllipsizeText(const std::u16string& s, int n) {
    return s.substr(0, static_cast<size_t>(n > 3 ? n - 3 : 0)) + u"...";
}

std::u16string ShortenPath(const std::u16string& path, int maxLen) {
    const int length = static_cast<int>(path.size());
    if (length <= maxLen)
        return path;
    const size_t namePos = NamePosition(path);
    const std::u16string name = path.substr(namePos);
    std::u16string dir = path.substr(0, namePos);
    const int nameLength = static_cast<int>(name.size());
    if (nameLength >= maxLen) {
        if (!dir.empty())
            return u"...\\" + EllipsizeText(name, maxLen - 4);
        return nameLength <= maxLen ? name : EllipsizeText(name, maxLen);
    }
    std::u16string drive = DrivePart(dir);
    dir.erase(0, drive.size());
    if (!drive.empty())
        drive += u'\\';
    if (static_cast<int>(drive.size()) + 5 + nameLength > maxLen)
        return u"...\\" + EllipsizeText(name, maxLen - 4);
    std::u16string result = drive;
    std::u16string element = CutFirstElement(dir);
    while (static_cast<int>(result.size() + element.size()) + nameLength + 4 < maxLen) {
        result += element + u"\\";
        element = CutFirstElement(dir);
    }
    if (!result.empty() && result.back() != u'\\')
        result += u'\\';
    const int used = static_cast<int>(result.size()) + nameLength;
    if (maxLen - 4 > used)
        return result + element.substr(0, static_cast<size_t>(maxLen - 4 - used)) + u"...\\" + name;
    return result + u"...\\" + name;
}

std::string FormatFileSize(int64_t size) {
    const double bytes = static_cast<double>(size);
    double value = bytes / 1024.0;
    const char* unit = " Kb";
    if (bytes / 1048576.0 > 1) {
        value = bytes / 1048576.0;
        unit = " Mb";
        if (bytes / 1073741824.0 > 1) {
            value = bytes / 1073741824.0;
            unit = " Gb";
        }
    }
    char number[64];
    std::snprintf(number, sizeof number, "%.2f", value);
    std::string text = number;
    const size_t point = text.find('.');
    if (point != std::string::npos)
        text.replace(point, 1, UserDecimalSeparator());
    return text + unit;
}
