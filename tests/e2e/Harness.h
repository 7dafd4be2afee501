// Runs the programs of the win64 build under Wine, in an English (United
// States) locale whatever the host's, with an exact command line (the tail
// after the program's name, quotes included): with standard output captured
// and the full 32-bit exit status, or in a real console (a tmux pane).
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace e2e {

// A fresh folder that is removed with everything in it at the end.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    // Creates a file (and its folders) with the given bytes; returns its path.
    std::filesystem::path AddFile(const std::string& relative, std::string_view bytes = "");

private:
    std::filesystem::path path_;
};

struct TRunResult {
    std::string Output; // standard output, bytes as written
    uint32_t Status = 0;
};

// Runs program with no input; dir is its current folder (a fresh one when empty).
TRunResult RunProgram(const std::string& program, std::string_view arguments,
                      const std::filesystem::path& dir = {});
// Runs program as RunProgram does, with standard output sent where the shell
// redirection output says (">/dev/full", ">&7"); its full exit status.
uint32_t RunRedirected(const std::string& program, std::string_view arguments,
                       const std::string& output, const std::filesystem::path& dir = {});
inline TRunResult RunTallix(std::string_view arguments, const std::filesystem::path& dir = {}) {
    return RunProgram("tallix.exe", arguments, dir);
}

// A program in a console of 80 x 24, driven with keys and read from the screen.
class TTmuxPane {
public:
    TTmuxPane(const std::string& program, const std::string& arguments,
              const std::filesystem::path& dir);
    ~TTmuxPane();
    TTmuxPane(const TTmuxPane&) = delete;
    TTmuxPane& operator=(const TTmuxPane&) = delete;

    // Keys in tmux's send-keys names ("a", "Escape", "C-c").
    void SendKeys(const std::string& keys);
    // The visible screen, lines joined with "\n", trailing blanks removed.
    std::string Screen();
    // Waits until the screen contains text; false when it never does.
    bool WaitFor(const std::string& text,
                 std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Waits for the program's end; its exit status, or -1 on time-out.
    long WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(20));

private:
    std::string Tmux(const std::string& arguments);
    TTempDir work_;
};

// The Windows form of a host path (Wine's drive Z: is the host's root).
std::string WinPath(const std::filesystem::path& path);
std::string ReadFile(const std::filesystem::path& path);
bool Contains(const std::string& text, const std::string& part);
// The digest md5sum on the host gives for file, in upper case.
std::string Md5sum(const std::filesystem::path& file);
// True when md5sum -c, run in the list's folder, accepts the list.
bool Md5sumChecks(const std::filesystem::path& list);
// Has another Wine process hold file open without sharing for 8 seconds;
// true once it is held.
bool HoldFile(const std::filesystem::path& file);

// A drive letter of the test's Wine prefix mapped to a host folder while it lives.
class TDriveLetter {
public:
    TDriveLetter(char letter, const std::filesystem::path& target);
    ~TDriveLetter();
    TDriveLetter(const TDriveLetter&) = delete;
    TDriveLetter& operator=(const TDriveLetter&) = delete;

private:
    std::filesystem::path link_;
};

// A tmpfs of a given size mounted on a fresh folder while it lives; mounting
// needs root, so Mounted() tells whether there is a volume at all.
class TSmallVolume {
public:
    explicit TSmallVolume(uint64_t bytes);
    ~TSmallVolume();
    TSmallVolume(const TSmallVolume&) = delete;
    TSmallVolume& operator=(const TSmallVolume&) = delete;
    bool Mounted() const { return mounted_; }
    const std::filesystem::path& Path() const { return dir_.Path(); }
    // Fills the volume with one file until bytes are left free; false when
    // less than that is free already.
    bool FillLeaving(uint64_t bytes);

private:
    TTempDir dir_;
    bool mounted_ = false;
};

// One row of the reliability table (scripts/reliability): a fault case,
// the inputs it tried, the faults the program survived, the bytes of
// earlier data lost, and the runs that crashed. Rows go to the file
// TALLIX_RELIABILITY_LOG names; nothing is kept without it.
void RecordReliability(const std::string& name, int inputs, int faultsSurvived, uint64_t bytesLost,
                       int crashed);

} // namespace e2e
