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

// Runs the velmora executable with a shell-quoted argument string (standard error goes to
// err_file when given, else is discarded) and collects its output and exit status.
inline CommandResult runVelmora(const std::string& arguments, const std::string& errFile = "") {
    // A desktop's display would turn velmora print into the graphical dialog, waiting for a
    // person; the graphical tests ask for Qt's offscreen platform instead.
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY " + std::string(VELMORA_EXECUTABLE) +
                          " " + arguments + " 2>" + (errFile.empty() ? "/dev/null" : errFile);
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

} // namespace velmora::test
