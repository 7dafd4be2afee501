#include "WineHost.h"

#include "system/WinApi.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace wine_host {
namespace {

std::string WinePrefix() {
    const char* prefix = std::getenv("WINEPREFIX");
    return prefix ? prefix : "";
}

// Starts a shell script on the host; false when it could not be started.
// Wine does not wait for host programs: the caller waits for the effect.
bool StartHostScript(const std::string& script) {
    std::u16string commandLine = u"Z:\\bin\\sh -c \"";
    commandLine.append(script.begin(), script.end());
    commandLine += u"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // For a host program Wine does not fill in the process information
    // (the handles may be any value), so none is closed: closing such a
    // value could close a handle of the test program's own.
    return CreateProcessW(nullptr, win::Wide(commandLine.data()), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &process) != 0;
}

// Waits at most ten seconds for a path seen from Windows to appear or go.
bool WaitForPath(const std::u16string& path, bool present) {
    for (int i = 0; i < 1000; ++i) {
        if ((GetFileAttributesW(win::Wide(path)) != INVALID_FILE_ATTRIBUTES) == present)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::string Quoted(const std::string& hostPath) {
    return "'" + hostPath + "'";
}

} // namespace

bool RunHostScript(const std::string& script, const std::u16string& created) {
    return StartHostScript(script) && WaitForPath(created, true);
}

std::u16string WindowsPath(std::string_view hostPath) {
    std::u16string path = u"Z:";
    for (char c : hostPath)
        path += c == '/' ? u'\\' : static_cast<char16_t>(static_cast<unsigned char>(c));
    return path;
}

TTempFolder::TTempFolder() {
    static std::atomic<int> counter{0};
    hostPath_ = "/tmp/tallix-files-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(counter++);
    path_ = WindowsPath(hostPath_);
    CreateDirectoryW(win::Wide(path_), nullptr);
}

// Names with a trailing dot or blank are beyond the reach of the usual
// Windows calls: the host removes the folder.
TTempFolder::~TTempFolder() {
    StartHostScript("rm -rf " + Quoted(hostPath_));
}

TDosDevice::TDosDevice(const std::string& hostTarget, const std::string& share) {
    std::string name = "unc/" + share;
    if (share.empty()) {
        const char16_t letter = UnusedDriveLetter();
        if (letter == 0)
            return;
        drive_ = {letter, u':'};
        name = {static_cast<char>(letter - u'A' + 'a'), ':'};
    }
    if (WinePrefix().empty())
        return;
    link_ = WinePrefix() + "/dosdevices/" + name;
    // A share's name lies in a folder of its server, made for it here.
    if (!share.empty())
        serverFolder_ = link_.substr(0, link_.rfind('/'));
    const std::string makeFolder =
        serverFolder_.empty() ? "" : "mkdir -p " + Quoted(serverFolder_) + " && ";
    ready_ = StartHostScript(makeFolder + "ln -sfn " + Quoted(hostTarget) + " " + Quoted(link_)) &&
             WaitForPath(WindowsPath(link_), true);
}

TDosDevice::~TDosDevice() {
    const std::string removeFolder =
        serverFolder_.empty() ? "" : " && rmdir " + Quoted(serverFolder_);
    if (!link_.empty() && StartHostScript("rm -f " + Quoted(link_) + removeFolder))
        WaitForPath(WindowsPath(link_), false);
}

char16_t UnusedDriveLetter(std::u16string_view skip) {
    const DWORD drives = GetLogicalDrives();
    for (char16_t letter = u'Y'; letter >= u'D'; --letter) {
        const bool used = (drives & (1u << (letter - u'A'))) != 0;
        if (!used && skip.find(letter) == std::u16string_view::npos)
            return letter;
    }
    return 0;
}

void MakeFile(const std::u16string& path, std::string_view bytes) {
    const TFileHandle file = WideCreateFileForWrite(path);
    if (!file.Valid() || WideWriteFile(file, bytes) != 0)
        throw std::runtime_error("cannot write a test file, error " +
                                 std::to_string(FileLastError));
}

std::string ReplaceUserDecimalSeparator(const std::string& separator) {
    char old[8] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, old, sizeof old);
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator.c_str());
    return old;
}

} // namespace wine_host
