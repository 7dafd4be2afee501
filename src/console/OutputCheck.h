// Checks made before the program writes a file of its own (a checksum list,
// the changed-files list, the log): the file must be creatable, a missing
// folder is offered for creation, a folder is refused, and an existing file
// is overwritten only when allowed or confirmed. The check decides only; the
// caller creates the file afterwards. It talks to the user, so it runs on
// the main thread.
#pragma once

#include <cstdint>
#include <string>

// What a check decided. A refusal has been reported on the console (but
// see createPathSilently).
enum TOutputVerdict : uint8_t {
    ovAllowed = 0,  // the caller may create the file
    ovDeclined = 1, // a question got no consent: No, a cancel, or no console to ask on
    ovFolder = 2,   // the path names a folder
    ovFailed = 3,   // the system refused: a missing drive, an open or a folder creation
};

struct TOutputCheckResult {
    TOutputVerdict Verdict = ovAllowed;
    uint32_t ErrorCode = 0; // the system's code of ovFailed, else 0
};

// Whether the caller may create fileName (a full path), and why not.
// overwriteSilently: an existing file may be replaced without a question.
// offerAll (in/out): whether the question offers All; after an answer of
// All it is false, telling the caller to overwrite the following files silently.
// createPathSilently: a missing folder is created without a question, and
// other open failures are not reported.
TOutputCheckResult CheckOutputPath(const std::u16string& fileName, bool overwriteSilently,
                                   bool& offerAll, bool createPathSilently);
// CheckOutputPath reduced to its verdict: true when the caller may create the file.
bool CheckOutputFile(const std::u16string& fileName, bool overwriteSilently, bool& offerAll,
                     bool createPathSilently);
// CheckOutputFile without All and with questions.
bool CheckOutputFileSimple(const std::u16string& fileName, bool overwriteSilently);
