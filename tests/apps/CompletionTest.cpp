// What bash offers for velmora at the press of Tab, with the completion the package installs.
#include "support/CommandRunner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace velmora {
namespace {

constexpr const char* kBashCompletion = "/usr/share/bash-completion/bash_completion";

// The words bash would offer for the command line, the cursor at its end.
std::string offered(const std::string& line) {
    std::string words = line.back() == ' ' ? line + "''" : line;
    std::string script =
        "source " + std::string(kBashCompletion) + "; source " + VELMORA_SOURCE_DIR +
        "/resources/completion/velmora; COMP_WORDS=(" + words +
        "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMP_LINE=" + test::shellQuote(line) +
        "; COMP_POINT=${#COMP_LINE}; _velmora; " + "echo \"${COMPREPLY[*]}\"";
    std::string path = std::filesystem::path(VELMORA_EXECUTABLE).parent_path().string();
    std::string command = "env PATH=" + test::shellQuote(path) + ":\"$PATH\" bash -c " +
                          test::shellQuote(script) + " 2>&1";
    std::string out = test::runShell(command).out;
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

TEST(CompletionTest, TabOffersTheCommandsAndTheOptionsEachTakes) {
    if (!std::filesystem::exists(kBashCompletion))
        GTEST_SKIP() << "bash-completion is not installed here";
    struct Case {
        std::string line, offered;
    } cases[] = {
        {"velmora pri", "print"},
        {"velmora print --sa", "--save-defaults"},
        {"velmora panel --answer ", "yes no"},
        {"velmora favorites ",
         "list save delete rename comment import export tree export-instance"},
        {"velmora help refresh", "refresh-lists"},
        {"velmora hold ", "on off -d"},
        {"velmora convert --to ppd", "ppd-keyword"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(offered(c.line), c.offered) << c.line;
}

} // namespace
} // namespace velmora
