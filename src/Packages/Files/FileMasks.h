// Wildcard masks of the old short-name kind: a name and a mask are each
// split at their last dot into a base and an extension, the halves are
// compared separately, "?" stands for one character and "*" for the whole
// rest of its half. Matching works on ANSI text and ignores case.
#pragma once

#include "Packages/Files/StrProc.h"

#include <string>
#include <string_view>
#include <vector>

// text with the bytes A-Z and 0xC0-0xDF lower-cased (0x20 added), the
// capital letters of the Latin and Cyrillic ANSI code pages.
std::string LowerCaseBytes(std::string_view text);

// name against mask with no special meaning of dots: "*" matches whatever
// is left, "?" any one character (not the end). Letter case counts.
bool WildcardMatch(std::string_view name, std::string_view mask);

// One file name (no folder part) against one mask, ignoring case. An empty
// mask matches every name; an empty name and names whose last dot is their
// first character (.profile, .) match no mask.
bool MatchesMask(std::string_view name, std::string_view mask);

// True when name matches a mask of maskList (masks separated by ";"). An
// empty list, or an empty mask inside it, matches every name; a ";" at the
// end adds no mask.
bool MatchesMaskList(std::string_view maskList, std::string_view name);

// Fills outList with the masks of maskList as written; pieces shorter than
// two characters in front of a ";" are dropped. True when a mask was added.
bool SplitMaskList(std::string_view maskList, std::vector<std::string>& outList);

// The scanner's filter: true when the file at path is left out. Its name
// must match includeMasks (an empty list matches all) and must not match
// excludeMasks; a path in includedFiles passes whatever the masks say,
// a path in excludedFiles fails whatever the include masks say.
bool IsFileFilteredOut(const std::u16string& path, std::string_view includeMasks,
                       std::string_view excludeMasks, const TPathList& includedFiles,
                       const TPathList& excludedFiles);
