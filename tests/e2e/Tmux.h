// A program under Wine in a real console: a detached tmux pane of a given
// size, driven with keys and read back from the screen.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace e2e {

class TTmuxPane {
public:
    // Starts program (a .exe of the win64 build) with the exact command-line
    // tail arguments in a pane of width x height, current folder workDir.
    TTmuxPane(const std::string& program, const std::string& arguments, int width, int height,
              const std::filesystem::path& workDir);
    ~TTmuxPane();
    TTmuxPane(const TTmuxPane&) = delete;
    TTmuxPane& operator=(const TTmuxPane&) = delete;

    // Keys in tmux's send-keys names ("a", "Escape", "Space", "C-c").
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
    std::string socket_;
    std::filesystem::path work_;
};

} // namespace e2e
