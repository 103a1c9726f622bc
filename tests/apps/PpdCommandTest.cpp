#include "platform/foundation/PropertyList.h"
#include "platform/foundation/TextEncoding.h"

#include "support/CommandRunner.h"
#include "support/DataBlockWriter.h"
#include "support/PpdWriter.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(PpdCommandTest, PrintsOptionsInPpdOrder) {
    test::TempDir dir;
    std::string body = "*OpenGroup: General/General\n" +
                       test::pickOne("MediaType", "Média", "Plain", {{"Plain", "Ordinaire"}}) +
                       "*OpenSubGroup: Finishing/Finishing\n" + test::boolean("Collate", "True") +
                       "*CloseSubGroup: Finishing\n*CloseGroup: General\n";
    auto path = test::writePpd(dir, "p.ppd", "ISOLatin1", "French", "Presse",
                               *TextEncodings::fromUtf8(body, TextEncoding::CP1252));
    auto result = test::runVelmora("ppd '" + path + "'");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, R"json({
  "product": "(Presse)",
  "encoding": "MacRoman",
  "options": [
    {
      "keyword": "MediaType",
      "text": "Média",
      "uiType": 1,
      "default": "Plain",
      "choices": [
        {
          "keyword": "Plain",
          "text": "Ordinaire"
        }
      ]
    },
    {
      "keyword": "Collate",
      "text": "Collate",
      "uiType": 0,
      "default": true,
      "choices": [
        {
          "keyword": "True",
          "text": "On"
        },
        {
          "keyword": "False",
          "text": "Off"
        }
      ]
    }
  ]
}
)json");
    EXPECT_EQ(test::runVelmora("ppd '" + dir.write("bad.ppd", "nothing") + "'").status, 1);
}

TEST(PpdCommandTest, ListsDecodeOrFailWithNull) {
    test::TempDir dir;
    Value list(Array{Value("Tray 1"), Value("Tray 2")});
    auto path = test::writePpd(
        dir, "l.ppd", "UTF-8", "English", "Press",
        test::boolean("Collate", "True") +
            test::dataBlockLines("FeederInfoList", test::zlibCompress(*PropertyList::toXml(list))));
    auto found = test::runVelmora("ppd-list '" + path + "' FeederInfoList");
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.out, "[\n  \"Tray 1\",\n  \"Tray 2\"\n]\n");
    auto missing = test::runVelmora("ppd-list '" + path + "' StackerInfoList");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "null\n");
}

TEST(ConvertCommandTest, ConvertsJsonBothWaysAndWithATable) {
    test::TempDir dir;
    std::string input = dir.write(
        "in.json", R"({"ChgPrintPaperSizeLength": "254.00", "Punch_PunchHoles": "LeftHoles2",
        "SecPrintPassword": "1234", "Collate": true, "Copies": 3})");
    auto canonical = test::runVelmora("convert --to canonical < '" + input + "'");
    EXPECT_EQ(canonical.status, 0);
    EXPECT_NE(canonical.out.find("\"ChgPrintPaperSizeLength\": \"144000\""), std::string::npos);
    EXPECT_NE(canonical.out.find("\"Punch\": \"Left\""), std::string::npos);
    EXPECT_NE(canonical.out.find("\"Collate\": true"), std::string::npos);
    EXPECT_EQ(canonical.out.find("\"1234\""), std::string::npos); // the password is encoded

    std::string canonicalFile = dir.write("canonical.json", canonical.out);
    auto internal = test::runVelmora("convert --to internal < '" + canonicalFile + "'");
    EXPECT_NE(internal.out.find("\"SecPrintPassword\": \"1234\""), std::string::npos);
    EXPECT_NE(internal.out.find("\"Punch_PunchHoles\": \"LeftHoles2\""), std::string::npos);

    std::string table =
        dir.write("t.plist", "<plist><dict><key>KVInputSlot</key><dict><key>tagKey</key>"
                             "<string>PF_TRAY</string><key>items</key><array><dict>"
                             "<key>optionKeyword</key><string>Tray%d</string><key>tagValue</key>"
                             "<integer>100</integer></dict></array></dict></dict></plist>");
    std::string tray = dir.write("tray.json", R"({"KVInputSlot": "Tray3"})");
    auto tags =
        test::runVelmora("convert --to input-manager --table '" + table + "' < '" + tray + "'");
    EXPECT_EQ(tags.out, "{\n  \"PF_TRAY\": 103\n}\n");
    std::string tag = dir.write("tag.json", R"({"PF_TRAY": 103})");
    auto back =
        test::runVelmora("convert --to ppd-keyword --table '" + table + "' < '" + tag + "'");
    EXPECT_EQ(back.out, "{\n  \"KVInputSlot\": \"Tray3\"\n}\n");

    EXPECT_EQ(
        test::runVelmora("convert --to input-manager --table /nonexistent < '" + tray + "'").status,
        1);
    EXPECT_EQ(test::runVelmora("convert --to sideways < '" + tray + "'").status, 2);
    EXPECT_EQ(
        test::runVelmora("convert --to internal < '" + dir.write("bad.json", "{oops") + "'").status,
        1);
}

} // namespace
} // namespace velmora
