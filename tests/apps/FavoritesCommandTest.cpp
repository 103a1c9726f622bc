#include "support/CommandRunner.h"
#include "support/TempDir.h"

#include "favorites/FavoriteFolderLock.h"
#include "platform/foundation/JsonReader.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

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
    // A file that is not there is said to be missing, not invalid, and nothing is shown of it.
    auto missing = test::runVelmora("favorite show " + (dir / "nope.pfj"), dir / "err");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(test::readFile(dir / "err").find("nope.pfj: no such file"), std::string::npos);
    ::unsetenv("VELMORA_USER_LIBRARY");
    ::unsetenv("XDG_DATA_HOME");
}

TEST(FavoritesCommandTest, WindowCommandsRenameCommentImportExportAndTree) {
    test::TempDir dir;
    test::ScopedEnv library("VELMORA_USER_LIBRARY", (dir.path() + "/lib").c_str());
    test::ScopedEnv trash("XDG_DATA_HOME", (dir.path() + "/data").c_str());
    auto velmora = [&](const std::string& args) { return test::runVelmora(args, dir / "err.txt"); };
    std::string options = dir.write("o.json", R"({"PF_TRAY": 103})");
    ASSERT_EQ(velmora("favorites save Proofs --comment Matte < '" + options + "'").status, 0);
    ASSERT_EQ(velmora("favorites save Flyer < '" + options + "'").status, 0);

    EXPECT_EQ(velmora("favorites rename Proofs 'Final proofs'").status, 0)
        << test::readFile(dir / "err.txt");
    EXPECT_EQ(velmora("favorites comment 'Final proofs' 'Matte, 170 g'").status, 0);
    std::string exported = dir / "out.pfj";
    EXPECT_EQ(velmora("favorites export 'Final proofs' '" + exported + "'").status, 0);
    EXPECT_NE(velmora("favorite show '" + exported + "'").out.find("\"comment\": \"Matte, 170 g\""),
              std::string::npos);

    struct Refusal {
        std::string command, message;
    } refusals[] = {
        {"favorites rename Flyer 'Final proofs'", "already exists"},
        {"favorites rename Nothing Other", "no favorite named \"Nothing\""},
        {"favorites rename Flyer 'a/b'", "favorite name"},
        {"favorites import '" + dir.write("Broken.pfj", "x") + "'", "could not be read"},
    };
    for (const auto& r : refusals) {
        EXPECT_EQ(velmora(r.command).status, 1) << r.command;
        EXPECT_NE(test::readFile(dir / "err.txt").find(r.message), std::string::npos)
            << r.command << ": " << test::readFile(dir / "err.txt");
    }
    std::string other = dir / "Poster.pfj";
    std::filesystem::copy_file(exported, other);
    EXPECT_EQ(velmora("favorites import '" + other + "'").status, 0);
    auto list = velmora("favorites list").out;
    for (const char* name : {"\"Final proofs\"", "\"Flyer\"", "\"Poster\""})
        EXPECT_NE(list.find(name), std::string::npos) << list;
    EXPECT_EQ(list.find("\"Proofs\""), std::string::npos);

    auto tree = velmora("favorites tree Flyer");
    EXPECT_EQ(tree.status, 0);
    EXPECT_NE(tree.out.find("\"children\""), std::string::npos);
    EXPECT_NE(tree.out.find("\"title\": \"Basic Settings\""), std::string::npos) << tree.out;
}

// A command that changes the favorites waits while another holds the folder, and then works on
// what the other left: a comment of a favorite renamed meanwhile is refused, not written back
// under the old name beside the new one.
// The rows of a favorite's settings tree: "Title: Choice" → whether it differs from the default,
// with the pane each is under.
std::map<std::string, std::pair<std::string, bool>> optionRows(const Value& tree,
                                                               const std::string& pane = "") {
    std::map<std::string, std::pair<std::string, bool>> rows;
    const Dictionary* node = tree.dictionary();
    if (!node)
        return rows;
    const Array* children = node->get("children").array();
    if (children && children->empty() && !pane.empty())
        rows[node->get("title").stringValue()] = {pane, node->get("differs").boolValue()};
    for (const Value& child : children ? *children : Array())
        for (auto& row : optionRows(child, node->get("title").stringValue()))
            rows.insert(row);
    return rows;
}

