// The checksum-list writer: walks the engine's trees and writes one list,
// one list per file, or one list per folder. A list is ANSI text (UTF-8
// with a byte-order mark when a name does not fit the ANSI code page): the
// header the application supplies, then one line per file,
// "DIGEST *relative\path", every line ended by CR LF.
#pragma once

#include "Packages/Files/FileFunc.h"
#include "engine/ChksumCalc.h"
#include "engine/ListFormat.h"
#include "engine/ListText.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

// Why a list was not written.
enum TListFault : uint8_t {
    lfDeclined = 0,    // the user answered No, or the output check refused and said why
    lfSystemError = 1, // checking, creating, writing, closing or moving the list failed
    lfNotAList = 2,    // the existing file of that name is not a checksum list
    lfNothingRead = 3, // none of the list's files could be read
    lfNotLoaded = 4,   // an existing list to update did not load cleanly; it is left as it is
};

class TCheckSumSaver {
public:
    // Decides whether a list may be created at fileName, asking the user
    // where needed: overwriteSilently replaces an existing file without a
    // question; offerAll (in/out) offers the answer All and is false after
    // it; createPathSilently creates a missing folder without a question.
    using TOutputCheck = std::function<bool(const std::u16string& fileName, bool overwriteSilently,
                                            bool& offerAll, bool createPathSilently)>;

    TCheckSumSaver(TCustomChksumCalc& engine, TOutputCheck checkOutput)
        : engine_(engine), checkOutput_(std::move(checkOutput)) {}

    // Writes the lists of node, or every list of the placement for nullptr.
    // fileName names the one list of placements 0 and 2; silent creates a
    // missing folder without asking. A list is written beside its name and
    // replaces an existing list only once it is complete; it never replaces
    // a file that is not a list, and it is not written when none of its
    // files could be read. A folder without a selected file gets no list.
    void Save(TTreeNode* node, const std::u16string& fileName, bool silent);
    // Whether a list may replace the file fileName: true when there is no
    // such file (or a folder, which the output check refuses), or when it
    // is a checksum list (its first entry line parses, or it holds no entry
    // at all). A file that cannot be read is no list: error then holds the
    // system's code, otherwise 0.
    bool MayReplace(const std::u16string& fileName, uint32_t& error) const;
    // The path an entry shows: relative to base (empty: the full path); a
    // single file by its name alone.
    static std::u16string EntryPath(const TCustomChksumCalc& engine, const TTreeNode* node,
                                    const std::u16string& base);
    // Whether the list node (in a scanned tree) is one that placement writes:
    // each folder's list is named after its folder, each file's list is not.
    static bool IsListOf(TPlacement placement, const TDirTree& tree, const TTreeNode* node);
    // The entry line of one file: digest, " *", EntryPath in ANSI (or UTF-8), CR LF.
    static std::string FormatLine(const TCustomChksumCalc& engine, const TTreeNode* node,
                                  const std::u16string& base, bool utf8 = false);

    TPlacement Placement = plNone;
    std::u16string Extension = u".md5";
    std::u16string ListFileName;
    // Base of the entry paths of placements 0 and 2.
    std::u16string BaseFolder;
    // Existing lists are replaced without a question.
    bool OverwriteAll = false;
    uint32_t ListCount = 0;   // lists attempted
    uint32_t FailedLists = 0; // lists not written, each counted once

