#include "engine/ListParser.h"
#include "engine/LxHash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// The digest of "abc", and the same in lower case as md5sum writes it.
const std::string H = "900150983CD24FB0D6963F7D28E17F72";
const std::string h = "900150983cd24fb0d6963f7d28e17f72";
const std::string kMark = "\xEF\xBB\xBF";

class TCollector final : public TListParser {
public:
    std::vector<std::u16string> Paths;
    std::vector<std::string> Digests;

    // Feeds list in pieces of chunk bytes, as the loader does (with fails,
    // reading fails after the last piece), and sums up the outcome as
    // "result line:path|path...".
    std::u16string Parse(const std::string& list, size_t chunk, bool probe = false,
                         bool fails = false) {
        list_ = &list;
        fails_ = fails;
        InitParser(probe);
        const auto* bytes = reinterpret_cast<const uint8_t*>(list.data());
        bool more = true;
        for (size_t at = 0; more && at < list.size(); at += chunk)
            more = ParseChunk(bytes + at, std::min(chunk, list.size() - at));
        if (more && fails)
            ReadFailed(23);
        if (more)
            FinishParse();
        std::string head = std::to_string(Info().Result) + " " + std::to_string(Info().Line) + ":";
        std::u16string outcome(head.begin(), head.end());
        for (const std::u16string& path : Paths)
            outcome += (&path == Paths.data() ? u"" : u"|") + path;
        return outcome;
    }

protected:
    void AddEntry(const std::u16string& path, const uint8_t (&digest)[16]) override {
        Paths.push_back(path);
        Digests.push_back(BinToHex(digest, 16));
    }
    // The whole list is looked at, as the loader reads it again; a list
    // that fails to read fails here too.
    uint32_t CheckUtf8(bool& utf8) override {
        TUtf8Check check;
        check.Put(reinterpret_cast<const uint8_t*>(list_->data()), list_->size());
        utf8 = check.WellFormed();
        return fails_ ? 23 : 0;
    }

private:
    const std::string* list_ = nullptr;
    bool fails_ = false;
};

