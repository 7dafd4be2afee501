// Path and string helpers that work on text only. A backslash is the only
// folder separator and a colon ends a drive part; paths compare ignoring
// case. Wide paths are UTF-16; the display functions take ANSI text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A list of folder or file paths, as the scanner keeps them.
using TPathList = std::vector<std::u16string>;

// S with one trailing "\" (an empty S gives "\").
std::u16string IncludeTrailingBackslashW(const std::u16string& s);
// S without its last character when that is "\" (one backslash only).
std::u16string ExcludeTrailingBackslashW(const std::u16string& s);
// S up to, not including, its last "\" or ":" (C:\a\b.txt gives C:\a).
std::u16string ExtractFileDirW(const std::u16string& s);
// The part of S after its last "\" or ":".
std::u16string ExtractFileNameW(const std::u16string& s);
// Removes the extension and its dot (the part from the last "." after the
// last "\" or ":"), when there is one.
void RemoveFileExtW(std::u16string& s);
// Root of S with trailing backslash (X:\ or \\server\share\), or empty. The
// last character of a UNC path is not looked at: \\srv\sh\ has no root.
std::u16string PathRootW(const std::u16string& s);
// The first element of path below folder base (C:\a\b\c below C:\a is b);
// path is assumed to begin with base.
std::u16string FirstElementBelow(const std::u16string& path, const std::u16string& base);
// True when s begins with a Latin letter, ":" and "\".
bool IsDriveRooted(const std::u16string& s);

// True when a and b name the same path, ignoring case (the Unicode simple
// lower case, as the file system folds names). Trailing backslashes are not
// ignored.
bool SamePathText(const std::u16string& a, const std::u16string& b);
// A 64-bit hash (FNV-1a) of the path's folded form: paths that SamePathText
// takes for one have the same key.
uint64_t FoldedPathKey(const std::u16string& path);
// True when child lies strictly below folder parent (one trailing backslash
// on either is ignored): C:\Data\x is inside C:\data, C:\DataX\x is not.
bool IsPathInside(const std::u16string& child, const std::u16string& parent);

// Searches over a list of paths; entries and path are compared in their
// form with a trailing backslash. Each gives an index into list or -1.
// The first entry equal to path.
int IndexOfSamePath(const TPathList& list, const std::u16string& path);
// The last entry that contains path or equals it.
int LastIndexOfContaining(const TPathList& list, const std::u16string& path);
// Deletes every entry that equals path or lies inside it; the rest keep their order.
void RemoveContained(TPathList& list, const std::u16string& path);

// Path made absolute against currentDir. An empty path gives currentDir;
// "\\" stays as it is; "\a" is taken from the current drive's root. "." and
// ".." elements are resolved (never above the root), doubled separators
// collapse, and the result has no trailing backslash unless it is a root
// (C:\, \\server\share\).
std::u16string ExpandPathAgainst(std::u16string path, const std::u16string& currentDir);
// The form of path the wide file functions are given: an absolute
// path (X:\... or \\server\...) gets the long-path prefix ("\\?\" or
// "\\?\UNC\") and, since the prefix turns off the system's own clean-up,
// "/" becomes "\" and "." and ".." elements are resolved here. Other paths
// (relative, or already prefixed) are returned unchanged.
std::u16string LongPathForm(const std::u16string& path);
// The rest of path behind folder + "\" when path begins with that text
// (case-sensitive); folder itself when the two are the same path ignoring
// case; otherwise empty.
std::u16string RelativeToFolder(const std::u16string& folder, const std::u16string& path);
// Syntax test for a path the user typed: after its drive part (X: or
// \\server\share) something must remain, with none of " * / : < > ? | and
// no doubled backslash.
bool IsValidPathSyntax(const std::u16string& path);

// The first n - 3 characters of s followed by "...".
std::u16string EllipsizeText(const std::u16string& s, int n);
// Path shortened to at most maxLen characters (maxLen of 8 or more) with
// "...\" standing for the folders left out (keeps the drive, leading
// folders and the name).
std::u16string ShortenPath(const std::u16string& path, int maxLen);
// A byte count as text with two decimals, the user's decimal separator and
// the unit " Kb", " Mb" or " Gb" (Mb from just above 1 MiB, Gb likewise).
std::string FormatFileSize(int64_t size);
