// Reading checksum lists: the byte machine that turns a list, fed in
// pieces of any size, into entries (a path and a digest each), and the
// rules that decide which entries a load keeps, where they point and which
// can name a file.
// Portable: the engine feeds the machine from the list file, the tests and
// the fuzzer from memory.
#pragma once

#include "system/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Result of parsing a checksum list; an empty list is a success without entries.
enum TFileParseResult : uint8_t {
    fprSuccess = 0,
    fprWrongHashSize = 1,
    fprWrongSymbol = 2,
    fprFileAccessError = 3,
};

// What parsing a list gave.
struct TFileParseInfo {
    std::u16string FileName;
    TFileParseResult Result = fprSuccess;
    uint32_t ErrorCode = 0; // the system's code for fprFileAccessError, else 0
    // Where parsing stopped: 1 plus the runs of line ends before (CR LF, or
    // a blank line, is one run).
    uint32_t Line = 1;
};

// What a load keeps: mode 1 every entry, 2 the one file named by the
// filter, 3 nothing (a probe: is this a list?).
enum TListMode : uint8_t { lmAll = 1, lmFile = 2, lmProbe = 3 };

// An entry reached before the parser was set up.
class ECheckSumCalcParser : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The longest path the system accepts, in UTF-16 units; a longer name in a
// list stops parsing (memory stays bounded whatever the list holds).
inline constexpr size_t kMaxPathUnits = 32767;

class TListParser {
public:
    TListParser() = default;
    virtual ~TListParser() = default;
    TListParser(const TListParser&) = delete;
    TListParser& operator=(const TListParser&) = delete;

    // Sets up for a new list: line 1, nothing read. A probe stops at the end
    // of the first entry line and adds no entry.
    void InitParser(bool probe);
    // Parses the next bytes of the list; false once parsing has stopped (an
    // error, or a probe that has seen its entry line). An entry reached
    // before InitParser raises ECheckSumCalcParser.
    bool ParseChunk(const uint8_t* data, size_t size);
    // The list has ended: a last entry line without line end still counts.
    void FinishParse();
    // Reading the list failed: parsing stops with fprFileAccessError and
    // the code at the line reached; entries of earlier lines stay.
    void ReadFailed(uint32_t errorCode);
    const TFileParseInfo& Info() const { return info_; }

protected:
    // One entry: its path, with "/" taken as a folder separator "\", and
    // its digest.
    virtual void AddEntry(const std::u16string& path, const uint8_t (&digest)[16]) = 0;
    // Asked at most once per list, when a name holds a byte above 127 and
    // the list has no byte-order mark: whether the whole list is well-formed
    // UTF-8 (then it is read as UTF-8, else in the ANSI code page). Returns
    // 0 with utf8 set, or the system's code when the list could not be read
    // for the answer (parsing then stops as ReadFailed does).
    virtual uint32_t CheckUtf8(bool& utf8) = 0;

private:
    enum TState : uint8_t {
        psLineStart = 0,
        psComment = 1,
        psDigest = 2,
        psName = 3,
        psTag = 4,     // the beginning of a tag line, "MD5 ("
        psTagLine = 5, // the rest of a tag line: "name) = digest"
    };
    // How names are decoded: not known while every name byte so far was
    // ASCII (the same in either form).
    enum TText : uint8_t { txUnknown = 0, txAnsi = 1, txUtf8 = 2 };

    bool InMark(uint8_t c);
    void Feed(uint8_t c);
    void LineStart(uint8_t c);
    void Digest(uint8_t c);
    void Tag(uint8_t c);
    bool StartsTextModeName(uint8_t c) const;
    void BeginName(TState state);
    void AppendName(const uint8_t* begin, const uint8_t* end);
    void DecideText();
    void TakeName();
    void EndEntry();
    void EndTagLine();
    void Stop(TFileParseResult result);

    TFileParseInfo info_;
    bool ready_ = false;
    bool probe_ = false;
    bool stopped_ = false;
    TState state_ = psLineStart;
    uint8_t previous_ = 0; // the byte before; 0 (no line end) at the start
    // The byte-order mark: bytes matched so far, and whether the look is over.
    size_t markSeen_ = 0;
    bool markDone_ = false;
    TText text_ = txUnknown;
    // The digest: its digits, blanks among them, blanks after the last one;
    // in a tag line's beginning, the bytes matched so far.
    std::string token_;
    bool spaced_ = false;
    size_t blanksAfter_ = 0;
    uint8_t digest_[16] = {};
    // The name: its bytes until UTF-8 is known (in token_), its units in
    // UTF-8 lists and at its end.
    std::u16string wide_;
    TUtf8Decoder decoder_;
};

// Which entries a load keeps: by the mode, and by the scanner's mask lists
// (an empty include list passes every name, an empty exclude list none).
struct TEntryFilter {
    uint8_t Mode = lmAll;
    // Mode 2: the full path of the one file kept.
    std::u16string FileFilter;
    std::string IncludeMasks;
    std::string ExcludeMasks;

    // fullPath: the file the entry names (see ResolveEntry).
    bool Accepts(const std::u16string& fullPath) const;
};

// True when an entry path does not simply go on from the folder its list's
// entries are relative to: it is rooted (X:\..., \\server\share\..., \...)
// or has a "." or ".." element.
bool NeedsResolving(std::u16string_view path);
// The full path of the file an entry names, in a list whose entries are
// relative to folder (an absolute path): a rooted entry stands for itself
// (\... on folder's drive), and "." and ".." elements are resolved, never
// above the root, as md5sum's check does.
std::u16string ResolveEntry(const std::u16string& folder, const std::u16string& path);

// True when an entry path can name a file: it is not empty and holds no
// wildcard ("*", "?") and no control character, so a search for it finds
// that file or nothing.
bool CanNameFile(std::u16string_view path);
