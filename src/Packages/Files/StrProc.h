// Path and string helpers that work on text only. A backslash is the only
// folder separator and a colon ends a drive part. Wide paths are UTF-16;
// the display functions take ANSI text.
#pragma once

#include <string>

// S with one trailing "\" (an empty S gives "\").
std::u16string IncludeTrailingBackslashW(const std::u16string& s);
// S without its last character when that is "\" (one backslash only).
std::u16string ExcludeTrailingBackslashW(const std::u16string& s);
// S up to, not including, its last "\" or ":" (C:\a\b.txt gives C:\a).
std::u16string ExtractFileDirW(const std::u16string& s);
// The part of S after its last "\" or ":".
std::u16string ExtractFileNameW(const std::u16string& s);
// Root of S with trailing backslash (X:\ or \\server\share\), or empty.
std::u16string PathRootW(const std::u16string& s);
// Parent folder with trailing backslash, never above the root.
std::u16string ExtractParentDirW(const std::u16string& s);
// Cuts the first element off s and returns it (leading backslashes dropped).
std::u16string NextPathElement(std::u16string& s);
// Path made absolute against currentDir (see ExpandPathW in FileFunc).
std::u16string ExpandPathAgainst(std::u16string path, const std::u16string& currentDir);

// The first n - 3 characters of s followed by "...".
std::string EllipsizeText(const std::string& s, int n);
// Path shortened to at most maxLen characters with "...\" standing for the
// folders left out (keeps the drive, leading folders and the name).
std::string ShortenPath(const std::string& path, int maxLen);
