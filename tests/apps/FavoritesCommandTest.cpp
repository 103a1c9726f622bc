#include "support/CommandRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(FavoritesCommandTest, SaveListShowAndDelete) {
    test::TempDir dir;
    auto velmora = [&](const std::string& args, const std::string& err = "") {
        return test::runVelmora(args, err.empty() ? dir / "err.txt" : err);
    };
    std::string options = dir.write("o.json", R"({"PF_TRAY": 103, "JB_NAME": "Broch\u00fcre"})");
    ::setenv("VELMORA_USER_LIBRARY", (dir.path() + "/lib").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir.path() + "/data").c_str(), 1);
    auto saved = velmora("favorites save 'Fine Art' --comment 'Coated' < '" + options + "'");
    EXPECT_EQ(saved.status, 0) << test::readFile(dir / "err.txt");
    auto list = velmora("favorites list");
    EXPECT_NE(list.out.find("\"name\": \"Fine Art\""), std::string::npos);
    EXPECT_NE(list.out.find("\"comment\": \"Coated\""), std::string::npos);

    std::size_t at = saved.out.find("\"path\": \"") + 9;
    std::string path = saved.out.substr(at, saved.out.find('"', at) - at);
    auto shown = velmora("favorite show '" + path + "'");
    EXPECT_EQ(shown.status, 0);
    EXPECT_NE(shown.out.find("\"JB_NAME\": \"Brochüre\""), std::string::npos);

    auto refused = velmora("favorites save 'a/b' < '" + options + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(test::readFile(dir / "err.txt").find("favorite name"), std::string::npos);

    EXPECT_EQ(velmora("favorites delete 'Fine Art'").status, 0);
    EXPECT_EQ(velmora("favorites list").out, "[]\n");
    EXPECT_EQ(velmora("favorites delete 'Fine Art'").status, 1);

    auto invalid = velmora("favorite show '" + dir.write("bad.pfj", "9\n") + "'");
    EXPECT_EQ(invalid.status, 1);
    EXPECT_NE(invalid.out.find("\"version\": -1"), std::string::npos);
    ::unsetenv("VELMORA_USER_LIBRARY");
    ::unsetenv("XDG_DATA_HOME");
}

} // namespace
} // namespace velmora
