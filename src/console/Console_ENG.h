// The program's fixed English message texts.
#pragma once

namespace msg {

inline constexpr const char* PressAnyKey = "Press any key...";

inline constexpr const char* UsageFormat =
    "%s [Path] [File | /T:Type] [/V] [/U] [/C:File] [/O] [/R]\r\n";

// Every "%0:s" stands for the program's name.
inline constexpr const char* HelpText =
    "  Path   Path to a source file, folder or a folder with included\r\n"
    "         files mask. You may define several masks using \";\" as a separator.\r\n"
    "  File   Path to a checksum file. If is not defined and /T:Type parameter is\r\n"
    "         not used in calculation mode checksums are printed on the screen.\r\n"
    " /T:Type It is a helper that sets position of checksum files. It is\r\n"
    "         necessary to process a lot of files, instead of using File parameter.\r\n"
    "         This parameter must be one of the following values:\r\n"
    "         E - For EACH file (File_name.md5)\r\n"
    "         R - One file in the ROOT of the folder (Folder_name.md5)\r\n"
    "         F - One checksum-list file for each FOLDER (Folder_name.md5)\r\n"
    "\r\n"
    "   /V    Verification mode. By default Tallix is working in calculation mode.\r\n"
    "   /U    Update existing lists: add new files, follow edited ones; files not\r\n"
    "         written since their list are not read again. Entries of missing\r\n"
    "         files are kept. With /V, new files are added in the same pass.\r\n"
    " /L:File Path to log-file.\r\n"
    " /C:File Path to the file for changed files list.\r\n"
    "   /O    Overwrite existing files.\r\n"
    "   /R    Recursive folder scanning.\r\n"
    "   /S    Silent: no banner, progress or success lines (implies /O).\r\n"
    "/H or /? Help.\r\n"
    "\r\n"
    "Exit status: 0 if all went well, else a sum of error bits (see the README).\r\n"
    "\r\n"
    "Examples:\r\n"
    "\r\n"
    "  %0:s C:\\Data\\Notes.doc C:\\My_Checksums\\Notes.md5\r\n"
    "  This is an example of single file checksum calculation.\r\n"
    "\r\n"
    "  %0:s C:\\Data\\*.zip;*.pdf /T:F /R\r\n"
    "  Calc .zip and .pdf files in all sub-folders (recursively). Result lists are\r\n"
    "  placed in each folder.\r\n"
    "\r\n"
    "  %0:s C:\\Data /T:F /R /V\r\n"
    "  Verify files for sample above.\r\n"
    "\r\n"
    "  %0:s C:\\Data /T:F /R /U\r\n"
    "  Add the files that are new since, and follow the edited ones.";

inline constexpr const char* InvalidOptionFormat = "Invalid option \"%s\".";
inline constexpr const char* RunHelpFormat = "Run \"%s /?\" to get Help.";
inline constexpr const char* DefineRightPath =
    "Please define the right path. Note that path with spaces must be enclosed in quotation "
    "marks.";
inline constexpr const char* OptionsViolation = "Options violation:";
inline constexpr const char* TypeNeedsFolder =
    "/T:Type switch makes sense only when \"Path\" option leads to a folder.";
inline constexpr const char* CannotAccessFile = "Cannot access file:";
inline constexpr const char* SystemReturnedError = "The system returned an error:";
inline constexpr const char* CancelledByUser = "\r\n\r\nCancelled by the user.\r\n";
inline constexpr const char* CantWriteLog = "Can't write the log file.";
inline constexpr const char* TerminatedWithoutErrors =
    "\r\nApplication terminated without errors\\warnings.";
inline constexpr const char* TerminatedWithCodeFormat =
    "\r\nApplication terminated with code - %s [%s]";

inline constexpr const char* CreatePathQuestionFormat =
    "\r\nPath \"%s\" does not exist.\r\nCreate path?";
inline constexpr const char* CantCreateOpenFileFormat = "Can't create\\open file:\r\n%s";
inline constexpr const char* IsAFolderFormat =
    "\"%s\" - folder, can't read or write anything to folder!";
inline constexpr const char* OverwriteQuestionFormat = "File \"%s\" already exists.\r\nOverwrite?";
inline constexpr const char* FailedToCreatePath = "\r\nFailed to create path.";

inline constexpr const char* NoFilesToCalculate =
    "\r\nThe source path has no files or there are no files corresponding to the options.";
inline constexpr const char* NoFilesToVerify =
    "\r\nNo files from the list were found. Nothing to verify!";
inline constexpr const char* CheckSettings = "Check command-line settings.";
inline constexpr const char* Calculating = "Calculating...\r\n";
inline constexpr const char* CalculatingSizeFormat = "Calculating size of %s\r\n";
inline constexpr const char* CalculatingFilesSize = "Calculating files size...\r\n";
inline constexpr const char* ScanningErrorDetected = "Scanning error detected (process continues):";
inline constexpr const char* ScanningErrors = "Scanning errors:  ";
inline constexpr const char* FileAccessErrors = "File access errors:   ";
inline constexpr const char* CalculationSummary = "Calculation summary:";

inline constexpr const char* InvalidPathFormat = "Invalid path \"%s\".";
inline constexpr const char* SpecifyCorrectListPath =
    "\r\nPlease, specify the correct path to a checksum file.";
inline constexpr const char* ListHeaderFormat =
    "; Generated by %s - an extremely fast checksum utility.\r\n; Go to %s to get your own copy "
    "for free.\r\n;\r\n";
inline constexpr const char* OverwritePreCheckFormat =
    "Cursory verification has detected %s files, that could be overwritten after calculation. "
    "If you allow to overwrite them now, Tallix will do it instantaneously while calculation "
    "process (highly recommended). \r\nOverwrite existing files?";
inline constexpr const char* ResultWrittenFormat = "  Result written in %s";
inline constexpr const char* AllResultsWritten =
    "  All results were written successfully according to command-line switches.";
inline constexpr const char* CantWriteOutput = "Can't write to output file.";
// Each is followed by the file's path on a line of its own.
inline constexpr const char* NotAListLeftAlone =
    "This file is not a checksum list and was left as it is:";
inline constexpr const char* NotALogLeftAlone =
    "This file is not a log file of Tallix and was left as it is:";
inline constexpr const char* OutputIsAnInput =
    "This file is read by the run, so its results cannot be written over it:";
inline constexpr const char* NothingReadForList =
    "No file of this list could be read, so the list was not written:";
inline constexpr const char* ChangedListFolderNotCreated =
    "The folder of this file was not created, so the list of changed files was not written:";
inline constexpr const char* ChangedListIsAFolder =
    "This path is a folder, so the list of changed files was not written:";
inline constexpr const char* ChangedListWrittenFormat = "  Changed files written in %s";
inline constexpr const char* ReferencesNotFound = "\r\nReference checksums not found.";
// Follow ReferencesNotFound: where the lists were looked for.
inline constexpr const char* ListLookedForFormat = "List looked for: %s";
inline constexpr const char* FileListsLookedForFormat =
    "Lists looked for: each file's own list (File_name%s) in %s";
inline constexpr const char* FolderListsLookedForFormat =
    "Lists looked for: each folder's own list (Folder_name%s) in %s";
inline constexpr const char* AndItsSubFolders = " and its sub-folders";
inline constexpr const char* FailedToLoadList = "\r\nFailed to load checksum list.\r\n";
inline constexpr const char* NotAChecksumListFormat =
    "\r\nfile \"%s\",\r\nis not a checksum list or is damaged.\r\nLine - %s, Code - [%s]";
inline constexpr const char* LoadingReferencesFormat = "Loading references from %s\r\n";
inline constexpr const char* FoundFiles = "found files...";
inline constexpr const char* ChecksumLoadError = "Checksum load error:     ";
inline constexpr const char* LineCodeFormat = "Line - %s, Code - [%s]";
inline constexpr const char* CantLoadReferencesFormat =
    "Can't load reference checksums from %s files (%s%)";
inline constexpr const char* ChangedFiles = "Changed files:    ";
inline constexpr const char* VerificationSummary = "Verification summary:";
inline constexpr const char* ChangedFilesFormat = "  Changed files - %s (%s%)";
inline constexpr const char* FilesNotChanged = "  Files not changed.";
inline constexpr const char* NewFiles = "New files:";
inline constexpr const char* NewFilesFormat = "  New files - %s";
inline constexpr const char* LookingForNewFiles = "  Looking for new files...";
// How the phases before reading move, on a console.
inline constexpr const char* EntriesReadFormat = "  %s entries read";
inline constexpr const char* EntriesLookedUpFormat = "  %s of %s listed files looked up";
inline constexpr const char* DamagedFilesFormat =
    "    of which %s not modified since the list was written: possible damage";
// After a changed file that was not written since its list was.
inline constexpr const char* NotModifiedMark = " [not modified since the list]";
inline constexpr const char* MissingFilesFormat = "  %s files missing from the list. (%s%)";
inline constexpr const char* ManyFilesMissingFormat =
    "Could not find a large amount of files from the list.(%s%).";
inline constexpr const char* RefreshListAdvice =
    "The files may have been deleted or moved.\r\nWe recommend to refresh the checksum list.";
// Updates (/U).
inline constexpr const char* UpdateNeedsLists =
    "/U updates checksum lists: give a File, or /T:Type, or verify with /V.";
inline constexpr const char* ListNotUpdated =
    "This list did not load cleanly, so it was left as it is:";
inline constexpr const char* MissingFromLists = "Files missing from the lists:";
inline constexpr const char* KeptFilesFormat =
    "  %s files not read: not written since their lists.";
inline constexpr const char* MissingListedFormat =
    "  %s listed files missing: their entries are kept.";
inline constexpr const char* ListsUpdatedFormat =
    "  Lists updated - %s: %s entries added, %s updated.";
inline constexpr const char* NewListsFormat = "  New lists written - %s";
inline constexpr const char* ListsUpToDate =
    "  The lists are up to date: nothing added or updated.";
inline constexpr const char* ResultsPartlyWrittenFormat =
    "The result was successfully written in %s files of %s.";

} // namespace msg
