#include "Tmux.h"

#include "Harness.h"

#include <array>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <memory>
#include <thread>
#include <unistd.h>

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

std::string Capture(const std::string& command) {
    std::string output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::array<char, 4096> buffer;
    while (pipe && std::fgets(buffer.data(), buffer.size(), pipe.get()))
        output += buffer.data();
    return output;
}

std::atomic<int> paneCounter{0};

} // namespace

TTmuxPane::TTmuxPane(const std::string& program, const std::string& arguments, int width,
                     int height, const fs::path& workDir) {
    socket_ = "tallix-e2e-" + std::to_string(getpid()) + "-" + std::to_string(++paneCounter);
    work_ = fs::temp_directory_path() / socket_;
    fs::create_directories(work_);
    std::ofstream(work_ / "cmdline", std::ios::binary)
        << "\"" << WinPath(kWin64Dir / program) << "\" " << arguments;
    const std::string run = "cd " + Quote(workDir.string()) + " && LC_ALL=C.UTF-8 " +
                            Quote((kSourceDir / "scripts/wine-run").string()) + " " +
                            Quote((kWin64Dir / "launch.exe").string()) + " " +
                            Quote(WinPath(work_ / "status")) + " " +
                            Quote(WinPath(work_ / "cmdline")) + " 2>/dev/null; sleep 600";
    Tmux("new-session -d -s pane -x " + std::to_string(width) + " -y " + std::to_string(height) +
         " " + Quote(run));
}

TTmuxPane::~TTmuxPane() {
    Tmux("kill-server");
    std::error_code ignored;
    fs::remove_all(work_, ignored);
}

std::string TTmuxPane::Tmux(const std::string& arguments) {
    return Capture("tmux -u -L " + socket_ + " -f /dev/null " + arguments + " 2>/dev/null");
}

void TTmuxPane::SendKeys(const std::string& keys) {
    Tmux("send-keys -t pane " + keys);
}

std::string TTmuxPane::Screen() {
    std::string screen = Tmux("capture-pane -p -t pane");
    std::string result;
    size_t start = 0;
    while (start < screen.size()) {
        size_t end = screen.find('\n', start);
        if (end == std::string::npos)
            end = screen.size();
        std::string line = screen.substr(start, end - start);
        line.erase(line.find_last_not_of(' ') + 1);
        result += line + "\n";
        start = end + 1;
    }
    while (result.size() >= 2 && result.compare(result.size() - 2, 2, "\n\n") == 0)
        result.pop_back();
    return result;
}

bool TTmuxPane::WaitFor(const std::string& text, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (Screen().find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

long TTmuxPane::WaitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string status = ReadFile(work_ / "status");
        if (!status.empty())
            return std::stol(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return -1;
}

} // namespace e2e
