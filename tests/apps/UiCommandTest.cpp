#include "support/CommandRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

const char* kSettings = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>MediaType</key><dict><key>mainKeyword</key><string>MediaType</string>
  <key>control_type</key><string>PopupButton</string><key>text</key><string>Media</string>
  <key>default</key><string>Plain</string><key>choices</key><array>
  <dict><key>choice</key><string>Plain</string><key>text</key><string>Plain paper</string></dict>
  <dict><key>choice</key><string>Transparency</string><key>text</key><string>Transparency</string></dict></array></dict>
<key>Duplex</key><dict><key>mainKeyword</key><string>Duplex</string>
  <key>control_type</key><string>PopupButton</string><key>text</key><string>Duplex</string>
  <key>default</key><string>None</string><key>choices</key><array>
  <dict><key>choice</key><string>None</string><key>text</key><string>Off</string></dict>
  <dict><key>choice</key><string>DuplexNoTumble</string><key>text</key><string>Long edge</string></dict></array>
  <key>conflict</key><dict><key>DuplexNoTumble</key><dict><key>MediaType</key><dict>
  <key>Transparency</key><dict><key>restore</key><string>Plain</string></dict></dict></dict></dict></dict>
<key>Copies</key><dict><key>mainKeyword</key><string>Copies</string>
  <key>control_type</key><string>TextField_number</string><key>text</key><string>Copies</string>
  <key>min</key><string>1</string><key>max</key><string>999</string><key>default</key><string>1</string></dict>
</dict></plist>)";

// The value of a control in the command's JSON, found by its position in the file.
std::string valueOf(const std::string& json, const std::string& keyword) {
    std::size_t at = json.find("\"mainKeyword\": \"" + keyword + "\"");
    std::size_t value = json.find("\"value\": ", at);
    std::size_t end = json.find_first_of(",\n", value);
    return json.substr(value + 9, end - value - 9);
}

TEST(UiCommandTest, SetsActAsTheUserAndAlertsAreAnswered) {
    test::TempDir dir;
    std::string file = dir.write("ui.plist", kSettings);
    auto yes = test::runVelmora(
        "ui '" + file +
        "' --set MediaType=Transparency --set Duplex=DuplexNoTumble --set Copies=12");
    EXPECT_EQ(yes.status, 0);
    EXPECT_EQ(valueOf(yes.out, "MediaType"), "\"Plain\"");
    EXPECT_EQ(valueOf(yes.out, "Duplex"), "\"DuplexNoTumble\"");
    EXPECT_EQ(valueOf(yes.out, "Copies"), "\"12\"");
    EXPECT_NE(yes.out.find("\"answer\": \"Yes\""), std::string::npos);
    EXPECT_NE(yes.out.find("[Media]:[Plain paper]"), std::string::npos);

    auto no = test::runVelmora(
        "ui '" + file + "' --set MediaType=Transparency --set Duplex=DuplexNoTumble --answer no");
    EXPECT_EQ(no.status, 0);
    EXPECT_EQ(valueOf(no.out, "MediaType"), "\"Transparency\"");
    EXPECT_EQ(valueOf(no.out, "Duplex"), "\"None\"");
    EXPECT_NE(no.out.find("\"answer\": \"No\""), std::string::npos);
}

TEST(UiCommandTest, ValuesTheControlCannotTakeAreClearErrors) {
    test::TempDir dir;
    std::string file = dir.write("ui.plist", kSettings);
    const std::pair<const char*, const char*> cases[] = {
        {"Duplex=Triplex", "the menu offers None, DuplexNoTumble"},
        {"Copies=5000", "refused"},
        {"Nothing=1", "no control edits \"Nothing\""},
    };
    for (const auto& [set, message] : cases) {
        std::string err = dir / "err.txt";
        auto result = test::runVelmora("ui '" + file + "' --set " + set, err);
        EXPECT_EQ(result.status, 1) << set;
        EXPECT_NE(test::readFile(err).find(message), std::string::npos) << test::readFile(err);
    }
}

TEST(UiCommandTest, MalformedDescriptionsAreNamed) {
    test::TempDir dir;
    std::string file = dir.write(
        "ui.plist",
        "<plist><dict><key>Staple</key><dict><key>mainKeyword</key><string>Staple</string>"
        "<key>control_type</key><string>CheckBox</string>"
        "<key>choices</key><array><dict><key>choice</key><string>On</string></dict></array>"
        "<key>other_controls</key><array><string>Ghost</string></array></dict>"
        "<key>Broken</key><string>not a description</string></dict></plist>");
    std::string err = dir / "err.txt";
    auto result = test::runVelmora("ui '" + file + "'", err);
    EXPECT_EQ(result.status, 1);
    std::string messages = test::readFile(err);
    EXPECT_NE(messages.find("Staple: \"choices\" of a CheckBox must hold exactly two choices"),
              std::string::npos);
    EXPECT_NE(messages.find("Staple: \"other_controls\" names \"Ghost\""), std::string::npos);
    EXPECT_NE(messages.find("Broken: \"(description)\" must be a dictionary"), std::string::npos);
    EXPECT_NE(result.out.find("\"problems\""), std::string::npos);
}

} // namespace
} // namespace velmora
