// Checks made before the program writes a file of its own (a checksum list,
// the changed-files list, the log): the file must be creatable, a missing
// folder is offered for creation, a folder is refused, and an existing file
// is overwritten only when allowed or confirmed. The check decides only; the
// caller creates the file afterwards. It talks to the user, so it runs on
// the main thread.
#pragma once

#include <string>

// True when the caller may create fileName (a full path).
// overwriteSilently: an existing file may be replaced without a question.
// offerAll (in/out): whether the question offers All; after an answer of
// All it is false, telling the caller to overwrite the following files silently.
// createPathSilently: a missing folder is created without a question, and
// other open failures are not reported.
bool CheckOutputFile(const std::u16string& fileName, bool overwriteSilently, bool& offerAll,
                     bool createPathSilently);
// CheckOutputFile without All and with questions.
bool CheckOutputFileSimple(const std::u16string& fileName, bool overwriteSilently);