    // --- Updates: existing lists keep their entries and form ---
    // Reads the existing list listPath, whose entries are relative to base,
    // and ties each entry to the scanned file it names. A file last written
    // before the list was gets its digest from the entry and is not read
    // (TCheckSumData::Kept); a later one is read again. The full path of
    // each listed file that is gone is added to missing. Once the list has
    // loaded cleanly (the result says), writing it updates it in place of
    // replacing it.
    TFileParseInfo LoadExisting(const std::u16string& listPath, const std::u16string& base,
                                std::vector<std::u16string>& missing);
    // Whether LoadExisting has loaded listPath.
    bool IsExisting(const std::u16string& listPath) const;
    // The scanned file (selected, not a folder) of a full path, or nullptr.
    TTreeNode* ScannedFile(const std::u16string& path);
    // Writes the list at path whose bytes are text with changes and added,
    // like every list (beside it, then moved over it). Counts it among the
    // lists (ListCount), and among the updated ones unless it is fresh (a
    // new list), or the failed ones (through OnError).
    void WriteUpdatedList(const std::u16string& path, std::string_view text,
                          const std::vector<TEntryChange>& changes,
                          const std::vector<TNewEntry>& added, bool fresh);
    // Updates the list at path after a verification: each entry that names
    // a file of edited (by its lower-case full path; entries are relative to
    // base) takes that digest, and added is appended. Without a list there,
    // a new one is written (the header, then added). A list that does not
    // load cleanly is left alone and counted as failed (lfNotLoaded).
    void UpdateList(const std::u16string& path, const std::u16string& base,
                    const std::unordered_map<std::u16string, const uint8_t*>& edited,
                    const std::vector<TNewEntry>& added);
    // What LoadExisting kept from reading, and what the updates wrote.
    uint64_t KeptFiles = 0;
    uint64_t KeptSize = 0;
    uint32_t UpdatedLists = 0;   // existing lists rewritten
    uint32_t UntouchedLists = 0; // existing lists that gained nothing, left byte for byte
    uint64_t AddedEntries = 0;
    uint64_t UpdatedEntries = 0;

    // Asked before each list; true skips it and every later one, so a run
    // can stop between lists and never in the middle of one.
    std::function<bool()> StopRequested;

    // Supplies the header; write false (the default) writes none.
    std::function<void(TCheckSumSaver* sender, bool& write, std::string& header)> OnGetHeader;
    // A list that was not written: its name, why, and the system's error
    // code (0 when the fault is not a system error).
    std::function<void(TCheckSumSaver* sender, const std::u16string& fileName, TListFault fault,
                       uint32_t error)>
        OnError;

private:
    void SaveEachFile(TTreeNode* node);
    void SaveEachFolder(TTreeNode* node);
    bool IsFolder(const TTreeNode* node) const;
    void WriteList(TTreeNode* node, bool silent);
    using TEntryVisitor = std::function<void(const TTreeNode* entry, const std::u16string& base)>;
    // Visits the files a list of node holds, with the base of their paths.
    void ForEachEntry(TTreeNode* node, const TEntryVisitor& visit) const;
    // How many entries a list of node holds, and whether a name needs UTF-8.
    struct TListContent {
        size_t Entries = 0;
        bool Utf8 = false;
    };
    TListContent ContentOf(TTreeNode* node) const;
    // Writes the whole list; 0, or the system error code of the step that failed.
    uint32_t WriteListFile(TTreeNode* node, bool utf8);
    // An existing list is written with the files it lacks added and the
    // digests of the files read again changed; one that gains nothing is
    // not written at all.
    void WriteUpdate(TTreeNode* node);
    std::string Header();
    void DoError(const std::u16string& fileName, TListFault fault, uint32_t errorCode);

    TCustomChksumCalc& engine_;
    TOutputCheck checkOutput_;
    // An existing list an update rewrites: its bytes, its entries, and per
    // entry the scanned file it names (nullptr: none).
    struct TExistingList {
        std::string Text;
        std::vector<TListEntry> Entries;
        std::vector<TTreeNode*> Files;
    };
    // By the list's path in lower case.
    std::unordered_map<std::u16string, TExistingList> existing_;
    // The scanned files by the keys of their full paths (FoldedPathKey),
    // sorted; made by the first ScannedFile. A search per path would walk
    // every folder's files by name.
    std::vector<std::pair<uint64_t, TTreeNode*>> scanned_;
    bool indexed_ = false;
};
