// Runs tallix.exe (win64 build) under Wine, in an English (United States)
// locale whatever the host's, with an exact command line and
// captures what it writes and its full 32-bit exit status.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace e2e {

struct TRunResult {
    std::string Output; // standard output, bytes as written
    uint32_t Status = 0;
};

struct TRunOptions {
    std::filesystem::path WorkDir; // current folder of the program; the temp root when empty
    std::filesystem::path Input = "/dev/null";
};

// arguments: the command line after the program's name, exactly as Windows
// would pass it (quotes included).
TRunResult RunTallix(std::string_view arguments, const TRunOptions& options = {});
// The same for another program of the win64 build (a test probe).
TRunResult RunProgram(const std::string& program, std::string_view arguments,
                      const TRunOptions& options = {});

// The Windows form of a host path (Wine's drive Z: is the host's root).
std::string WinPath(const std::filesystem::path& path);

// A fresh folder that is removed with everything in it at the end of the test.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    // Creates a file (and its folders) with the given bytes; returns its path.
    std::filesystem::path AddFile(const std::string& relative, std::string_view bytes = "");
    std::filesystem::path AddDir(const std::string& relative);

private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& path);
// The digest md5sum on the host gives for file, in upper case.
std::string Md5sum(const std::filesystem::path& file);
bool Contains(const std::string& text, const std::string& part);

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

} // namespace e2e
