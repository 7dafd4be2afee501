#include "engine/ListText.h"
#include "engine/LxHash.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Two digests in either case, and one without letters.
const std::string A = "900150983CD24FB0D6963F7D28E17F72";
const std::string a = "900150983cd24fb0d6963f7d28e17f72";
const std::string B = "D41D8CD98F00B204E9800998ECF8427E";
const std::string b = "d41d8cd98f00b204e9800998ecf8427e";
const std::string D = "01234567890123456789012345678901";
const std::string kMark = "\xEF\xBB\xBF";

// Entries as path and upper-case digest.
using TEntryList = std::vector<std::pair<std::u16string, std::string>>;

TEntryList Listed(const TListEntries& list) {
    TEntryList entries;
    for (const TListEntry& entry : list.Entries)
        entries.emplace_back(entry.Path, BinToHex(entry.Digest, 16));
    return entries;
}

// Each row's list is updated, compared byte for byte, and read again: the
// entries must be the old ones with the changes made at their indexes, then
// the new ones (so line k of the update is entry k of the parser).
TEST(ListText, AnUpdateKeepsTheListsFormAndReadsBackAsWhatItWrote) {
    const struct {
        std::string List;
        std::vector<std::pair<size_t, std::string>> Changes;
        TEntryList Added;
        std::string Expected;
    } rows[] = {
        // Our form; md5sum's text form, where a name that begins with a blank takes " *".
        {";c\r\n" + A + " *s\\a\r\n" + A + " *b\r\n",
         {{1, b}},
         {{u"t\\c", a}},
         ";c\r\n" + A + " *s\\a\r\n" + B + " *b\r\n" + A + " *t\\c\r\n"},
        {a + "  s/a\n" + a + "  b\n",
         {{0, B}},
         {{u"t\\\u00FC", A}, {u" d", A}},
         b + "  s/a\n" + a + "  b\n" + a + "  t/\xC3\xBC\n" + a + " * d\n"},
        // Tag lines; case and folder mark as the entries show, whatever the line end.
        {"MD5 (s/a) = " + a + "\r\nMD5 (b) = " + a + "\r\n",
         {{1, B}},
         {{u"t\\c", B}},
         "MD5 (s/a) = " + a + "\r\nMD5 (b) = " + b + "\r\nMD5 (t/c) = " + b + "\r\n"},
        // Comments (one that looks like an entry), blank lines, lone CRs (the
        // first line end), the mark, no last line end.
        {kMark + ";c\r\r\n" + A + " *a\r;" + A + "\n\n" + a + " *b\r\n" + A + " *\xC3\xA9",
         {{1, B}, {2, B}},
         {{u"c", D}},
         kMark + ";c\r\r\n" + A + " *a\r;" + A + "\n\n" + b + " *b\r\n" + B + " *\xC3\xA9\r" + D +
             " *c\r"},
        // Blanks among the digits stay; a digest without letters takes the list's case.
        {A + " *a\r\n" + "90015098 3cd24fb0 d6963f7d 28e17f72  *b\r\n" + D + " *c\r\n",
         {{1, B}, {2, b}},
         {},
         A + " *a\r\n" + "d41d8cd9 8f00b204 e9800998 ecf8427e  *b\r\n" + B + " *c\r\n"},
        // Names: UTF-8 in a list that is; ANSI in an ASCII list when they fit
        // and would not read as UTF-8, else UTF-8 with the mark; an ANSI list
        // becomes UTF-8 rather than lose a name.
        {A + " *\xC3\xA9\r\n", {}, {{u"\u00FC", A}}, A + " *\xC3\xA9\r\n" + A + " *\xC3\xBC\r\n"},
        {A + " *a\r\n", {}, {{u"\u00E9", A}}, A + " *a\r\n" + A + " *\xE9\r\n"},
        {A + " *a\r\n", {}, {{u"\u4E2D", A}}, kMark + A + " *a\r\n" + A + " *\xE4\xB8\xAD\r\n"},
        {A + " *a\r\n",
         {},
         {{u"\u00C3\u00A9", A}},
         kMark + A + " *a\r\n" + A + " *\xC3\x83\xC2\xA9\r\n"},
        {";\xE9\r\n" + A + " *caf\xE9\r\n",
         {},
         {{u"\u00FC", A}, {u"\u4E2D", A}},
         kMark + ";\xC3\xA9\r\n" + A + " *caf\xC3\xA9\r\n" + A + " *\xC3\xBC\r\n" + A +
             " *\xE4\xB8\xAD\r\n"},
        {";\xE9\r\n" + A + " *caf\xE9", {}, {}, ";\xE9\r\n" + A + " *caf\xE9"},
        // Without entries: the form follows the line end.
        {"", {}, {{u"s\\a", a}}, A + " *s\\a\r\n"},
        {";c\n", {}, {{u"s\\a", a}}, ";c\n" + a + " *s/a\n"},
    };
    for (const auto& row : rows) {
        const TListEntries before = ParseListText(row.List);
        ASSERT_EQ(before.Info.Result, fprSuccess) << row.List;
        TEntryList expected = Listed(before);
        std::vector<TEntryChange> changes;
        for (const auto& [entry, digest] : row.Changes) {
            changes.push_back({entry, {}});
            HexToBin(digest, changes.back().Digest);
            expected[entry].second = BinToHex(changes.back().Digest, 16);
        }
        std::vector<TNewEntry> added;
        for (const auto& [path, digest] : row.Added) {
            added.push_back({path, {}});
            HexToBin(digest, added.back().Digest);
            expected.emplace_back(path, BinToHex(added.back().Digest, 16));
        }
        const std::string updated = UpdateListText(row.List, changes, added);
        EXPECT_EQ(updated, row.Expected) << row.List;
        const TListEntries after = ParseListText(updated);
        EXPECT_EQ(after.Info.Result, fprSuccess) << updated;
        EXPECT_EQ(Listed(after), expected) << updated;
    }
}

TEST(ListText, AListThatDoesNotParseSaysWhereItStopped) {
    const TListEntries list = ParseListText(A + " *a\r\n" + A + " x\r\n");
    EXPECT_EQ(list.Info.Result, fprWrongSymbol);
    EXPECT_EQ(list.Info.Line, 2u);
    EXPECT_EQ(Listed(list), TEntryList({{u"a", A}}));
}

} // namespace
