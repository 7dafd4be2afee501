// Support for the file-wrapper tests under Wine: folders on the host, drive
// letters and share names mapped to them, and the few raw operations the
// wrappers themselves do not offer.
#pragma once

#include "Packages/Files/FileFunc.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace wine_host {

// Starts a shell script on the host; false when it could not be started.
// Wine starts host programs but does not wait for them: the caller waits
// for the script's effect to show.
bool StartHostScript(const std::string& script);
// Runs a shell script on the host and waits (ten seconds at most) until
// created, the path it makes last, is there; false when it never came.
bool RunHostScript(const std::string& script, const std::u16string& created);

// The Windows form of a host path (Wine's drive Z: is the host's root).
std::u16string WindowsPath(std::string_view hostPath);
// The Wine prefix in use, a host path; empty when WINEPREFIX is not set.
std::string WinePrefix();

// A fresh folder on the host, removed with its contents at the end.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    const std::string& HostPath() const { return hostPath_; }
    // The folder seen from Windows, without trailing backslash.
    const std::u16string& Path() const { return path_; }

private:
    std::string hostPath_;
    std::u16string path_;
};

// A name under $WINEPREFIX/dosdevices ("t:" for a drive letter,
// "unc/server/share" for a share) that leads to a host folder while the
// object lives.
class TDosDevice {
public:
    TDosDevice(const std::string& name, const std::string& hostTarget);
    ~TDosDevice();
    TDosDevice(const TDosDevice&) = delete;
    TDosDevice& operator=(const TDosDevice&) = delete;
    bool Ready() const { return ready_; }

private:
    std::string link_;
    std::string serverFolder_;
    bool ready_ = false;
};

// A drive letter (upper case) that names no drive now, from the end of the
// alphabet; 0 when all are taken. Letters in skip are passed over.
char16_t UnusedDriveLetter(std::u16string_view skip = u"");

// Sets the file's end; the file system leaves the gap unallocated.
bool SetFileSize(const TFileHandle& file, uint64_t size);
// Changes the process's current folder.
bool SetCurrentDir(const std::u16string& dir);
// Sets the user's decimal separator; returns the old one.
std::string ReplaceUserDecimalSeparator(const std::string& separator);

} // namespace wine_host
