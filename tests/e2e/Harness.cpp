#include "Harness.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <thread>

namespace e2e {

namespace fs = std::filesystem;

namespace {

const fs::path kSourceDir = TALLIX_SOURCE_DIR;
const fs::path kWin64Dir = TALLIX_WIN64_DIR;

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string Quote(const fs::path& path) {
    return Quote(path.string());
}

// What a shell command prints.
std::string Capture(const std::string& command) {
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    char buffer[4096];
    size_t length;
    while (pipe && (length = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
        output.append(buffer, length);
    return output;
}

// Asks done every 100 ms until it holds or the time is up; returns done().
bool Poll(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

// A shell command that runs program in dir through launch.exe, which keeps
// the exact command line and writes the full exit status to work/status.
std::string LaunchCommand(const std::string& program, std::string_view arguments,
                          const fs::path& dir, const fs::path& work) {
    std::ofstream cmdline(work / "cmdline", std::ios::binary);
    cmdline << '"' << WinPath(kWin64Dir / program) << '"';
    if (!arguments.empty())
        cmdline << ' ' << arguments;
    return "cd " + Quote(dir) + " && LC_ALL=C.UTF-8 " + Quote(kSourceDir / "scripts/wine-run") +
           " " + Quote(kWin64Dir / "launch.exe") + " " + Quote(WinPath(work / "status")) + " " +
           Quote(WinPath(work / "cmdline"));
}

} // namespace

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
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
    return path;
}

uint32_t RunRedirected(const std::string& program, std::string_view arguments,
                       const std::string& output, const fs::path& dir) {
    TTempDir work;
    const std::string command =
        LaunchCommand(program, arguments, dir.empty() ? work.Path() : dir, work.Path()) +
        " </dev/null " + output + " 2>/dev/null";
    // Wine may fail to start a process while its desktop comes or goes (as
    // another test's program ends): such a run never began, and is started
    // again. A run that began always leaves its status.
    std::string status;
    for (int attempt = 0; attempt < 3 && status.empty(); ++attempt) {
        std::system(command.c_str());
        status = ReadFile(work.Path() / "status");
    }
    if (status.empty())
        throw std::runtime_error(program + " did not run: " + command);
    return static_cast<uint32_t>(std::stoul(status));
}

TRunResult RunTallix(std::string_view arguments, const fs::path& dir) {
    TTempDir out;
    const uint32_t status =
        RunRedirected("tallix.exe", arguments, ">" + Quote(out.Path() / "stdout"), dir);
    return {ReadFile(out.Path() / "stdout"), status};
}

TDataTest::TDataTest() {
    a_ = Add("Data/a.txt", "abc");
    b_ = Add("Data/b.doc", "doc");
    c_ = Add("Data/Sub/c.txt", "sub file");
}

void TDataTest::RemoveLists() {
    std::vector<fs::path> lists;
    for (const auto& entry : fs::recursive_directory_iterator(dir_.Path()))
        if (entry.path().extension() == ".md5")
            lists.push_back(entry.path());
    for (const fs::path& list : lists)
        fs::remove(list);
}

// The pane's shell stays after the program so that its screen can be read.
TTmuxPane::TTmuxPane(const std::string& program, const std::string& arguments,
                     const fs::path& dir) {
    Tmux("new-session -d -s pane -x 80 -y 24 " +
         Quote(LaunchCommand(program, arguments, dir, work_.Path()) + " 2>/dev/null; sleep 600"));
}

TTmuxPane::~TTmuxPane() {
    Tmux("kill-server");
}

std::string TTmuxPane::Tmux(const std::string& arguments) {
    return Capture("tmux -u -L " + work_.Path().filename().string() + " -f /dev/null " + arguments +
                   " 2>/dev/null");
}

void TTmuxPane::SendKeys(const std::string& keys) {
    Tmux("send-keys -t pane " + keys);
}

std::string TTmuxPane::Screen() {
    std::istringstream lines(Tmux("capture-pane -p -t pane"));
    std::string screen, line;
    while (std::getline(lines, line))
        screen += line.erase(line.find_last_not_of(' ') + 1) + "\n";
    while (screen.ends_with("\n\n"))
        screen.pop_back();
    return screen;
}

bool TTmuxPane::WaitFor(const std::string& text, std::chrono::milliseconds timeout) {
    return Poll([&] { return Contains(Screen(), text); }, timeout);
}

long TTmuxPane::WaitForExit(std::chrono::milliseconds timeout) {
    std::string status;
    Poll([&] { return !(status = ReadFile(work_.Path() / "status")).empty(); }, timeout);
    return status.empty() ? -1 : std::stol(status);
}

std::string WinPath(const fs::path& path) {
    std::string result = "Z:" + fs::absolute(path).lexically_normal().string();
    for (char& c : result)
        if (c == '/')
            c = '\\';
    return result;
}

std::string ReadFile(const fs::path& path) {
    std::ostringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}

std::string ReplaceMarks(std::string text,
                         const std::vector<std::pair<std::string, std::string>>& marks) {
    for (const auto& [mark, value] : marks)
        for (size_t at; (at = text.find(mark)) != std::string::npos;)
            text.replace(at, mark.size(), value);
    return text;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string Md5sum(const fs::path& file) {
    std::string digest = Capture("md5sum -b " + Quote(file)).substr(0, 32);
    for (char& c : digest)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return digest;
}

std::string ListEntry(const fs::path& file, const std::string& shown) {
    return Md5sum(file) + " *" + shown + "\r\n";
}

bool HoldFile(const fs::path& file) {
    const std::string command = Quote(kSourceDir / "scripts/wine-run") + " " +
                                Quote(kWin64Dir / "holdfile.exe") + " " + Quote(WinPath(file)) +
                                " 8 >/dev/null 2>&1 &";
    const fs::path held = file.string() + ".held";
    if (std::system(command.c_str()) != 0 ||
        !Poll([&] { return fs::exists(held); }, std::chrono::seconds(10)))
        return false;
    fs::remove(held);
    return true;
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

TSmallVolume::TSmallVolume(uint64_t bytes) {
    const std::string options = "size=" + std::to_string(bytes);
    mounted_ = mount("tmpfs", Path().c_str(), "tmpfs", 0, options.c_str()) == 0;
}

TSmallVolume::~TSmallVolume() {
    // Lazily, so that a Wine process still holding a file cannot keep it.
    if (mounted_)
        umount2(Path().c_str(), MNT_DETACH);
}

bool TSmallVolume::FillLeaving(uint64_t bytes) {
    struct statvfs info {};
    if (statvfs(Path().c_str(), &info) != 0)
        return false;
    const uint64_t free = uint64_t(info.f_bavail) * info.f_frsize;
    if (free <= bytes)
        return false;
    AddFile("filler", std::string(free - bytes, 'f'));
    return true;
}

uint64_t BytesLost(const fs::path& file, const std::string& expected) {
    if (expected.empty())
        return fs::exists(file) ? fs::file_size(file) : 0;
    return ReadFile(file) == expected ? 0 : expected.size();
}

void TTally::Add(uint32_t status, uint32_t expected, uint64_t lost) {
    ++Runs;
    Survived += status == expected && lost == 0;
    // Above the sum of all the program's bits (up to 16384): an exception's code.
    Crashed += status > 0x7FFF;
    Lost += lost;
}

void TTally::Record(const std::string& name) const {
    const char* log = std::getenv("TALLIX_RELIABILITY_LOG");
    if (log == nullptr || *log == '\0')
        return;
    std::ofstream(log, std::ios::app)
        << name << '\t' << Runs << '\t' << Survived << '\t' << Lost << '\t' << Crashed << '\n';
}

} // namespace e2e