// Two favorites that change different options show different trees: each its own settings,
// and what differs from the defaults marked, with its pane.
TEST(FavoritesCommandTest, TheTreeShowsWhatAFavoriteHoldsAndMarksWhatDiffers) {
    test::TempDir dir;
    test::ScopedEnv library("VELMORA_USER_LIBRARY", (dir.path() + "/lib").c_str());
    test::ScopedEnv trash("XDG_DATA_HOME", (dir.path() + "/data").c_str());
    auto velmora = [&](const std::string& args) { return test::runVelmora(args, dir / "err.txt"); };
    // Saved as a person saves them, from the panel.
    ASSERT_EQ(velmora("panel --set ColorMode=Gray --save-favorite Grey").status, 0)
        << test::readFile(dir / "err.txt");
    ASSERT_EQ(velmora("panel --set DocumentOrientation=Landscape --save-favorite Landscape").status,
              0);
    auto treeOf = [&](const std::string& name) {
        auto run = velmora("favorites tree " + name);
        EXPECT_EQ(run.status, 0) << test::readFile(dir / "err.txt");
        auto parsed = JsonReader::parse(run.out);
        return parsed ? *parsed : Value();
    };
    Value grey = treeOf("Grey"), landscape = treeOf("Landscape");
    auto greyRows = optionRows(grey), landscapeRows = optionRows(landscape);
    ASSERT_FALSE(greyRows.empty()) << grey.toJson(2);
    EXPECT_NE(grey, landscape);
    std::vector<std::string> greyDiffers, landscapeDiffers;
    for (const auto& [row, place] : greyRows)
        if (place.second)
            greyDiffers.push_back(place.first + " / " + row);
    for (const auto& [row, place] : landscapeRows)
        if (place.second)
            landscapeDiffers.push_back(place.first + " / " + row);
    EXPECT_EQ(greyDiffers,
              std::vector<std::string>{"Basic Settings / Output Color: Black and White"})
        << grey.toJson(2);
    EXPECT_EQ(landscapeDiffers, std::vector<std::string>{"Basic Settings / Orientation: Landscape"})
        << landscape.toJson(2);
    // The pane that holds a differing option is marked too.
    const Array& panes = *grey.dictionary()->get("children").array();
    auto basic = std::find_if(panes.begin(), panes.end(), [](const Value& pane) {
        return pane.dictionary()->get("title") == Value("Basic Settings");
    });
    ASSERT_NE(basic, panes.end());
    EXPECT_EQ(basic->dictionary()->get("differs"), Value(true));
}

TEST(FavoritesCommandTest, ACommandWaitsForAnotherAndSeesWhatItChanged) {
    test::TempDir dir;
    test::ScopedEnv library{"VELMORA_USER_LIBRARY", (dir / "lib").c_str()};
    test::ScopedEnv data{"XDG_DATA_HOME", (dir / "data").c_str()};
    std::string options = dir.write("o.json", R"({"PF_TRAY": 103})");
    std::string folder = dir / "lib/Preferences/TORVALEN/VelmoraFlow/Press/favorite";
    ASSERT_EQ(test::runVelmora("favorites save A < '" + options + "'").status, 0);

    std::atomic<bool> finished = false;
    test::CommandResult commented;
    std::thread comment;
    {
        FavoriteFolderLock other(folder);
        ASSERT_TRUE(other.held()) << other.error();
        comment = std::thread([&] {
            commented = test::runVelmora("favorites comment A noted", dir / "err");
            finished = true;
        });
        std::this_thread::sleep_for(std::chrono::seconds(3));
        EXPECT_FALSE(finished) << "the comment did not wait for the folder";
        std::filesystem::rename(folder + "/A.pfj", folder + "/B.pfj"); // the other's rename
    }
    comment.join();
    EXPECT_EQ(commented.status, 1);
    EXPECT_NE(test::readFile(dir / "err").find("no favorite named \"A\""), std::string::npos)
        << test::readFile(dir / "err");
    EXPECT_FALSE(std::filesystem::exists(folder + "/A.pfj"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/B.pfj"));
}

} // namespace
} // namespace velmora
