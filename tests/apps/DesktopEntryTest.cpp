// The desktop entry that starts the graphical dialog from a desktop's menu.
#include "support/CommandRunner.h"
#include "support/PrivateCupsd.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

namespace velmora {
namespace {

using ::testing::HasSubstr;

TEST(DesktopEntryTest, IsValidAndStartsACommandVelmoraHas) {
    std::string said = test::PrivateCupsd::run(
        "desktop-file-validate " + std::string(VELMORA_DESKTOP_ENTRY) + " 2>&1; echo $?");
    EXPECT_EQ(said, "0\n") << said;
    std::smatch exec;
    std::string entry = test::readFile(VELMORA_DESKTOP_ENTRY);
    ASSERT_TRUE(std::regex_search(entry, exec, std::regex("\nExec=velmora (\\w+) %F\n"))) << entry;
    auto help = test::runVelmora(exec[1].str() + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, HasSubstr("--job ID"));
}

} // namespace
} // namespace velmora
