// The program's fixed English message texts.
#pragma once

namespace msg {

inline constexpr const char* PressAnyKey = "Press any key...";

inline constexpr const char* UsageFormat =
    "%s [Path] [File | /T:Type] [/V] [/C:File] [/O] [/R]\r\n";

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
    " /L:File Path to log-file.\r\n"
    " /C:File Path to the file for changed files list.\r\n"
    "   /O    Overwrite existing files.\r\n"
    "   /R    Recursive folder scaning.\r\n"
    "/H or /? Help.\r\n"
    "\r\n"
    "Examples:\r\n"
    "\r\n"
    "  %0:s C:\\Data\\Notes.doc C:\\My_Checksums\\Notes.md5\r\n"
    "  This is an example of single file checksum calulation.\r\n"
    "\r\n"
    "  %0:s C:\\Data\\*.zip;*.pdf /T:F /R\r\n"
    "  Calc .zip and .pdf files in all sub-folders (recursively). Result lists are\r\n"
    "  placed in each folder.\r\n"
    "\r\n"
    "  %0:s C:\\Data /T:F /R /V\r\n"
    "  Verify files for sample above.";

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

} // namespace msg
