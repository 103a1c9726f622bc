#include "platform/foundation/StringTable.h"
#include "platform/foundation/Bundle.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(StringTableTest, ReadsClassicFormWithCommentsAndEscapes) {
    auto table = StringTable::parse(R"(/* A header comment
   over two lines */
"Cancel" = "Abbrechen";   // trailing comment
"quote" = "say \"hi\"\\n";
"lines" = "one\ntwo\tthree";
"unicode" = "\U00e9\U20AC";
"pair" = "\Ud83d\Ude00";
"octal" = "\101";
bare_key = bare.value;
"alone";
)");
    ASSERT_TRUE(table);
    EXPECT_EQ(*table->find("Cancel"), "Abbrechen");
    EXPECT_EQ(*table->find("quote"), "say \"hi\"\\n");
    EXPECT_EQ(*table->find("lines"), "one\ntwo\tthree");
    EXPECT_EQ(*table->find("unicode"), "é€");
    EXPECT_EQ(*table->find("pair"), "😀");
    EXPECT_EQ(*table->find("octal"), "A");
    EXPECT_EQ(*table->find("bare_key"), "bare.value");
    EXPECT_EQ(*table->find("alone"), "alone");
    EXPECT_EQ(table->find("absent"), nullptr);
}

TEST(StringTableTest, ReadsUtf16WithByteOrderMark) {
    std::u16string text = u"\"k\" = \"Größe\";";
    for (bool bigEndian : {false, true}) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t c : text) {
            char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
            bytes += bigEndian ? hi : lo;
            bytes += bigEndian ? lo : hi;
        }
        auto table = StringTable::parse(bytes);
        ASSERT_TRUE(table);
        EXPECT_EQ(*table->find("k"), "Größe");
    }
}

TEST(StringTableTest, ReadsPropertyListForm) {
    auto table = StringTable::parse(
        "<?xml version=\"1.0\"?><plist><dict><key>OK</key><string>D'accord</string>"
        "<key>n</key><integer>3</integer></dict></plist>");
    ASSERT_TRUE(table);
    EXPECT_EQ(*table->find("OK"), "D'accord");
    EXPECT_EQ(table->find("n"), nullptr); // only strings are texts
}

TEST(StringTableTest, MalformedTextNamesTheLine) {
    const char* cases[] = {"\"a\" = \"b\"",
                           "\"a\" = \"b\";\n\"c\" \"d\";",
                           "\"a\" = \"unterminated;",
                           "/* open comment",
                           "\"a\" = ;",
                           "\"x\" = \"\\Uzz00\";"};
    for (const char* text : cases) {
        std::string error;
        EXPECT_FALSE(StringTable::parse(text, &error)) << text;
        EXPECT_NE(error.find("line"), std::string::npos) << text;
    }
}

// A table in the property list form, in UTF-16 as its declaration says, reads as in UTF-8.
TEST(StringTableTest, ReadsAPropertyListInUtf16) {
    std::u16string text = u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<plist><dict>"
                          u"<key>OK</key><string>D'accord\rOui</string></dict></plist>";
    auto table = StringTable::parse(
        std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
    ASSERT_TRUE(table);
    EXPECT_EQ(*table->find("OK"), "D'accord\rOui");
}

// A table that is not text (bytes that are not UTF-8, UTF-16 with a lone surrogate or an odd
// byte count) is refused, never handed on as texts.
TEST(StringTableTest, BytesThatAreNoTextAreRefused) {
    using namespace std::string_literals;
    const std::string cases[] = {
        "\"a\" = \"caf\xE9\";"s,
        "\xFF\xFE\"\0a\0\"\0=\0\"\0\x00\xD8\"\0;\0"s,
        "\xFE\xFF\0\"\0"s,
    };
    for (const auto& bytes : cases) {
        std::string error;
        EXPECT_FALSE(StringTable::parse(bytes, &error));
        EXPECT_NE(error.find("not text"), std::string::npos) << error;
    }
}

class BundleLocalizationTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string bundlePath;

    void SetUp() override {
        bundlePath = dir / "Sample.plugin";
        dir.write("Sample.plugin/Contents/Info.plist",
                  "<plist><dict><key>CFBundleIdentifier</key><string>com.velmora.sample</string>"
                  "<key>CFBundleDevelopmentRegion</key><string>English</string></dict></plist>");
        dir.write("Sample.plugin/Contents/Resources/English.lproj/UI.strings",
                  "\"Staple\" = \"Staple\"; \"Punch\" = \"Punch\"; \"OnlyEnglish\" = \"E\";");
        dir.write("Sample.plugin/Contents/Resources/fr.lproj/UI.strings",
                  "\"Staple\" = \"Agrafer\"; \"Punch\" = \"Perforer\";");
        dir.write("Sample.plugin/Contents/Resources/de_DE.lproj/UI.strings",
                  "\"Staple\" = \"Heften\";");
        dir.write("Sample.plugin/Contents/Resources/UI.strings",
                  "\"Staple\" = \"base\"; \"Unlocalized\" = \"U\";");
        dir.write("Sample.plugin/Contents/Resources/fr.lproj/pane.plist", "<plist/>");
        dir.write("Sample.plugin/Contents/Resources/pane.plist", "<plist/>");
    }
};

