#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace velmora::test {

// One argument for the shell, whatever it holds.
inline std::string shellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct CommandResult {
    int status = -1;
    std::string out; // standard output
};

// Runs a shell command line and collects its standard output and exit status (-1 when it did
// not exit by itself, or could not be started).
inline CommandResult runShell(const std::string& command) {
    CommandResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0)
        result.out.append(buf.data(), n);
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// Runs the velmora executable with a shell-quoted argument string (standard error goes to
// err_file when given, else is discarded) and collects its output and exit status.
// A desktop's display would turn velmora print into the graphical dialog, waiting for a person:
// velmora runs without one, unless the test asks for a display drawn by Qt's offscreen platform.
inline constexpr const char* kNoDisplay = "-u DISPLAY -u WAYLAND_DISPLAY";
inline constexpr const char* kOffscreenDisplay = "DISPLAY=:velmora-test QT_QPA_PLATFORM=offscreen";

inline CommandResult runVelmora(const std::string& arguments, const std::string& errFile = "",
                                const std::string& display = kNoDisplay) {
    std::string command = "env " + display + " " + std::string(VELMORA_EXECUTABLE) + " " +
                          arguments + " 2>" + (errFile.empty() ? "/dev/null" : errFile);
    return runShell(command);
}

} // namespace velmora::test
