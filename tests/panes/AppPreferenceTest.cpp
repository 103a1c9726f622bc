#include "panes/AppPreference.h"

#include "common/Localization.h"
#include "favorites/FavoriteFile.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileSystem.h"
#include "platform/ui/PopUpButton.h"

#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>

namespace velmora {
namespace {

class AppPreferenceTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::unique_ptr<test::ScopedEnv> user, system;
    AppPreference preference;

    void SetUp() override {
        dir.write("B.plugin/Contents/Info.plist",
                  "<plist><dict><key>CFBundleName</key><string>Press</string></dict></plist>");
        dir.write(
            "B.plugin/Contents/Resources/miscellaneous.plist",
            "<plist><dict><key>Press</key><dict><key>productFolderName</key><string>Flow</string>"
            "<key>subFolderName</key><string>P1</string><key>convertTableFileName</key>"
            "<string>Table</string></dict></dict></plist>");
        SetNSBundleForPrincipalBundle(Bundle::open(dir / "B.plugin"));
        user = std::make_unique<test::ScopedEnv>("VELMORA_USER_LIBRARY", (dir / "user").c_str());
        system =
            std::make_unique<test::ScopedEnv>("VELMORA_SYSTEM_LIBRARY", (dir / "machine").c_str());
    }
    void TearDown() override { SetNSBundleForPrincipalBundle(nullptr); }
};

TEST_F(AppPreferenceTest, InformationAndFolderLayout) {
    EXPECT_EQ(preference.convertTableFileNameWithAppName(), "Table");
    EXPECT_EQ(preference.panesTreeFileNameWithAppName(), std::nullopt);
    EXPECT_EQ(preference.convertTableFileNameWithAppName(std::string("Other")), std::nullopt);
    std::string favorites = dir / "user/Preferences/TORVALEN/Flow/P1/favorite";
    EXPECT_EQ(preference.favoriteFolderPathArray(false), (std::vector<std::string>{favorites}));
    EXPECT_FALSE(FileSystem::exists(favorites)); // not created without the flag
    EXPECT_EQ(preference.profileFolderPathArray(false).front(),
              dir / "machine/Preferences/TORVALEN/Flow/P1/profile");
    mode_t old = ::umask(077);
    preference.favoriteFolderPathArray(true);
    ::umask(old);
    struct stat st {};
    ASSERT_EQ(::stat(favorites.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0775u);
    EXPECT_EQ(AppPreference::destinationIotType(), 12);
    EXPECT_EQ(AppPreference::stringEncodingForServer(), 4);
}

TEST_F(AppPreferenceTest, UnreadableProfilesAreNotOffered) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "every file is readable for the superuser";
    std::string folder = preference.profileFolderPathArray(true).front();
    std::ofstream(folder + "/Open.cps") << "A=1\r\n";
    std::ofstream(folder + "/Locked.cps") << "A=1\r\n";
    ::chmod((folder + "/Locked.cps").c_str(), 0);
    ui::PopUpButton popUp;
    preference.buildProfilePopup(popUp, std::nullopt);
    ASSERT_EQ(popUp.numberOfItems(), 3); // none, separator, Open
    EXPECT_EQ(popUp.itemAtIndex(2)->title(), "Open");
}

TEST_F(AppPreferenceTest, WithoutBothFolderNamesThereIsNoFolder) {
    dir.write("B.plugin/Contents/Resources/miscellaneous.plist",
              "<plist><dict><key>Press</key><dict><key>productFolderName</key><string>Flow</string>"
              "</dict></dict></plist>");
    SetNSBundleForPrincipalBundle(Bundle::open(dir / "B.plugin"));
    EXPECT_TRUE(preference.favoriteFolderPathArray(true).empty());
    EXPECT_TRUE(preference.arrayForFavoritePath().empty());
    EXPECT_FALSE(FileSystem::exists(dir / "user/Preferences/TORVALEN/Flow/favorite"));
    EXPECT_FALSE(preference.saveFavoriteOnFavoriteDirectory(std::string("A"), std::nullopt,
                                                            Dictionary{{"a", "1"}}));
}

TEST_F(AppPreferenceTest, InvisibleFavoritesAreNotListed) {
    std::string folder = preference.favoriteFolderPathArray(true).front();
    std::ofstream(folder + "/shown.pfj") << "x";
    std::string invisible = folder + "/invisible.pfj";
    std::ofstream(invisible) << "x";
    if (!FileSystem::setInvisible(invisible, true))
        GTEST_SKIP() << "this file system keeps no extended attributes";
    EXPECT_EQ(preference.arrayForFavoritePath(), std::vector<std::string>{folder + "/shown.pfj"});
}

TEST_F(AppPreferenceTest, FavoriteListingSkipsHiddenFoldersAndOtherExtensions) {
    std::string folder = preference.favoriteFolderPathArray(true).front();
    for (const char* name : {"b.pfj", "a.pfj", ".hidden.pfj", "upper.PFJ", "notes.txt"})
        std::ofstream(folder + "/" + name) << "2\n12\n0\nA=1\t\t";
    FileSystem::createFolder(folder + "/folder.pfj", 0775);
    std::filesystem::create_symlink(folder + "/gone.pfj", folder + "/dangling.pfj");
    auto files = preference.arrayForFavoritePath();
    std::vector<std::string> expected = {folder + "/a.pfj", folder + "/b.pfj"};
    EXPECT_EQ(files, expected);

    ui::PopUpButton popUp;
    preference.buildFavoritePopup(popUp);
    ASSERT_EQ(popUp.numberOfItems(), static_cast<int>(2 + expected.size()));
    EXPECT_EQ(popUp.itemAtIndex(0)->representedObject(), Value(""));
    EXPECT_TRUE(popUp.itemAtIndex(1)->isSeparatorItem());
    EXPECT_EQ(popUp.itemAtIndex(2)->title(), "a");
    EXPECT_EQ(popUp.itemAtIndex(2)->representedObject(), Value(folder + "/a.pfj"));
    EXPECT_EQ(popUp.indexOfSelectedItem(), 0);
}

TEST_F(AppPreferenceTest, SavingAFavoriteWritesIntoTheFirstFolder) {
    auto path = preference.saveFavoriteOnFavoriteDirectory(
        std::string("Brochure"), std::string("c"), Dictionary{{"PF_TRAY", 103}});
    ASSERT_TRUE(path) << path.error();
    EXPECT_EQ(*path, preference.favoriteFolderPathArray(false).front() + "/Brochure.pfj");
    EXPECT_TRUE(FavoriteFile::favoriteFileWithContentsOfFile(*path, 12).isValid());
    // What is not written says why.
    auto unnamed =
        preference.saveFavoriteOnFavoriteDirectory(std::nullopt, std::nullopt, Dictionary{});
    EXPECT_FALSE(unnamed);
    EXPECT_EQ(unnamed.error(), "a favorite needs a name");
    auto unwritable = preference.saveFavoriteOnFavoriteDirectory(
        std::string("Memo"), std::nullopt, Dictionary{{"PF_COMMENT", std::string(600, 'x')}});
    EXPECT_FALSE(unwritable);
    EXPECT_THAT(unwritable.error(), ::testing::HasSubstr("cannot be stored as it is"));
    EXPECT_FALSE(
        FileSystem::exists(preference.favoriteFolderPathArray(false).front() + "/Memo.pfj"));
}

TEST_F(AppPreferenceTest, ProfilesKeepEverythingAfterTheFirstEquals) {
    std::string folder = preference.profileFolderPathArray(true).front();
    std::string path = folder + "/Gloss.cps";
    std::ofstream(path)
        << "Mode=fine\r\nFormula=a=b+c\r\nno separator\r\n=novalue\r\nMode=coarse\r\n";
    auto profile = preference.profileDictionaryWithContentsOfFile(path);
    ASSERT_TRUE(profile);
    EXPECT_EQ(*profile, (Dictionary{{"Mode", "coarse"}, {"Formula", "a=b+c"}}));

    std::string sjis = folder + "/Japanese.cps";
    std::ofstream(sjis) << "Name=\x93\xfa\x96\x7b\r\n"; // 日本 in Shift-JIS
    EXPECT_EQ(preference.profileDictionaryWithContentsOfFile(sjis)->get("Name"), Value("日本"));
    EXPECT_THROW(preference.profileDictionaryWithContentsOfFile(folder + "/missing.cps"),
                 FileNotFoundError);
    EXPECT_FALSE(preference.profileDictionaryWithContentsOfFile(std::string("")));

    std::string marked = folder + "/Marked.cps";
    std::ofstream(marked) << "\xEF\xBB\xBFMode=fine\r\n"; // UTF-8 with a byte-order mark
    EXPECT_EQ(*preference.profileDictionaryWithContentsOfFile(marked),
              (Dictionary{{"Mode", "fine"}}));

    ui::PopUpButton popUp;
    preference.buildProfilePopup(popUp, std::string("Gloss"));
    EXPECT_EQ(popUp.itemAtIndex(0)->representedObject(), Value(""));
    EXPECT_EQ(popUp.titleOfSelectedItem(), "Gloss");
    EXPECT_TRUE(popUp.itemAtIndex(1)->isSeparatorItem());
}

} // namespace
} // namespace velmora
