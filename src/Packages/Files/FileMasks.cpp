#include "Packages/Files/FileMasks.h"

#include "system/AnsiText.h"

namespace {

// Position of the last dot, 1-based; 0 when there is none.
size_t LastDot(std::string_view s) {
    const size_t dot = s.rfind('.');
    return dot == std::string_view::npos ? 0 : dot + 1;
}

// An extension of a mask accepts a name without one when it is empty or
// begins with "*".
bool AcceptsEmpty(std::string_view extension) {
    return extension.empty() || extension[0] == '*';
}

bool MatchesExtendedMask(std::string_view name, size_t dn, std::string_view mask, size_t dm) {
    const std::string_view maskExtension = mask.substr(dm);
    if (dn == 0)
        return WildcardMatch(name, mask) && AcceptsEmpty(maskExtension);
    const bool nameEndsWithDot = dn == name.size();
    if (dm == 1)
        return nameEndsWithDot ? AcceptsEmpty(maskExtension)
                               : WildcardMatch(name.substr(dn), maskExtension);
    if (!WildcardMatch(name.substr(0, dn - 1), mask.substr(0, dm - 1)))
        return false;
    return nameEndsWithDot ? AcceptsEmpty(maskExtension)
                           : WildcardMatch(name.substr(dn), maskExtension);
}

// MatchesMask for a name and a mask that are lower-cased already.
bool MatchesLoweredMask(std::string_view n, std::string_view m) {
    if (m.empty())
        return true;
    if (n.empty())
        return false;
    const size_t dn = LastDot(n);
    const size_t dm = LastDot(m);
    if (dn == 1)
        return false;
    if (dm == 0) {
        if (dn == 0)
            return WildcardMatch(n, m);
        return m.back() == '*' && WildcardMatch(n.substr(0, dn - 1), m);
    }
    if (dm == m.size())
        return dn == n.size() && WildcardMatch(n.substr(0, dn - 1), m.substr(0, dm - 1));
    return MatchesExtendedMask(n, dn, m, dm);
}

} // namespace

std::string LowerCaseBytes(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 0x41 && b <= 0x5A) || (b >= 0xC0 && b <= 0xDF))
            c = static_cast<char>(b + 0x20);
    }
    return result;
}

bool WildcardMatch(std::string_view name, std::string_view mask) {
    if (name.empty())
        return mask.empty() || mask[0] == '*';
    for (size_t i = 0;; ++i) {
        const bool nameEnded = i == name.size();
        if (i == mask.size())
            return nameEnded;
        if (mask[i] == '*')
            return true;
        if (nameEnded || (mask[i] != '?' && mask[i] != name[i]))
            return false;
    }
}

bool MatchesMask(std::string_view name, std::string_view mask) {
    return MatchesLoweredMask(LowerCaseBytes(name), LowerCaseBytes(mask));
}

bool MatchesMaskList(std::string_view maskList, std::string_view name) {
    if (maskList.empty())
        return true;
    // Lower-cased once for all the masks of the list.
    const std::string list = LowerCaseBytes(maskList);
    const std::string lowered = LowerCaseBytes(name);
    const std::string_view masks = list;
    size_t start = 0;
    for (;;) {
        const size_t end = masks.find(';', start);
        if (MatchesLoweredMask(lowered, masks.substr(start, end - start)))
            return true;
        if (end == std::string_view::npos || end + 1 == masks.size())
            return false;
        start = end + 1;
    }
}

bool SplitMaskList(std::string_view maskList, std::vector<std::string>& outList) {
    outList.clear();
    for (;;) {
        const size_t end = maskList.find(';');
        if (end == std::string_view::npos)
            break;
        if (end >= 2)
            outList.emplace_back(maskList.substr(0, end));
        maskList.remove_prefix(end + 1);
    }
    if (!maskList.empty())
        outList.emplace_back(maskList);
    return !outList.empty();
}

bool IsFileFilteredOut(const std::u16string& path, std::string_view includeMasks,
                       std::string_view excludeMasks, const TPathList& includedFiles,
                       const TPathList& excludedFiles) {
    const std::string name = WideToAnsi(ExtractFileNameW(path));
    const bool included = IndexOfSamePath(includedFiles, path) >= 0;
    if (!MatchesMaskList(includeMasks, name))
        return !included;
    if (IndexOfSamePath(excludedFiles, path) >= 0)
        return true;
    return !excludeMasks.empty() && MatchesMaskList(excludeMasks, name) && !included;
}