TEST(ListParser, EveryCaseGivesItsResultLineAndEntriesInPiecesOfAnySize) {
    const struct {
        std::string List;
        std::u16string Outcome;
        bool Probe = false;
        bool ReadFails = false;
    } cases[] = {
        {"", u"0 1:"},
        // Comments, blank lines, CR or LF alone, blanks in names, no last line end.
        {";c\r\n\r\n" + H + " *a\r" + H + "  *b c \n" + H + " *s\\z", u"0 4:a|b c |s\\z"},
        {H + " *a\r\n " + H + " *b\r\n", u"2 2:a"},
        {H + " x.txt\r\n", u"2 1:"},
        {H + " a.txt\r\n", u"1 1:"},
        {H.substr(1) + " *a\r\n", u"1 1:"},
        {H + "0 *a\r\n", u"1 1:"},
        {H + "\r\n", u"2 2:"},
        {H, u"2 1:"},
        {";c\n\nZZ\n", u"2 2:"},
        // A CR that ends one piece and the LF that begins the next are one line end.
        {";" + std::string(4094, 'x') + "\r\nZZ\r\n", u"2 2:"},
        // A probe: a list is a file whose first entry line parses, or one
        // without entries; anything else is some other file.
        {"Hello world\r\n", u"2 1:", true},
        {"", u"0 1:", true},
        {";c\r\n;d", u"0 2:", true},
        {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", u"2 1:", true},
        {H + " *a\r\nnot a list\r\n", u"0 2:", true},
        {H + " *a\r\nnot a list\r\n", u"2 2:a"},
        {H + std::string(" *a\0b?*\x01\n", 9), std::u16string(u"0 2:a\0b?*\x01", 10)},
        // UTF-8 with or without the mark; ANSI when any byte of the list
        // (a comment's too) is no UTF-8.
        {H + " *\xC3\xA9\r\n", u"0 2:\u00E9"},
        {kMark + H + " *\xC3\xA9\r\n", u"0 2:\u00E9"},
        {";\xE9\n" + H + " *\xC3\xA9\r\n", u"0 3:\u00C3\u00A9"},
        {H + " *a\n" + H + " *\xC3\xA9\n" + H + " *\xE9\n", u"0 4:a|\u00C3\u00A9|\u00E9"},
        {H + " *a\xE2\x82", u"0 1:a\u00E2\u201A"},
        {kMark.substr(0, 2) + H + " *a\r\n", u"2 1:"},
        {kMark.substr(0, 2), u"2 1:"},
        // md5sum: text and binary mode, "/" between folders.
        {h + "  a\n" + h + "  s/b\n" + h + " *c\n" + h + "  *d\n", u"0 5:a|s\\b|c|d"},
        {h + "   x.txt\n", u"2 1:"},
        {h + "   a.txt\n", u"1 1:"},
        {h + "  \n", u"2 2:"},
        {h.substr(0, 16) + " " + h.substr(16) + "  x.txt\n", u"2 1:"},
        // Tag lines: the name ends at the last ") = ".
        {"MD5 (a) = " + h + "\nMD5 (s/b) = x) = " + H + "\nMD5 () = " + h, u"0 3:a|s\\b) = x|"},
        {"MD5 (a) = " + h + "0\n", u"1 2:"},
        {"MD5 (a) " + h + "\n", u"2 2:"},
        {"MD5 (a) = " + h + " \n", u"2 2:"},
        {"MD5(a) = " + h + "\n", u"2 1:"},
        {"MD5 (", u"2 1:"},
        {"MD5 (a) = " + h + "\nnot a list\n", u"0 2:", true},
        {"MD5 (a) = x\n", u"2 2:", true},
        // A read failure is no end: a name cut short is no entry.
        {H + " *a\r\n" + H + " *cut", u"3 2:a", false, true},
        {H + " *a\r\n" + H + " *\xC3\xA9\r\n", u"3 2:a", false, true},
    };
    for (const auto& c : cases)
        for (size_t chunk : {size_t(1), size_t(3), size_t(4096)})
            EXPECT_EQ(TCollector().Parse(c.List, chunk, c.Probe, c.ReadFails), c.Outcome)
                << c.List << ", in pieces of " << chunk;
}

TEST(ListParser, ANameLongerThanTheLongestPathStopsOnItsLine) {
    const std::string longest(kMaxPathUnits, 'n');
    EXPECT_EQ(TCollector().Parse(H + " *" + longest, 4096).size(), 4 + kMaxPathUnits);
    EXPECT_EQ(TCollector().Parse(";\n" + H + " *" + longest + "n\n", 4096), u"2 2:");
    // Counted in UTF-16 units: three bytes of UTF-8 are one.
    std::string euros;
    for (size_t i = 0; i < kMaxPathUnits; ++i)
        euros += "\xE2\x82\xAC";
    EXPECT_EQ(TCollector().Parse(kMark + H + " *" + euros, 4096).size(), 4 + kMaxPathUnits);
    EXPECT_EQ(TCollector().Parse(kMark + H + " *" + euros + "\xE2", 4096), u"2 1:");
}

TEST(EntryFilter, ModesAndMasksKeepTheirEntriesOnly) {
    const struct {
        uint8_t Mode;
        const char16_t* Filter;
        const char* Include;
        const char* Exclude;
        const char16_t* Path;
        bool Kept;
    } rows[] = {
        {lmAll, u"", "", "", u"C:\\D\\s\\a.txt", true},
        {lmFile, u"c:\\d\\S\\a.txt", "", "", u"C:\\D\\s\\a.txt", true},
        {lmFile, u"C:\\D\\s\\a.txt", "", "", u"C:\\D\\a.txt", false},
        {lmProbe, u"", "", "", u"C:\\D\\a.txt", false},
        {lmAll, u"", "*.txt", "", u"C:\\D\\s\\a.doc", false},
        {lmAll, u"", "", "*.doc", u"C:\\D\\s\\a.doc", false},
        {lmAll, u"", "*.txt", "*.doc", u"C:\\D\\s\\a.txt", true},
    };
    for (const auto& r : rows) {
        const TEntryFilter filter{r.Mode, r.Filter, r.Include, r.Exclude};
        EXPECT_EQ(filter.Accepts(r.Path), r.Kept) << &r - rows;
    }
    EXPECT_TRUE(CanNameFile(u"s\\a b.txt"));
    for (const std::u16string& name : {std::u16string(), std::u16string(u"a\0b", 3)})
        EXPECT_FALSE(CanNameFile(name)) << name.size();
}

// Entries of a list in C:\D\s: "." and ".." resolved, rooted ones as they
// are; only these are resolved, the usual entry is joined as it stands.
TEST(ResolveEntry, LooksEntriesUpWhereTheyPoint) {
    const struct {
        const char16_t* Entry;
        bool Resolved;
        const char16_t* Full;
    } rows[] = {
        {u"a.txt", false, u"C:\\D\\s\\a.txt"},
        {u" a\\..b\\.c", false, u"C:\\D\\s\\ a\\..b\\.c"},
        {u".\\a.txt", true, u"C:\\D\\s\\a.txt"},
        {u"t\\.\\a.txt", true, u"C:\\D\\s\\t\\a.txt"},
        {u"..\\a.txt", true, u"C:\\D\\a.txt"},
        {u"t\\..", true, u"C:\\D\\s"},
        {u"..\\..\\..\\..\\x\\a.txt", true, u"C:\\x\\a.txt"},
        {u"E:\\x\\..\\a.txt", true, u"E:\\a.txt"},
        {u"\\a.txt", true, u"C:\\a.txt"},
        {u"\\\\srv\\sh\\x\\..\\a.txt", true, u"\\\\srv\\sh\\a.txt"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(NeedsResolving(r.Entry), r.Resolved) << &r - rows;
        EXPECT_EQ(ResolveEntry(u"C:\\D\\s\\", r.Entry), r.Full) << &r - rows;
    }
}

} // namespace
