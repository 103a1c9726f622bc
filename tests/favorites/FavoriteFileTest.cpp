#include "favorites/FavoriteFile.h"
#include "favorites/FavoriteFunctions.h"
#include "favorites/FavoriteItem.h"

#include "common/Localization.h"
#include "platform/foundation/Bundle.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

constexpr int kIot = 12;

FavoriteFile read(const std::string& path) {
    return FavoriteFile::favoriteFileWithContentsOfFile(path, kIot);
}

class ScriptGuard {
public:
    explicit ScriptGuard(int script) { FavoriteFile::setScriptOverride(script); }
    ~ScriptGuard() { FavoriteFile::setScriptOverride(std::nullopt); }
};

TEST(FavoriteFileTest, RoundTripsInEveryLegacyEncoding) {
    struct Case {
        int script;
        const char* comment;
        const char* value;
        int expectedCode;
    };
    const Case cases[] = {
        {1, "高画質", "日本語", 0}, // Japanese: Shift-JIS, code 0
        {25, "简体", "中文", 4},    // Simplified Chinese: code page 936, code 4
        {0, "plain", "ascii", 0},   // Roman and ASCII: code page 850 under code 0
        {0, "café", "naïve", 3},    // Roman, not ASCII: code page 1252, code 3
        {2, "繁體", "中文", 0},     // Traditional Chinese: Shift-JIS holds these and reads back
        {-1, "Привет", "x", 0},     // another script: Shift-JIS holds Cyrillic
        {-1, "สวัสดี", "x", -1},      // text no readable encoding holds
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        ScriptGuard script(c.script);
        FavoriteFile file;
        file.setComment(std::string(c.comment));
        file.setOptions(Dictionary{{"JB_NAME", c.value}, {"PF_TRAY", 103}, {"PF_COLLATE", true}});
        std::string path = dir / (std::to_string(c.script) + ".pfj");
        auto written = file.writeToFile(path, kIot);
        if (c.expectedCode < 0) {
            EXPECT_FALSE(written);
            EXPECT_FALSE(written.error().empty());
            continue;
        }
        ASSERT_TRUE(written) << c.script << ": " << written.error();
        FavoriteFile back = read(path);
        EXPECT_EQ(back.version(), 2);
        EXPECT_EQ(back.iotType(), kIot);
        EXPECT_EQ(back.encoding(), c.expectedCode) << c.script;
        EXPECT_EQ(back.comment(), c.comment) << c.script;
        EXPECT_EQ(back.options()->get("JB_NAME"), Value(c.value)) << c.script;
        EXPECT_EQ(back.options()->get("PF_TRAY"), Value("103"));
        EXPECT_EQ(back.options()->get("PF_COLLATE"), Value("1"));
    }
}

TEST(FavoriteFileTest, AnUnwritableFavoriteLeavesTheOldFileAlone) {
    test::TempDir dir;
    ScriptGuard script(3); // Korean
    std::string path = dir.write("keep.pfj", "2\n12\n0\nComment=old\nA=1\t\t");
    FavoriteFile file;
    file.setOptions(Dictionary{{"JB_NAME", "한국어"}});
    EXPECT_FALSE(file.writeToFile(path, kIot));
    EXPECT_EQ(test::readFile(path), "2\n12\n0\nComment=old\nA=1\t\t");
}

TEST(FavoriteFileTest, TextTheFileCannotCarryIsRefusedNotMangled) {
    struct Case {
        std::string comment, key, value;
        bool written;
    };
    // A token that fills the reader's limit leaves its delimiter to the next token, so 255,
    // 128 and 512 bytes are the most a comment, a name and a value (not the last) can hold.
    const Case cases[] = {
        {"two\nlines", "JB_NAME", "x", false},
        {"plain", "A=B", "x", false},
        {"plain", "", "x", false},
        {"plain", "JB_NAME", "tab\there", false},
        {std::string(256, 'c'), "JB_NAME", "x", false},
        {"plain", std::string(129, 'k'), "x", false},
        {"plain", "JB_NAME", std::string(513, 'v'), false},
        {std::string(255, 'c'), std::string(128, 'k'), std::string(512, 'v'), true},
        {"", "JB_NAME", "", true},
        {"a=b\tc", "line\tkey", "a=b", true}, // separators of other tokens are fine
    };
    test::TempDir dir;
    ScriptGuard script(0);
    const std::string old = "2\n12\n0\nComment=old\nA=1\t\t";
    for (const auto& c : cases) {
        std::string path = dir.write("fav.pfj", old);
        FavoriteFile file;
        file.setComment(c.comment);
        file.setOptions(Dictionary{{c.key, c.value}, {"PF_TRAY", 103}});
        auto written = file.writeToFile(path, kIot);
        std::string label = c.comment.substr(0, 12) + "|" + c.key.substr(0, 12);
        ASSERT_EQ(written.ok(), c.written) << label << " " << written.error();
        if (!written) {
            EXPECT_EQ(test::readFile(path), old) << label;
            EXPECT_FALSE(written.error().empty());
            continue;
        }
        FavoriteFile back = read(path);
        EXPECT_EQ(back.comment(), c.comment) << label;
        EXPECT_EQ(back.options()->get(c.key), Value(c.value)) << label;
    }
}

