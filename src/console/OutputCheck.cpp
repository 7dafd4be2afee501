#include "console/OutputCheck.h"

#include "Packages/Files/FileFunc.h"
#include "console/Console.h"
#include "console/Console_ENG.h"
#include "console/Text.h"
#include "system/SystemErrors.h"

namespace {

TOutputCheckResult CreateFolder(const std::u16string& folder) {
    if (ForceDirectoriesW(folder))
        return {ovAllowed};
    const uint32_t error = FileLastError;
    ConsoleWriteLine(msg::FailedToCreatePath);
    WriteSystemError(error, 0);
    return {ovFailed, error};
}

TOutputCheckResult OfferFolder(const std::u16string& fileName, bool createPathSilently) {
    if (!WideDiskReady(PathRootW(fileName))) {
        ConsoleWriteLine(FormatText(msg::CantCreateOpenFileFormat, ShownName(fileName)));
        WriteSystemError(kErrorInvalidDrive, 0);
        return {ovFailed, kErrorInvalidDrive};
    }
    const std::u16string folder = ExtractFileDirW(fileName);
    if (createPathSilently)
        return CreateFolder(folder);
    const TAnswer answer =
        AskAnswer(FormatText(msg::CreatePathQuestionFormat, ShownName(folder)), ansYesNo);
    if (answer == ansYes)
        return CreateFolder(folder);
    if (answer == ansNo)
        ConsoleWriteLine(std::string("\r\n") + msg::DefineRightPath, true);
    return {ovDeclined};
}

TOutputCheckResult RefuseFolder(const std::u16string& fileName) {
    ConsoleWriteHighlighted("\r\n" + FormatText(msg::IsAFolderFormat, ShownName(fileName)), true);
    ConsoleWriteLine(msg::DefineRightPath, true);
    return {ovFolder};
}

TOutputCheckResult ConfirmOverwrite(const std::u16string& fileName, bool& offerAll) {
    const TAnswer answer = AskAnswer(FormatText(msg::OverwriteQuestionFormat, ShownName(fileName)),
                                     offerAll ? ansYesNoAll : ansYesNo);
    if (offerAll)
        offerAll = answer != ansAll;
    return {answer == ansYes || answer == ansAll ? ovAllowed : ovDeclined};
}

} // namespace

TOutputCheckResult CheckOutputPath(const std::u16string& fileName, bool overwriteSilently,
                                   bool& offerAll, bool createPathSilently) {
    bool existed = false;
    {
        TFileHandle probe = WideOpenOrCreateForWrite(fileName);
        const uint32_t error = FileLastError;
        if (!probe.Valid()) {
            // Wine reports a file in a missing drive's root as not found, where
            // Windows reports its path as missing: both are a missing drive.
            if (error == kErrorPathNotFound || !WideDiskReady(PathRootW(fileName)))
                return OfferFolder(fileName, createPathSilently);
            // The system refuses to open a folder as a file: say what it is.
            if (IsExistingAbsoluteFolder(fileName))
                return RefuseFolder(fileName);
            if (!createPathSilently) {
                ConsoleWriteLine("\r\n" +
                                 FormatText(msg::CantCreateOpenFileFormat, ShownName(fileName)));
                WriteSystemError(error, 0);
            }
            return {ovFailed, error};
        }
        existed = error == kErrorAlreadyExists;
    }
    FileLastError = 0;
    // The probe never leaves a new empty file behind.
    if (!existed)
        WideDeleteFile(fileName);
    if (IsExistingAbsoluteFolder(fileName))
        return RefuseFolder(fileName);
    FileLastError = 0;
    if (!overwriteSilently && existed)
        return ConfirmOverwrite(fileName, offerAll);
    return {ovAllowed};
}

bool CheckOutputFile(const std::u16string& fileName, bool overwriteSilently, bool& offerAll,
                     bool createPathSilently) {
    return CheckOutputPath(fileName, overwriteSilently, offerAll, createPathSilently).Verdict ==
           ovAllowed;
}

bool CheckOutputFileSimple(const std::u16string& fileName, bool overwriteSilently) {
    bool offerAll = false;
    return CheckOutputFile(fileName, overwriteSilently, offerAll, false);
}
