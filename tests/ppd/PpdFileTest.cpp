#include "ppd/PpdFile.h"

#include "support/PpdWriter.h"

#include <gtest/gtest.h>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

namespace velmora {
namespace {

using test::boolean;
using test::pickOne;

struct EncodingCase {
    const char* declared;
    const char* version;
    TextEncoding fileEncoding;
    const char* mediaText; // UTF-8
    const char* product;   // UTF-8, as read back
    PpdEncoding expected;
};

// Real-world shapes: German and French PPDs in ISOLatin1, Japanese in Shift-JIS, Simplified
// Chinese with "None", Korean in UTF-8.
TEST(PpdFileTest, TextsOfEveryEncodingReadOnce) {
    const EncodingCase cases[] = {
        {"ISOLatin1", "German", TextEncoding::CP1252, "Papierstärke", "Druckmaschine",
         PpdEncoding::MacRoman},
        {"ISOLatin1", "French", TextEncoding::CP1252, "Type de média", "Presse",
         PpdEncoding::MacRoman},
        {"JIS83-RKSJ", "Japanese", TextEncoding::ShiftJIS, "用紙種類", "印刷機",
         PpdEncoding::MacJapanese},
        {"None", "Chinese", TextEncoding::CP936, "纸张类型", "打印机",
         PpdEncoding::MacSimplifiedChinese},
        {"UTF-8", "Korean", TextEncoding::UTF8, "용지 종류", "프린터", PpdEncoding::UTF8},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        std::string body = pickOne("MediaType", c.mediaText, "Plain",
                                   {{"Plain", c.mediaText}, {"Heavy", "Heavy"}});
        std::string bytes = *TextEncodings::fromUtf8(body, c.fileEncoding);
        std::string product = *TextEncodings::fromUtf8(c.product, c.fileEncoding);
        auto path = test::writePpd(dir, std::string(c.declared) + c.version + ".ppd", c.declared,
                                   c.version, product, bytes);
        auto ppd = PpdFileExt::openFile(path);
        ASSERT_NE(ppd, nullptr) << c.declared;
        EXPECT_EQ(ppd->declaredEncoding(), c.expected) << c.declared;
        EXPECT_EQ(ppd->mainAlias("MediaType"), c.mediaText) << c.declared;
        EXPECT_EQ(ppd->optionAlias("MediaType", "Plain"), c.mediaText) << c.declared;
        EXPECT_EQ(ppd->product(), "(" + std::string(c.product) + ")") << c.declared;
    }
}

TEST(PpdFileTest, IsoLatin1ProductReadsAsMacRoman) {
    test::TempDir dir;
    // 0xE9 is "é" in ISO 8859-1 and "È" in Mac OS Roman.
    auto path = test::writePpd(dir, "fr.ppd", "ISOLatin1", "French", "Presse \xE9l\xE9gante",
                               boolean("Collate", "True"));
    auto ppd = PpdFileExt::openFile(path);
    ASSERT_NE(ppd, nullptr);
    EXPECT_EQ(ppd->product(), "(Presse ÈlÈgante)");
}

TEST(PpdFileTest, UnknownEncodingsFallBackToAscii) {
    test::TempDir dir;
    std::string korean = *TextEncodings::fromUtf8("용지", TextEncoding::CP949);
    auto path = test::writePpd(dir, "ko.ppd", "None", "Korean", "Press",
                               pickOne("MediaType", korean, "Plain", {{"Plain", korean}}));
    auto ppd = PpdFileExt::openFile(path);
    ASSERT_NE(ppd, nullptr);
    EXPECT_EQ(ppd->declaredEncoding(), PpdEncoding::ASCII);
    EXPECT_EQ(ppd->mainAlias("MediaType"), std::nullopt);
    EXPECT_EQ(ppd->optionAliases("MediaType"),
              (std::vector<std::string>{"Plain"})); // the keyword stands in
    EXPECT_EQ(ppd->product(), "(Press)");
}

class PpdQueryTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::unique_ptr<PpdFileExt> ppd;
    const std::string longKeyword = std::string(41, 'K');

