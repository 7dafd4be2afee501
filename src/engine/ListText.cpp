#include "engine/ListText.h"

#include "engine/ListFormat.h"
#include "engine/LxHash.h"
#include "system/AnsiText.h"
#include "system/Utf8.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr std::string_view kLineEnds = "\r\n";

// Where the digits of an entry line's digest stand in the line.
using TDigits = std::array<size_t, kListDigestDigits>;

// What the list's bytes are: ASCII reads the same as ANSI and as UTF-8.
enum TCoding : uint8_t { tcAscii = 0, tcUtf8 = 1, tcAnsi = 2 };

// How the new names are written.
enum TNames : uint8_t {
    nmAnsi = 0,
    nmUtf8 = 1,
    nmUtf8Marked = 2, // and the text becomes UTF-8 with a byte-order mark
};

// How new lines are written, as the list's own lines show.
struct TListForm {
    std::string_view LineEnd;
    bool Tag = false;
    std::string_view Separator = kListEntrySeparator; // between digest and name
    bool Upper = true;
    char16_t FolderMark = u'\\';
};

const uint8_t* Bytes(std::string_view text) {
    return reinterpret_cast<const uint8_t*>(text.data());
}

bool IsAscii(char c) {
    return static_cast<uint8_t>(c) < 0x80;
}

bool IsLineEnd(char c) {
    return kLineEnds.find(c) != std::string_view::npos;
}

bool IsUtf8(std::string_view text) {
    TUtf8Check check;
    check.Put(Bytes(text), text.size());
    return check.WellFormed();
}

// Collects the entries of a list in memory; the whole text answers whether
// it is UTF-8.
class TTextParser final : public TListParser {
public:
    explicit TTextParser(std::string_view text) : text_(text) {}

    TListEntries Parse() {
        InitParser(false);
        ParseChunk(Bytes(text_), text_.size());
        FinishParse();
        result_.Info = Info();
        return std::move(result_);
    }

protected:
    void AddEntry(const std::u16string& path, const uint8_t (&digest)[16]) override {
        TListEntry& entry = result_.Entries.emplace_back();
        entry.Path = path;
        CopyDigest(digest, entry.Digest);
    }
    uint32_t CheckUtf8(bool& utf8) override {
        utf8 = IsUtf8(text_);
        return 0;
    }

private:
    const std::string_view text_;
    TListEntries result_;
};

// The text after its byte-order mark.
std::string_view Body(std::string_view text) {
    return text.starts_with(kUtf8ByteOrderMark) ? text.substr(kUtf8ByteOrderMark.size()) : text;
}

