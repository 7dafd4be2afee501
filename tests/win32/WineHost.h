// Support for the tests under Wine: folders on the host, drive letters and
// share names mapped to them, and the few raw operations the file wrappers
// themselves do not offer.
#pragma once

#include "Packages/Files/FileFunc.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace wine_host {

// Runs a shell script on the host and waits (ten seconds at most) until
// created, the path it makes last, is there; false when it never came.
bool RunHostScript(const std::string& script, const std::u16string& created);

// The Windows form of a host path (Wine's drive Z: is the host's root).
std::u16string WindowsPath(std::string_view hostPath);

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

// A name under $WINEPREFIX/dosdevices that leads to a host folder while the
// object lives: a drive letter that names no drive now, or the share
// "server/name" (\\server\name) when one is given.
class TDosDevice {
public:
    explicit TDosDevice(const std::string& hostTarget, const std::string& share = "");
    ~TDosDevice();
    TDosDevice(const TDosDevice&) = delete;
    TDosDevice& operator=(const TDosDevice&) = delete;
    bool Ready() const { return ready_; }
    // The drive's root without backslash ("T:"); empty for a share.
    const std::u16string& Drive() const { return drive_; }

private:
    std::string link_;
    std::string serverFolder_;
    std::u16string drive_;
    bool ready_ = false;
};

// A drive letter (upper case) that names no drive now, from the end of the
// alphabet; 0 when all are taken. Letters in skip are passed over.
char16_t UnusedDriveLetter(std::u16string_view skip = u"");

// Creates a file with the given bytes (replacing one that exists).
void MakeFile(const std::u16string& path, std::string_view bytes = "");
// Sets the user's decimal separator; returns the old one.
std::string ReplaceUserDecimalSeparator(const std::string& separator);

} // namespace wine_host