TEST(FavoriteFileTest, ExactBytesOfTheFormat) {
    test::TempDir dir;
    ScriptGuard script(0);
    FavoriteFile file;
    file.setOptions(Dictionary{{"B", "x"}, {"A", 5}});
    std::string path = dir / "f.pfj";
    ASSERT_TRUE(file.writeToFile(path, kIot));
    EXPECT_EQ(test::readFile(path), "2\n12\n0\nComment=\nB=x\t\tA=5\t\t");
}

TEST(FavoriteFileTest, VersionAndDeviceTypeRules) {
    test::TempDir dir;
    struct Case {
        const char* bytes;
        int version;
    };
    const Case cases[] = {
        {"2\n12\n0\nComment=c\nA=1\t\t", 2},
        {"1\n12\nComment=c\nA=\x93\xfa\t\t", 1},    // version 1: no language line, Shift-JIS
        {"22\n12\n0\nA=1\t\t", -1},                 // two digits
        {"3\n12\n0\nA=1\t\t", -1},                  // a newer version
        {"2\n13\n0\nA=1\t\t", -1},                  // another device type
        {"2\n012\n0\nA=1\t\t", -1},                 // three digits: the type stays 0
        {"2\n12\nx\nA=1\t\t", -1},                  // no language digit
        {"2\n12\n0\nComment=only a comment\n", -1}, // no option
        {"", -1},
    };
    for (const auto& c : cases) {
        auto file = read(dir.write("v.pfj", c.bytes));
        EXPECT_EQ(file.version(), c.version) << c.bytes;
        if (c.version < 0) {
            EXPECT_EQ(file.iotType(), 0);
            EXPECT_EQ(file.encoding(), -1);
            EXPECT_FALSE(file.options());
        }
    }
    EXPECT_EQ(read(dir.write("v1.pfj", "1\n12\nComment=c\nA=\x93\xfa\t\t")).options()->get("A"),
              Value("日"));
    EXPECT_EQ(
        FavoriteFile::favoriteFileWithContentsOfFile(dir.write("t0.pfj", "2\n012\n0\nA=1\t\t"), 0)
            .version(),
        2);
    EXPECT_EQ(read(dir / "missing.pfj").version(), -1);
}

TEST(FavoriteFileTest, TokenRules) {
    test::TempDir dir;
    auto file = read(dir.write("t.pfj", "2\n12\n3\nComment=\nEmpty=\t\tK=v\t\tLast=unterminated"));
    ASSERT_TRUE(file.isValid());
    EXPECT_EQ(file.comment(), "");
    EXPECT_EQ(file.options()->get("Empty"), Value(""));
    EXPECT_EQ(file.options()->get("K"), Value("v"));
    EXPECT_EQ(file.options()->get("Last"), Value("")); // ends the file without its TABs

    auto noComment = read(dir.write("n.pfj", "2\n12\n0\nA=1\t\tA=2\t\t"));
    EXPECT_FALSE(noComment.comment());
    EXPECT_EQ(noComment.options()->get("A"), Value("2")); // later duplicates win

    // A comment longer than 255 bytes is cut into the next token.
    std::string longComment(300, 'c');
    auto cut = read(dir.write("c.pfj", "2\n12\n0\nComment=" + longComment + "\nA=1\t\t"));
    EXPECT_EQ(cut.comment()->size(), 256u);
}

TEST(FavoriteFileTest, PathHelpersAndExports) {
    EXPECT_EQ(FavoriteFile::pathWithName(std::string("Fine Art"), std::string("/f")),
              "/f/Fine Art.pfj");
    EXPECT_FALSE(FavoriteFile::pathWithName(std::nullopt, std::string("/f")));
    EXPECT_EQ(FavoriteFile::nameWithPath("/f/Fine Art.pfj"), "Fine Art");
    EXPECT_TRUE(FavoriteFile::hasExtension("a.pfj"));
    EXPECT_FALSE(FavoriteFile::hasExtension("a.PFJ"));
    EXPECT_EQ(FavoriteNameAppendingClassic("A"), "A (Classic)");
    test::TempDir dir;
    std::string path = dir.write("x.pfj", "2\n12\n0\nComment=hello\nA=1\t\t");
    EXPECT_EQ(FavoriteCommentWithContentsOfFile(path), "hello");
    EXPECT_EQ(FavoriteDictionaryWithContentsOfFile(path)->get("A"), Value("1"));
    EXPECT_FALSE(FavoriteDictionaryWithContentsOfFile(dir / "none.pfj"));
    EXPECT_EQ(FavoriteNameWithPath(path), "x");
}

