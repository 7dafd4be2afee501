// Checksum lists as text in memory: the entries a list holds, and the same
// list with new digests and new entries, written in the list's own form
// (line ends, separators, letter case, encoding), so that a list another
// tool wrote stays readable by that tool after an update.
// Portable: the engine reads and writes the files, this unit only the bytes.
#pragma once

#include "engine/ListParser.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One entry of a list, in the order of its lines.
struct TListEntry {
    std::u16string Path; // as the parser gives it ("/" already turned into "\")
    uint8_t Digest[16];
};

// A list's entries parsed from its bytes in memory; Info tells how parsing
// ended (any result but fprSuccess means the list did not load cleanly).
struct TListEntries {
    TFileParseInfo Info;
    std::vector<TListEntry> Entries;
};

// Entry k is the k-th entry line of text: a maximal run of bytes other than
// CR and LF that is not empty and does not begin with ";" (the byte-order
// mark not counted).
TListEntries ParseListText(std::string_view text);

// A new digest for the entry with this index in TListEntries::Entries.
struct TEntryChange {
    size_t Entry;
    uint8_t Digest[16];
};

// An entry to append: its path relative to the list's folder, "\" between folders.
struct TNewEntry {
    std::u16string Path;
    uint8_t Digest[16];
};

// text: a list that parsed with fprSuccess. Returns the list with the
// changed digests written over the old ones and the new entries appended,
// written as the list's own lines are; every other byte stays as it was,
// unless a new name needs UTF-8 and the list is not: then the list gets a
// byte-order mark (and a list in the ANSI code page becomes UTF-8). A change
// of an entry the list does not have raises std::out_of_range.
std::string UpdateListText(std::string_view text, const std::vector<TEntryChange>& changes,
                           const std::vector<TNewEntry>& added);
