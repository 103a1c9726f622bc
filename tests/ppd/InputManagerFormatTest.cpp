#include "ppd/PrintOptionConverter.h"

#include "platform/foundation/PropertyList.h"

#include "support/BinaryPlistBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <limits>

namespace velmora {
namespace {

const char* kTable = R"(<plist><dict>
<key>KVInputSlot</key><dict><key>tagKey</key><string>PF_TRAY</string><key>items</key><array>
  <dict><key>optionKeyword</key><string>Auto</string><key>tagValue</key><integer>0</integer></dict>
  <dict><key>optionKeyword</key><string>Tray%d</string><key>tagValue</key><integer>100</integer></dict></array></dict>
<key>Level</key><dict><key>tagKey</key><string>LV</string><key>items</key><array>
  <dict><key>optionKeyword</key><string>%d</string><key>tagValue</key><string>0</string></dict></array></dict>
<key>Collate</key><dict><key>tagKey</key><string>CO</string><key>tagValueType</key><string>Boolean</string></dict>
<key>Gap</key><dict><key>tagKey</key><string>GP</string><key>magnification</key><string>10</string>
  <key>format</key><string>0.0#</string></dict>
<key>Shift</key><dict><key>tagKey</key><string>SH</string><key>magnification</key><real>0.1</real></dict>
<key>Count</key><dict><key>tagKey</key><string>CT</string><key>format</key><string>#,##0</string></dict>
<key>JobName</key><dict><key>tagKey</key><string>JN</string></dict>
<key>ZRRGBColorCorrect</key><dict><key>tagKey</key><string>CL_RGB</string></dict>
<key>ZRSRGBAuto</key><dict><key>tagKey</key><string>CL_AUTO</string></dict>
<key>NoTag</key><dict><key>items</key><array/></dict>
</dict></plist>)";

class InputManagerTest : public ::testing::Test {
protected:
    test::TempDir dir;
    PrintOptionConverter converter;
    void SetUp() override {
        std::string path = dir.write("convert.plist", kTable);
        converter.setConvertTableLocator([path] { return std::optional<std::string>(path); });
    }
};

TEST_F(InputManagerTest, ValuesTranslateToTagsAndBack) {
    Dictionary ppd{{"KVInputSlot", "Tray3"}, {"Level", "Level12"}, {"Collate", "true"},
                   {"Gap", "1.25"},          {"Shift", "3"},       {"JobName", "Brochure"},
                   {"Unknown", "x"},         {"NoTag", "y"}};
    Dictionary tags = converter.toInputMgrFormat(&ppd);
    EXPECT_EQ(tags.get("PF_TRAY"), Value(103));
    EXPECT_EQ(tags.get("LV"), Value(12));
    EXPECT_EQ(tags.get("CO"), Value(true));
    EXPECT_EQ(tags.get("GP"), Value("12.5"));
    EXPECT_EQ(tags.get("SH"), Value("0.3")); // exact decimal product, not 0.30000000000000004
    EXPECT_EQ(tags.get("JN"), Value("Brochure"));
    EXPECT_EQ(tags.size(), 6u);

    Dictionary back = converter.toPpdKeywordFormat(&tags);
    EXPECT_EQ(back.get("KVInputSlot"), Value("Tray3"));
    EXPECT_EQ(back.get("Level"), Value("12"));
    EXPECT_EQ(back.get("Collate"), Value(true));
    EXPECT_EQ(back.get("Gap"), Value("1.25"));
    EXPECT_EQ(back.get("JobName"), Value("Brochure"));
}

TEST_F(InputManagerTest, ItemRulesAsATable) {
    const std::pair<Value, std::optional<Value>> toTag[] = {
        {Value("Auto"), Value(0)},
        {Value("Tray12"), Value(112)},
        {Value("Manual"), std::nullopt},
        {Value("Tray"), std::nullopt},
        // past the largest tag: none
        {Value("Tray9223372036854775807"), std::nullopt}};
    for (const auto& [in, out] : toTag) {
        auto tag = converter.inputMgrTagValue("KVInputSlot", in);
        EXPECT_EQ(tag.has_value(), out.has_value()) << in.toJson();
        if (tag && out) {
            EXPECT_EQ(*tag, *out) << in.toJson();
        }
    }
    Dictionary tags{{"CO", 2}, {"CT", 12345}, {"PF_TRAY", 0}};
    Dictionary ppd = converter.toPpdKeywordFormat(&tags);
    EXPECT_EQ(ppd.get("Collate"), Value(false)); // only 1 is true
    EXPECT_EQ(ppd.get("Count"), Value("12,345"));
    EXPECT_EQ(ppd.get("KVInputSlot"), Value("Auto"));

    // A tag below the numbered items' base by more than a number holds has no keyword.
    Dictionary lowest{{"PF_TRAY", std::numeric_limits<std::int64_t>::min()}};
    EXPECT_FALSE(converter.toPpdKeywordFormat(&lowest).contains("KVInputSlot"));
}

TEST_F(InputManagerTest, YenSignsComeBackAsBackslashes) {
    Dictionary tags{{"JN", "C:\xC2\xA5jobs\xC2\xA5"
                           "a"}};
    EXPECT_EQ(converter.toPpdKeywordFormat(&tags).get("JobName"), Value("C:\\jobs\\a"));
}

TEST_F(InputManagerTest, ExtraRulesForColorCorrectionAndSavedFiles) {
    Dictionary tags{{"CL_RGBMD", "4"}, {"CL_AUTO", true}, {"SP_SAVEFT", "2"}, {"SP_TFDPI", "0"}};
    Dictionary ppd = converter.toPpdKeywordFormat(&tags);
    EXPECT_EQ(ppd.get("ZRRGBColorCorrect"), Value("sRGBAutoAdjust"));
    EXPECT_FALSE(ppd.contains("ZRSRGBAuto"));
    EXPECT_EQ(ppd.get("ZRSaveFile"), Value("PDF600dpi"));

    const std::tuple<const char*, const char*, const char*> saves[] = {
        {"0", "1200", "None"}, {"1", "1200", "TIFF1200dpi"}, {"2", "-5", "PDF600dpi"}};
    for (const auto& [type, dpi, expected] : saves) {
        Dictionary t{{"SP_SAVEFT", type}, {"SP_TFDPI", dpi}};
        EXPECT_EQ(converter.toPpdKeywordFormat(&t).get("ZRSaveFile"), Value(expected)) << type;
    }
    Dictionary other{{"SP_SAVEFT", "7"}, {"CL_RGBMD", 9}};
    Dictionary result = converter.toPpdKeywordFormat(&other);
    EXPECT_FALSE(result.contains("ZRSaveFile"));
    EXPECT_FALSE(result.contains("ZRRGBColorCorrect"));
}

TEST_F(InputManagerTest, MissingTableGivesEmptyResults) {
    converter.setConvertTableLocator(
        [] { return std::optional<std::string>("/nonexistent.plist"); });
    Dictionary ppd{{"Collate", "True"}};
    EXPECT_TRUE(converter.toInputMgrFormat(&ppd).empty());
    EXPECT_TRUE(converter.toPpdKeywordFormat(&ppd).empty());
    EXPECT_TRUE(converter.toInputMgrFormat(nullptr).empty());
    EXPECT_EQ(ToInputMgrFormat(nullptr), nullptr);
}

TEST_F(InputManagerTest, AbsurdMagnificationsGiveNoTagAndAHostileTableNoResult) {
    dir.write("convert.plist",
              "<plist><dict><key>Gap</key><dict><key>tagKey</key><string>GP</string>"
              "<key>magnification</key><integer>9223372036854775807</integer></dict></dict>"
              "</plist>");
    Dictionary huge{{"Gap", "99999999999999999999999999.5"}};
    EXPECT_FALSE(converter.toInputMgrFormat(&huge).contains("GP")); // no 128-bit overflow
    Dictionary fits{{"Gap", "2"}};
    EXPECT_EQ(converter.toInputMgrFormat(&fits).get("GP"), Value("18446744073709551614"));

    // A binary table whose key holds a NUL character is refused, not an abort.
    test::BinaryPlistBuilder table;
    table.add(test::BinaryPlistBuilder::marker(0xD, 1) + test::BinaryPlistBuilder::bigEndian(1, 4) +
              test::BinaryPlistBuilder::bigEndian(2, 4));
    table.add(test::BinaryPlistBuilder::ascii(std::string("Gap\0", 4)));
    table.add(test::BinaryPlistBuilder::ascii("v"));
    std::string binary = table.build();
    dir.write("convert.plist", binary);
    EXPECT_TRUE(converter.toInputMgrFormat(&fits).empty());
}

TEST_F(InputManagerTest, TableIsReadAgainOnEveryCall) {
    Dictionary ppd{{"JobName", "A"}};
    EXPECT_TRUE(converter.toInputMgrFormat(&ppd).contains("JN"));
    dir.write("convert.plist", "<plist><dict><key>JobName</key><dict><key>tagKey</key><string>NEW</"
                               "string></dict></dict></plist>");
    EXPECT_TRUE(converter.toInputMgrFormat(&ppd).contains("NEW"));
}

} // namespace
} // namespace velmora