class FavoriteItemTest : public ::testing::Test {
protected:
    test::TempDir dir;
    void SetUp() override {
        dir.write(
            "B.plugin/Contents/Resources/en.lproj/Localizable.strings",
            "\"DefaultFavorite\" = \"Default Settings\"; \"CurrentSetting\" = \"Current\";"
            "\"characterSet_InvalidCharsForFavorite\" = \":*?\";"
            "\"Invalid favorite name\" = \"bad name\"; \"Invalid favorite name2\" = \"reserved\";"
            "\"Invalid favorite comment\" = \"long comment\";");
        auto bundle = Bundle::open(dir / "B.plugin");
        bundle->setPreferredLanguages({"en"});
        SetNSBundleForPrincipalBundle(bundle);
        SetNSBundleForLocalizedString(bundle);
    }
    void TearDown() override {
        SetNSBundleForPrincipalBundle(nullptr);
        SetNSBundleForLocalizedString(nullptr);
    }
};

TEST_F(FavoriteItemTest, NameRules) {
    const std::pair<std::optional<std::string>, std::optional<std::string>> cases[] = {
        {std::nullopt, std::nullopt},
        {std::string("Fine Art"), std::nullopt},
        {std::string(27, 'a'), std::nullopt},
        {std::string(28, 'a'), "bad name"},
        {std::string("日本語日本語日本語日本"), std::nullopt},     // ten characters, 20 bytes
        {std::string("日本語日本語日本語日本語日本"), "bad name"}, // 28 bytes
        {std::string(""), "bad name"},
        {std::string("   \t"), "bad name"},
        {std::string("a:b"), "bad name"}, // the localized forbidden set
        {std::string("a/b"), "bad name"}, // a file name cannot hold a slash
        {std::string(".."), "bad name"},
        {std::string(".hidden"), "bad name"},
        {std::string("two\nlines"), "bad name"},
        {std::string("tab\tname"), "bad name"},
        {std::string("esc\x1B[31m"), "bad name"},
        {std::string("abc\u202Etxt.exe"), "bad name"}, // a right-to-left override
        {std::string("zero\u200Bwidth"), "bad name"},
        {std::string("bad\xC3("), "bad name"}, // not UTF-8
        {std::string("Café Ünïcode"), std::nullopt},
        {std::string("Default Settings"), "reserved"},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(FavoriteItem::checkName(name), expected) << name.value_or("(null)");
    EXPECT_EQ(FavoriteItem::checkComment(std::string(255, 'c')), std::nullopt);
    EXPECT_EQ(FavoriteItem::checkComment(std::string(256, 'c')), "long comment");
    EXPECT_EQ(FavoriteItem::checkComment(std::nullopt), std::nullopt);
}

TEST_F(FavoriteItemTest, OrderingPutsTheBuiltInRowsFirst) {
    std::vector<FavoriteItem> items;
    FavoriteItem b("b"), a("a"), withPath("z");
    withPath.setPath(std::string("/f/a.pfj"));
    b.setPath(std::string("/f/b.pfj"));
    items = {b, FavoriteItem::defaultFavoriteItem(), withPath, FavoriteItem::currentSettingsItem()};
    std::sort(items.begin(), items.end());
    EXPECT_EQ(items[0].name(), "<Current>");
    EXPECT_EQ(items[1].name(), "Default Settings");
    EXPECT_EQ(items[2].path(), "/f/a.pfj"); // by path, although its name sorts last
    EXPECT_EQ(items[3].path(), "/f/b.pfj");
    FavoriteItem item("x");
    item.setComment(std::nullopt); // null leaves it unchanged
    item.setComment(std::string("c"));
    item.setComment(std::nullopt);
    EXPECT_EQ(item.comment(), "c");
    EXPECT_TRUE(FavoriteItem::isEqualToDefaultFavoriteName(std::string("Default Settings")));
    EXPECT_FALSE(FavoriteItem::isEqualToDefaultFavoriteName(std::nullopt));
}

} // namespace
} // namespace velmora
