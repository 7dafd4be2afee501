#include "engine/ListParser.h"

#include "Packages/Files/FileMasks.h"
#include "Packages/Files/StrProc.h"
#include "engine/ListFormat.h"
#include "engine/LxHash.h"
#include "system/AnsiText.h"

#include <algorithm>

namespace {

// kListTagDigestMark among a name's units.
constexpr std::u16string_view kTagDigestMarkUnits = u") = ";
// What a tag line holds behind its name.
constexpr size_t kTagTailUnits = kTagDigestMarkUnits.size() + kListDigestDigits;

bool IsLineEnd(uint8_t c) {
    return c == '\r' || c == '\n';
}

bool IsHexDigit(uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool IsAboveAscii(uint8_t c) {
    return c >= 0x80;
}

bool IsAscii(char c) {
    return !IsAboveAscii(static_cast<uint8_t>(c));
}

bool IsHexUnit(char16_t c) {
    return c < 0x80 && IsHexDigit(static_cast<uint8_t>(c));
}

// X:\..., \\server\share\... or \... (the root of the list's drive).
bool IsRooted(std::u16string_view path) {
    return (!path.empty() && path[0] == u'\\') ||
           (path.size() >= 3 && path[1] == u':' && path[2] == u'\\');
}

bool IsDotElement(std::u16string_view element) {
    return element == u"." || element == u"..";
}

const uint8_t* FindLineEnd(const uint8_t* begin, const uint8_t* end) {
    return std::find_if(begin, end, IsLineEnd);
}

} // namespace

void TListParser::InitParser(bool probe) {
    ready_ = true;
    probe_ = probe;
    info_ = TFileParseInfo();
    stopped_ = false;
    state_ = psLineStart;
    previous_ = 0;
    markSeen_ = 0;
    markDone_ = false;
    text_ = txUnknown;
    token_.clear();
    wide_.clear();
    decoder_ = TUtf8Decoder();
}

bool TListParser::ParseChunk(const uint8_t* data, size_t size) {
    const uint8_t* const end = data + size;
    while (data != end && !stopped_) {
        // Runs of bytes that only add to what is collected are taken as a
        // whole: names, tag lines and comments up to the line end, the
        // digits of a digest up to one too many. (None is a line end, and
        // neither was the byte before them.)
        if ((state_ == psName || state_ == psTagLine || state_ == psComment) && !IsLineEnd(*data)) {
            const uint8_t* const stop = FindLineEnd(data, end);
            if (state_ != psComment)
                AppendName(data, stop);
            data = stop;
        } else if (state_ == psDigest && blanksAfter_ == 0 && IsHexDigit(*data)) {
            const size_t room = kListDigestDigits + 1 - token_.size();
            const uint8_t* const stop =
                std::find_if_not(data, data + std::min(room, size_t(end - data)), IsHexDigit);
            token_.append(data, stop);
            if (token_.size() > kListDigestDigits)
                Stop(fprWrongHashSize);
            data = stop;
        } else {
            Feed(*data++);
        }
    }
    return !stopped_;
}

void TListParser::FinishParse() {
    if (stopped_)
        return;
    // The end came inside the mark, or where a name was due (after a digest
    // or inside the beginning of a tag line).
    if ((!markDone_ && markSeen_ > 0) || state_ == psDigest || state_ == psTag) {
        Stop(fprWrongSymbol);
        return;
    }
    if (state_ == psName && !probe_)
        EndEntry();
    else if (state_ == psTagLine)
        EndTagLine();
    stopped_ = true;
}

void TListParser::ReadFailed(uint32_t errorCode) {
    Stop(fprFileAccessError);
    info_.ErrorCode = errorCode;
}

// The byte-order mark counts only as the list's very first bytes; a part of
// it is a wrong symbol on the first line.
bool TListParser::InMark(uint8_t c) {
    if (c == static_cast<uint8_t>(kUtf8ByteOrderMark[markSeen_])) {
        ++markSeen_;
        markDone_ = markSeen_ == kUtf8ByteOrderMark.size();
        if (markDone_)
            text_ = txUtf8;
        return true;
    }
    markDone_ = true;
    if (markSeen_ == 0)
        return false;
    Stop(fprWrongSymbol);
    return true;
}

void TListParser::Feed(uint8_t c) {
    if (!markDone_ && InMark(c))
        return;
    const bool lineEnd = IsLineEnd(c);
    if (lineEnd && !IsLineEnd(previous_))
        ++info_.Line;
    previous_ = c;
    switch (state_) {
    case psLineStart:
        LineStart(c);
        break;
    case psComment:
        if (lineEnd)
            state_ = psLineStart;
        break;
    case psDigest:
        Digest(c);
        break;
    case psName:
        if (!lineEnd)
            AppendName(&c, &c + 1);
        else if (probe_)
            stopped_ = true;
        else
            EndEntry();
        break;
    case psTag:
        Tag(c);
        break;
    case psTagLine:
        if (!lineEnd)
            AppendName(&c, &c + 1);
        else
            EndTagLine();
        break;
    }
}

void TListParser::LineStart(uint8_t c) {
    if (c == kListCommentMark) {
        state_ = psComment;
    } else if (IsHexDigit(c)) {
        state_ = psDigest;
        token_.assign(1, static_cast<char>(c));
        spaced_ = false;
        blanksAfter_ = 0;
    } else if (c == static_cast<uint8_t>(kListTagStart.front())) {
        state_ = psTag;
        token_.assign(1, static_cast<char>(c));
    } else if (!IsLineEnd(c)) {
        Stop(fprWrongSymbol);
    }
}

void TListParser::Digest(uint8_t c) {
    const bool complete = token_.size() == kListDigestDigits;
    if (StartsTextModeName(c)) {
        HexToBin(token_, digest_);
        BeginName(psName);
        AppendName(&c, &c + 1);
    } else if (c == ' ') {
        if (!complete)
            spaced_ = true;
        else
            ++blanksAfter_;
    } else if (c == kListNameMark) {
        if (complete) {
            HexToBin(token_, digest_);
            BeginName(psName);
        } else {
            Stop(fprWrongHashSize);
        }
    } else if (!IsHexDigit(c)) {
        Stop(fprWrongSymbol);
    } else {
        token_ += static_cast<char>(c);
        if (token_.size() > kListDigestDigits)
            Stop(fprWrongHashSize);
    }
}

void TListParser::Tag(uint8_t c) {
    if (c != static_cast<uint8_t>(kListTagStart[token_.size()])) {
        Stop(fprWrongSymbol);
        return;
    }
    token_ += static_cast<char>(c);
    if (token_.size() == kListTagStart.size())
        BeginName(psTagLine);
}

// md5sum's text form: 32 digits in a row, exactly two blanks, and a name
// that begins with neither a blank nor an asterisk.
bool TListParser::StartsTextModeName(uint8_t c) const {
    return token_.size() == kListDigestDigits && !spaced_ && blanksAfter_ == kListTextModeBlanks &&
           c != ' ' && c != kListNameMark && !IsLineEnd(c);
}

void TListParser::BeginName(TState state) {
    token_.clear();
    state_ = state;
}

void TListParser::AppendName(const uint8_t* begin, const uint8_t* end) {
    if (text_ == txUnknown) {
        const uint8_t* const above = std::find_if(begin, end, IsAboveAscii);
        token_.append(begin, above);
        if (above != end)
            DecideText();
        if (stopped_)
            return;
        begin = above;
    }
    size_t units = 0;
    if (text_ == txUtf8) {
        for (const uint8_t* p = begin; p != end; ++p)
            decoder_.Put(*p, wide_);
        units = wide_.size() + (decoder_.Pending() ? 1 : 0);
    } else {
        // An ANSI byte gives at most one unit.
        token_.append(begin, end);
        units = token_.size();
    }
    if (units > kMaxPathUnits + (state_ == psTagLine ? kTagTailUnits : 0))
        Stop(fprWrongSymbol);
}

// Until a name holds a byte above 127, either form reads the same.
void TListParser::DecideText() {
    bool utf8 = false;
    if (const uint32_t error = CheckUtf8(utf8); error != 0) {
        ReadFailed(error);
        return;
    }
    text_ = utf8 ? txUtf8 : txAnsi;
    if (utf8) {
        wide_.assign(token_.begin(), token_.end());
        token_.clear();
    }
}

// The name collected becomes wide_, with "/" as "\".
void TListParser::TakeName() {
    if (text_ == txUtf8)
        decoder_.Finish(wide_);
    else if (text_ == txUnknown || std::all_of(token_.begin(), token_.end(), IsAscii))
        // Every ANSI code page holds ASCII as it is: no conversion (and no
        // allocation) for the usual name.
        wide_.assign(token_.begin(), token_.end());
    else
        wide_ = AnsiToWide(token_);
    token_.clear();
    // A Windows name never holds "/": lists from other systems separate folders with it.
    std::replace(wide_.begin(), wide_.end(), u'/', u'\\');
}

void TListParser::EndEntry() {
    if (!ready_)
        throw ECheckSumCalcParser("");
    state_ = psLineStart;
    TakeName();
    AddEntry(wide_, digest_);
    wide_.clear();
}

// The name ends at the last ") = ": a name may hold one, the digest cannot.
void TListParser::EndTagLine() {
    if (!ready_)
        throw ECheckSumCalcParser("");
    state_ = psLineStart;
    TakeName();
    const size_t mark = wide_.rfind(kTagDigestMarkUnits);
    const size_t digits = mark == std::u16string::npos ? 0 : mark + kTagDigestMarkUnits.size();
    if (mark == std::u16string::npos ||
        !std::all_of(wide_.begin() + digits, wide_.end(), IsHexUnit)) {
        Stop(fprWrongSymbol);
        return;
    }
    if (wide_.size() - digits != kListDigestDigits) {
        Stop(fprWrongHashSize);
        return;
    }
    for (size_t at = digits; at < wide_.size(); ++at)
        token_ += static_cast<char>(wide_[at]);
    HexToBin(token_, digest_);
    token_.clear();
    wide_.resize(mark);
    if (probe_)
        stopped_ = true;
    else
        AddEntry(wide_, digest_);
    wide_.clear();
}

void TListParser::Stop(TFileParseResult result) {
    info_.Result = result;
    stopped_ = true;
}

bool TEntryFilter::Accepts(const std::u16string& fullPath) const {
    switch (Mode) {
    case lmAll:
        break;
    case lmFile:
        if (!SamePathText(fullPath, FileFilter))
            return false;
        break;
    default:
        return false;
    }
    return (IncludeMasks.empty() && ExcludeMasks.empty()) ||
           !IsFileFilteredOut(fullPath, IncludeMasks, ExcludeMasks, {}, {});
}

bool NeedsResolving(std::u16string_view path) {
    if (IsRooted(path))
        return true;
    for (size_t at = 0;;) {
        const size_t end = path.find(u'\\', at);
        if (IsDotElement(path.substr(at, end - at)))
            return true;
        if (end == std::u16string_view::npos)
            return false;
        at = end + 1;
    }
}

std::u16string ResolveEntry(const std::u16string& folder, const std::u16string& path) {
    // A relative entry is joined to folder first: blanks that begin it are
    // its name's, not padding before a path.
    return IsRooted(path) ? ExpandPathAgainst(path, folder)
                          : ExpandPathAgainst(IncludeTrailingBackslashW(folder) + path, folder);
}

bool CanNameFile(std::u16string_view path) {
    return !path.empty() && std::none_of(path.begin(), path.end(), [](char16_t c) {
        return c < 0x20 || c == u'*' || c == u'?';
    });
}