TEST_F(BundleLocalizationTest, PreferredLanguageThenDevelopmentRegionThenUnlocalized) {
    Bundle bundle(bundlePath);
    EXPECT_EQ(bundle.bundleIdentifier(), "com.velmora.sample");

    bundle.setPreferredLanguages({"fr-CA"});
    EXPECT_EQ(*bundle.findLocalizedString("Staple", "UI"), "Agrafer");
    EXPECT_EQ(*bundle.findLocalizedString("OnlyEnglish", "UI"), "E");
    EXPECT_EQ(*bundle.findLocalizedString("Unlocalized", "UI"), "U");
    EXPECT_EQ(bundle.findLocalizedString("Nowhere", "UI"), nullptr);
    EXPECT_EQ(bundle.findLocalizedString("Staple", "NoSuchTable"), nullptr);

    bundle.setPreferredLanguages({"de-DE", "fr"});
    EXPECT_EQ(*bundle.findLocalizedString("Staple", "UI"), "Heften");
    EXPECT_EQ(*bundle.findLocalizedString("Punch", "UI"), "Perforer"); // second language

    bundle.setPreferredLanguages({"ja"});
    EXPECT_EQ(*bundle.findLocalizedString("Staple", "UI"), "Staple"); // development region
    EXPECT_EQ(bundle.preferredLocalizations(), (std::vector<std::string>{"English"}));
}

TEST_F(BundleLocalizationTest, ResourcesPreferTheLocalizedCopy) {
    Bundle bundle(bundlePath);
    bundle.setPreferredLanguages({"fr"});
    EXPECT_EQ(*bundle.pathForResource("pane", "plist"),
              bundlePath + "/Contents/Resources/fr.lproj/pane.plist");
    bundle.setPreferredLanguages({"en"});
    EXPECT_EQ(*bundle.pathForResource("pane", "plist"),
              bundlePath + "/Contents/Resources/pane.plist");
    EXPECT_FALSE(bundle.pathForResource("../../Info", "plist"));
    EXPECT_FALSE(bundle.pathForResource("absent", "plist"));
}

TEST_F(BundleLocalizationTest, ImagesReportTheirSize) {
    // A 1x1 PNG header with width 300 and height 120 in its IHDR chunk.
    std::string png("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x01\x2C\0\0\0\x78\x08\x06\0\0\0", 29);
    dir.write("Sample.plugin/Contents/Resources/staple.png", png);
    dir.write("Sample.plugin/Contents/Resources/broken.png", "GIF89a");
    Bundle bundle(bundlePath);
    auto image = bundle.imageNamed("staple");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 300);
    EXPECT_EQ(image->height, 120);
    EXPECT_TRUE(bundle.imageNamed("staple.png"));
    EXPECT_FALSE(bundle.imageNamed("broken"));
    EXPECT_FALSE(bundle.imageNamed("absent"));
}

TEST(BundleTest, OpenRefusesAMissingFolderAndToleratesAMissingInfoPlist) {
    test::TempDir dir;
    EXPECT_EQ(Bundle::open(dir / "missing"), nullptr);
    auto bundle = Bundle::open(dir.path());
    ASSERT_NE(bundle, nullptr);
    EXPECT_TRUE(bundle->infoDictionary().empty());
    EXPECT_TRUE(bundle->objectForInfoDictionaryKey("KVPOD").isNull());
}

} // namespace
} // namespace velmora
