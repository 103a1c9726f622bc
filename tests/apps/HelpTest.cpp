// What velmora says of itself: every command's usage asked for, the version.
#include "support/CommandRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace velmora {
namespace {

// The commands the overall usage names.
std::set<std::string> commandsListed() {
    std::string usage = test::runVelmora("--help").out;
    std::set<std::string> names;
    std::regex line("\n  velmora ([a-z-]+)");
    for (std::sregex_iterator it(usage.begin(), usage.end(), line), end; it != end; ++it)
        names.insert((*it)[1]);
    return names;
}

TEST(HelpTest, EveryCommandAnswersHelpOnStandardOutput) {
    auto names = commandsListed();
    ASSERT_GE(names.size(), 18u) << test::runVelmora("--help").out;
    for (const auto& name : names)
        for (const std::string& asked : {name + " --help", name + " -h", "help " + name}) {
            auto answer = test::runVelmora(asked);
            EXPECT_EQ(answer.status, 0) << asked;
            EXPECT_EQ(answer.out.rfind("usage: velmora " + name, 0), 0u)
                << asked << ": " << answer.out;
        }
}

TEST(HelpTest, TheVersionAndUnknownCommandsAreSaid) {
    auto version = test::runVelmora("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("velmora [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << version.out;
    auto help = test::runVelmora("help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(test::runVelmora("help help").out, help.out);
    EXPECT_NE(help.out.find("usage: velmora COMMAND"), std::string::npos);
    EXPECT_EQ(test::runVelmora("help no-such-command").status, 2);
    EXPECT_EQ(test::runVelmora("no-such-command").status, 2);
}

// Scripts and administrators run the headless commands in loops: they never load the graphical
// toolkit, which only the dialog's own module brings in. The dynamic loader's own account says
// what was loaded.
TEST(HelpTest, OnlyTheDialogLoadsTheGraphicalToolkit) {
    test::TempDir dir;
    std::string plist = dir.write("tiny.plist", "<plist version=\"1.0\"><true/></plist>");
    std::string loaded = dir / "loaded";
    auto librariesLoadedBy = [&](const std::string& arguments, const std::string& display) {
        auto result = test::runVelmora(arguments, loaded, display + " LD_DEBUG=files");
        EXPECT_EQ(result.status, 0) << arguments << "\n" << test::readFile(loaded).substr(0, 2000);
        return test::readFile(loaded);
    };
    for (const std::string& headless :
         {std::string("--help"), "plist " + plist, std::string("help print")}) {
        std::string libraries = librariesLoadedBy(headless, test::kNoDisplay);
        EXPECT_NE(libraries.find("libvelmora.so"), std::string::npos) << headless;
        EXPECT_EQ(libraries.find("libQt6"), std::string::npos) << headless;
        EXPECT_EQ(libraries.find("libvelmora-gui.so"), std::string::npos) << headless;
    }
    if (test::runVelmora("help gui").status != 0)
        GTEST_SKIP() << "this build has no graphical dialog";
    std::string dialog = librariesLoadedBy("gui --embedded --open-and-close", test::kNoDisplay);
    EXPECT_NE(dialog.find("libvelmora-gui.so"), std::string::npos);
    EXPECT_NE(dialog.find("libQt6Widgets"), std::string::npos);
}

} // namespace
} // namespace velmora