// The entry lines as the parser counts them: in a list that parses cleanly
// every other run between line ends is a comment or empty.
std::vector<std::string_view> EntryLines(std::string_view text) {
    std::vector<std::string_view> lines;
    const std::string_view body = Body(text);
    for (size_t at = 0; at < body.size();) {
        const size_t end = std::min(body.find_first_of(kLineEnds, at), body.size());
        if (end > at && body[at] != kListCommentMark)
            lines.push_back(body.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

std::string_view FirstLineEnd(std::string_view text) {
    const size_t at = text.find_first_of(kLineEnds);
    if (at == std::string_view::npos)
        return kListLineBreak;
    if (text[at] == '\n')
        return "\n";
    return text.substr(at + 1).starts_with('\n') ? "\r\n" : "\r";
}

bool IsTagLine(std::string_view line) {
    return line.starts_with(kListTagStart);
}

// A tag line ends with its digest; any other entry line begins with it,
// perhaps with blanks among the digits.
TDigits DigitsOf(std::string_view line) {
    TDigits digits{};
    if (IsTagLine(line)) {
        for (size_t i = 0; i < digits.size(); ++i)
            digits[i] = line.size() - kListDigestDigits + i;
        return digits;
    }
    size_t found = 0;
    for (size_t at = 0; at < line.size() && found < digits.size(); ++at)
        if (line[at] != ' ')
            digits[found++] = at;
    return digits;
}

// Where the name begins behind the digest: after the blanks, and after the
// asterisk when there is one (md5sum's text form has none).
size_t NameStart(std::string_view line, const TDigits& digits) {
    if (IsTagLine(line))
        return kListTagStart.size();
    size_t at = std::min(line.find_first_not_of(' ', digits.back() + 1), line.size());
    if (at < line.size() && line[at] == kListNameMark)
        ++at;
    return at;
}

// A tag line's name ends at the last ") = ", which its digest follows.
std::string_view NameOf(std::string_view line, const TDigits& digits) {
    const size_t start = NameStart(line, digits);
    const size_t end = IsTagLine(line) ? digits.front() - kListTagDigestMark.size() : line.size();
    return line.substr(start, end - start);
}

// The case of a digest's letters, by its first one.
std::optional<bool> UpperOf(std::string_view line, const TDigits& digits) {
    for (size_t at : digits) {
        if (line[at] >= 'A' && line[at] <= 'F')
            return true;
        if (line[at] >= 'a' && line[at] <= 'f')
            return false;
    }
    return std::nullopt;
}

// The first "/" or "\" of a name, or 0. An ANSI name is looked at wide: in a
// double-byte code page the byte of "\" can be the second half of a character.
char16_t FolderMarkOf(std::string_view name, TCoding coding) {
    const std::u16string wide =
        coding == tcAnsi ? AnsiToWide(name) : std::u16string(name.begin(), name.end());
    const size_t at = wide.find_first_of(u"/\\");
    return at == std::u16string::npos ? 0 : wide[at];
}

TCoding CodingOf(std::string_view text) {
    if (text.starts_with(kUtf8ByteOrderMark))
        return tcUtf8;
    if (std::all_of(text.begin(), text.end(), IsAscii))
        return tcAscii;
    return IsUtf8(text) ? tcUtf8 : tcAnsi;
}

TListForm FormOf(std::string_view text, const std::vector<std::string_view>& lines,
                 TCoding coding) {
    TListForm form;
    form.LineEnd = FirstLineEnd(text);
    // Lists with LF alone come from systems that write lower case and "/".
    const bool lineFeeds = form.LineEnd == "\n";
    std::optional<bool> upper;
    char16_t folderMark = 0;
    for (size_t i = 0; i < lines.size() && (!upper || folderMark == 0); ++i) {
        const TDigits digits = DigitsOf(lines[i]);
        if (!upper)
            upper = UpperOf(lines[i], digits);
        if (folderMark == 0)
            folderMark = FolderMarkOf(NameOf(lines[i], digits), coding);
    }
    form.Upper = upper.value_or(!lineFeeds);
    form.FolderMark = folderMark != 0 ? folderMark : lineFeeds ? u'/' : u'\\';
    if (!lines.empty()) {
        const std::string_view first = lines.front();
        const TDigits digits = DigitsOf(first);
        form.Tag = IsTagLine(first);
        if (!form.Tag)
            form.Separator =
                first.substr(digits.back() + 1, NameStart(first, digits) - digits.back() - 1);
    }
    return form;
}

// A list in ASCII takes UTF-8 names when its lines end in LF alone, as lists
// from systems whose names are UTF-8 do; else ANSI names when they fit and
// would not be read back as UTF-8; else it becomes UTF-8 with a mark.
TNames NamesFor(TCoding coding, const TListForm& form, const std::vector<TNewEntry>& added) {
    if (coding == tcUtf8 || (coding == tcAscii && form.LineEnd == "\n"))
        return nmUtf8;
    std::string ansi;
    for (const TNewEntry& entry : added) {
        if (!FitsAnsiCodePage(entry.Path))
            return nmUtf8Marked;
        ansi += WideToAnsi(entry.Path) + '\n';
    }
    const bool readsAsUtf8 = !std::all_of(ansi.begin(), ansi.end(), IsAscii) && IsUtf8(ansi);
    return coding == tcAscii && readsAsUtf8 ? nmUtf8Marked : nmAnsi;
}

// Line by line, so that a lead byte at a line's end cannot take the line end with it.
std::string AnsiTextToUtf8(std::string_view text) {
    std::string utf8;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find_first_of(kLineEnds, at), text.size());
        utf8 += WideToUtf8(AnsiToWide(text.substr(at, end - at)));
        if (end < text.size())
            utf8 += text[end];
        at = end + 1;
    }
    return utf8;
}

std::string DigestText(const uint8_t (&digest)[16], bool upper) {
    std::string hex = BinToHex(digest, sizeof digest);
    if (!upper)
        std::transform(hex.begin(), hex.end(), hex.begin(),
                       [](char c) { return c >= 'A' && c <= 'F' ? char(c - 'A' + 'a') : c; });
    return hex;
}

// md5sum's text form cannot hold a name that is empty or begins with a blank
// or an asterisk: such a name takes our own separator, which both read.
std::string_view SeparatorFor(const TListForm& form, std::string_view name) {
    const bool textForm = form.Separator.back() != kListNameMark;
    const bool plainName = !name.empty() && name.front() != ' ' && name.front() != kListNameMark;
    return textForm && !plainName ? kListEntrySeparator : form.Separator;
}

std::string NewLine(const TListForm& form, const TNewEntry& entry, bool utf8) {
    std::u16string path = entry.Path;
    std::replace(path.begin(), path.end(), u'\\', form.FolderMark);
    const std::string name = utf8 ? WideToUtf8(path) : WideToAnsi(path);
    const std::string digest = DigestText(entry.Digest, form.Upper);
    if (form.Tag)
        return std::string(kListTagStart) + name + std::string(kListTagDigestMark) + digest;
    return digest + std::string(SeparatorFor(form, name)) + name;
}

} // namespace

TListEntries ParseListText(std::string_view text) {
    return TTextParser(text).Parse();
}

std::string UpdateListText(std::string_view text, const std::vector<TEntryChange>& changes,
                           const std::vector<TNewEntry>& added) {
    const std::vector<std::string_view> lines = EntryLines(text);
    const TCoding coding = CodingOf(text);
    const TListForm form = FormOf(text, lines, coding);
    std::string out(text);
    // Digits for digits: every other byte keeps its place.
    for (const TEntryChange& change : changes) {
        const std::string_view line = lines.at(change.Entry);
        const TDigits digits = DigitsOf(line);
        const std::string hex =
            DigestText(change.Digest, UpperOf(line, digits).value_or(form.Upper));
        const size_t lineStart = line.data() - text.data();
        for (size_t i = 0; i < digits.size(); ++i)
            out[lineStart + digits[i]] = hex[i];
    }
    if (added.empty())
        return out;
    const TNames names = NamesFor(coding, form, added);
    // No name is lost: the text goes to UTF-8 (where ASCII stays as it is).
    if (names == nmUtf8Marked)
        out = std::string(kUtf8ByteOrderMark) + AnsiTextToUtf8(out);
    if (!Body(out).empty() && !IsLineEnd(out.back()))
        out += form.LineEnd;
    for (const TNewEntry& entry : added)
        out.append(NewLine(form, entry, names != nmAnsi)).append(form.LineEnd);
    return out;
}