    void SetUp() override {
        std::string body =
            "*OpenGroup: General/General\n" +
            pickOne("MediaType", "Media", "Plain",
                    {{"Plain", "Plain paper"}, {"Heavy", "Heavy paper"}}) +
            boolean("Collate", "True") + boolean("Booklet", "true") +
            "*OpenSubGroup: Finishing/Finishing\n" +
            pickOne("Staple", "Staple", "None", {{"None", "Off"}, {"TopLeft", "Top left"}}) +
            "*CloseSubGroup: Finishing\n*CloseGroup: General\n"
            "*OpenGroup: Extra/Extra\n" +
            pickOne("MediaType2", "Second", "X", {{"X", "X"}}) + "*CloseGroup: Extra\n";
        ppd = PpdFileExt::openFile(test::writePpd(dir, "q.ppd", "UTF-8", "English", "Press", body));
        ASSERT_NE(ppd, nullptr);
    }
};

TEST_F(PpdQueryTest, OptionsChoicesAndTypes) {
    EXPECT_TRUE(ppd->isExists("MediaType"));
    EXPECT_FALSE(ppd->isExists("Nothing"));
    EXPECT_TRUE(ppd->isExists("MediaType", "Heavy"));
    EXPECT_FALSE(ppd->isExists("MediaType", "heavy"));
    EXPECT_EQ(ppd->optionKeywords("MediaType"), (std::vector<std::string>{"Plain", "Heavy"}));
    EXPECT_EQ(ppd->optionAliases("MediaType"),
              (std::vector<std::string>{"Plain paper", "Heavy paper"}));
    EXPECT_EQ(ppd->optionAlias("MediaType", "Heavy"), "Heavy paper");
    EXPECT_EQ(ppd->optionAlias("MediaType", "Gloss"), std::nullopt);
    EXPECT_EQ(ppd->optionKeywords("Nothing"), std::nullopt);
    EXPECT_EQ(ppd->uiType("MediaType"), 1);
    EXPECT_EQ(ppd->uiType("Collate"), 0);
    EXPECT_EQ(ppd->uiType("Nothing"), 0); // the same as a Boolean option
    EXPECT_EQ(ppd->mainAlias("Staple"), "Staple");
}

TEST_F(PpdQueryTest, BooleanDefaultsAreTrueOnlyForCapitalTrue) {
    EXPECT_EQ(ppd->defaultOptionChoice("Collate"), Value(true));
    EXPECT_EQ(ppd->defaultOptionChoice("Booklet"), Value(false)); // "true" in lower case
    EXPECT_EQ(ppd->defaultOptionChoice("MediaType"), Value("Plain"));
    Dictionary defaults = ppd->defaultValueDictionary();
    EXPECT_EQ(defaults.keys(), (std::vector<std::string>{"MediaType", "Collate", "Booklet",
                                                         "Staple", "MediaType2"}));
    EXPECT_EQ(defaults.get("Staple"), Value("None")); // from the sub-group
    EXPECT_EQ(ppd->optionKeywordsInOrder(), defaults.keys());
}

TEST_F(PpdQueryTest, MarkingAndMarkedChoices) {
    EXPECT_EQ(ppd->findMarkedChoice("MediaType"), std::nullopt);
    ppd->markOption("MediaType", "Heavy");
    ppd->markOption("Collate", "False");
    EXPECT_EQ(ppd->findMarkedChoice("MediaType"), Value("Heavy"));
    EXPECT_EQ(ppd->findMarkedChoice("Collate"), Value(false));
}

TEST_F(PpdQueryTest, KeywordsOfFortyOneCharactersOrNotAsciiMatchNothing) {
    EXPECT_FALSE(ppd->isExists(longKeyword));
    EXPECT_FALSE(ppd->isExists("Média"));
    EXPECT_FALSE(PpdFile::isUsableKeyword(longKeyword));
    EXPECT_TRUE(PpdFile::isUsableKeyword(std::string(40, 'K')));
}

TEST(PpdFileTest, BorrowedHandleStaysOpenAndNullHandleIsEmpty) {
    test::TempDir dir;
    auto path =
        test::writePpd(dir, "b.ppd", "UTF-8", "English", "Press", boolean("Collate", "True"));
    ppd_file_t* handle = ppdOpenFile(path.c_str());
    ASSERT_NE(handle, nullptr);
    {
        PpdFile borrowed(handle);
        EXPECT_TRUE(borrowed.isExists("Collate"));
    }
    EXPECT_NE(ppdFindOption(handle, "Collate"), nullptr); // still open and usable
    ppdClose(handle);

    PpdFile empty(nullptr);
    EXPECT_FALSE(empty.isExists("Collate"));
    EXPECT_EQ(empty.product(), std::nullopt);
    EXPECT_TRUE(empty.defaultValueDictionary().empty());
}

TEST(PpdFileTest, MissingAndInvalidFilesGiveNull) {
    test::TempDir dir;
    EXPECT_EQ(PpdFileExt::openFile(dir / "missing.ppd"), nullptr);
    EXPECT_EQ(PpdFileExt::openFile(dir.write("bad.ppd", "not a ppd")), nullptr);
    EXPECT_EQ(PpdFileExt::openFile(dir.path()), nullptr);

    // The reason libcups gives, with its line.
    const std::pair<std::string, std::string> reasons[] = {
        {"missing.ppd", "no such file"},
        {"bad.ppd", "line 0: Missing "},
        {"third.ppd", "line 3: Missing asterisk in column 1"},
    };
    dir.write("third.ppd", "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\nbad line\n");
    for (const auto& [name, reason] : reasons) {
        std::string error;
        EXPECT_EQ(PpdFileExt::openFile(dir / name, &error), nullptr);
        EXPECT_TRUE(error.starts_with(reason)) << name << ": " << error;
    }
}

} // namespace
} // namespace velmora
