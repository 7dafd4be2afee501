#include "Harness.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace e2e {

namespace fs = std::filesystem;

namespace {

const fs::path kSourceDir = TALLIX_SOURCE_DIR;
const fs::path kWin64Dir = TALLIX_WIN64_DIR;

void WriteFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string WinPath(const fs::path& path) {
    std::string result = "Z:" + fs::absolute(path).lexically_normal().string();
    for (char& c : result)
        if (c == '/')
            c = '\\';
    return result;
}

std::string Md5sum(const fs::path& file) {
    const std::string command = "md5sum -b " + ShellQuote(file.string());
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::array<char, 64> digest{};
    if (!pipe || std::fscanf(pipe.get(), "%32s", digest.data()) != 1)
        return {};
    std::string text(digest.data());
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TRunResult RunTallix(std::string_view arguments, const TRunOptions& options) {
    return RunProgram("tallix.exe", arguments, options);
}

TRunResult RunProgram(const std::string& program, std::string_view arguments,
                      const TRunOptions& options) {
    TTempDir work;
    const fs::path commandLine = work.Path() / "cmdline";
    const fs::path status = work.Path() / "status";
    const fs::path output = work.Path() / "stdout";
    // Appended piece by piece: GCC 12 warns falsely about one long concatenation.
    std::string line = "\"";
    line += WinPath(kWin64Dir / program);
    line += '"';
    if (!arguments.empty()) {
        line += ' ';
        line += arguments;
    }
    WriteFile(commandLine, line);

    const fs::path dir = options.WorkDir.empty() ? work.Path() : options.WorkDir;
    const std::string command =
        "cd " + ShellQuote(dir.string()) + " && LC_ALL=C.UTF-8 " +
        ShellQuote((kSourceDir / "scripts/wine-run").string()) + " " +
        ShellQuote((kWin64Dir / "launch.exe").string()) + " " + ShellQuote(WinPath(status)) + " " +
        ShellQuote(WinPath(commandLine)) + " <" + ShellQuote(options.Input.string()) + " >" +
        ShellQuote(output.string()) + " 2>/dev/null";
    std::system(command.c_str());
    TRunResult result;
    result.Output = ReadFile(output);
    const std::string statusText = ReadFile(status);
    if (statusText.empty())
        throw std::runtime_error("tallix.exe did not run: " + command);
    result.Status = static_cast<uint32_t>(std::stoul(statusText));
    return result;
}

TDriveLetter::TDriveLetter(char letter, const fs::path& target) {
    // The prefix lies beside the win64 build (scripts/wine-run).
    link_ = kWin64Dir.parent_path() / "wineprefix" / "dosdevices" / (std::string(1, letter) + ":");
    std::error_code ignored;
    fs::remove(link_, ignored);
    fs::create_directory_symlink(target, link_);
}

TDriveLetter::~TDriveLetter() {
    std::error_code ignored;
    fs::remove(link_, ignored);
}

TTempDir::TTempDir() {
    std::string pattern = (fs::temp_directory_path() / "tallix-e2e-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TTempDir::~TTempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

fs::path TTempDir::AddFile(const std::string& relative, std::string_view bytes) {
    const fs::path path = path_ / relative;
    fs::create_directories(path.parent_path());
    WriteFile(path, bytes);
    return path;
}

fs::path TTempDir::AddDir(const std::string& relative) {
    const fs::path path = path_ / relative;
    fs::create_directories(path);
    return path;
}

} // namespace e2e
