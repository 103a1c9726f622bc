#include "platform/printing/PpdTranslation.h"
#include "support/CommandRunner.h"
#include "support/TempDir.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace velmora {
namespace {

const std::string kBundlePpd =
    std::string(VELMORA_PLUGIN_DIR) + "/Contents/Resources/VelmoraPress.ppd";

struct PpdCloser {
    void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};
using PpdHandle = std::unique_ptr<ppd_file_t, PpdCloser>;

struct LanguageCase {
    const char* language;
    const char* pageSizeTitle; // null: no translation
};

class PpdTranslationLanguageTest : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(PpdTranslationLanguageTest, TheRightLinesAreRead) {
    auto found = PpdTranslation::readFile(VELMORA_QUEUE_PPD, GetParam().language);
    const std::string* title = found.find("Translation", "PageSize");
    if (GetParam().pageSizeTitle) {
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(*title, GetParam().pageSizeTitle);
    } else {
        EXPECT_EQ(title, nullptr);
        EXPECT_EQ(found.size(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Languages, PpdTranslationLanguageTest,
    ::testing::Values(LanguageCase{"ja", "用紙サイズ"}, LanguageCase{"ja-JP", "用紙サイズ"},
                      LanguageCase{"ja_JP.UTF-8", "用紙サイズ"}, LanguageCase{"en", nullptr},
                      LanguageCase{"en-GB", nullptr}, LanguageCase{"C", nullptr},
                      LanguageCase{"fr", nullptr}, LanguageCase{"ja/../x", nullptr},
                      LanguageCase{"", nullptr}));

TEST(PpdTranslationTest, LinesAreReadAsLibcupsReadsThem) {
    auto found = PpdTranslation::read("*ja.Translation Duplex/両面: \"\"\r\n"
                                      "*ja_JP.Translation Duplex/両面印刷: \"\"\n"
                                      "*ja.Duplex None/<E381AA>し: \"\"\n"
                                      "*ja.Duplex Invalid/<FF>: \"\"\n"
                                      "*ja.Duplex Open/<E381: \"\"\n"
                                      "*ja.Duplex Odd/<E38>: \"\"\n"
                                      "*ja.Duplex Empty/: \"\"\n"
                                      "*ja.Duplex NoText: \"\"\n"
                                      "*ja. Spaced/x: \"\"\n"
                                      "*jap.Duplex Other/別: \"\"\n"
                                      "*ja.Duplex Last/最後: \"\"",
                                      "ja-JP");
    ASSERT_NE(found.find("Translation", "Duplex"), nullptr);
    EXPECT_EQ(*found.find("Translation", "Duplex"), "両面印刷"); // the region's line wins
    ASSERT_NE(found.find("Duplex", "None"), nullptr);
    EXPECT_EQ(*found.find("Duplex", "None"), "なし"); // bytes written in hexadecimal
    ASSERT_NE(found.find("Duplex", "Last"), nullptr); // a last line without a line end
    for (const char* refused : {"Invalid", "Open", "Odd", "Empty", "NoText", "Other"})
        EXPECT_EQ(found.find("Duplex", refused), nullptr) << refused;
    EXPECT_EQ(found.size(), 3u);
}

// Every group, option and choice of both PPDs the press ships (the queue's and the panel's own)
// is shown in Japanese in a Japanese session, whole.
TEST(PpdTranslationTest, EveryTextOfThePressesPpdsHasItsJapanese) {
    for (const std::string& path : {std::string(VELMORA_QUEUE_PPD), kBundlePpd}) {
        SCOPED_TRACE(path);
        PpdHandle ppd(ppdOpenFile(path.c_str()));
        ASSERT_TRUE(ppd);
        int texts = 0;
        for (int g = 0; g < ppd->num_groups; ++g) {
            ++texts;
            for (int o = 0; o < ppd->groups[g].num_options; ++o)
                texts += 1 + ppd->groups[g].options[o].num_choices;
        }
        EXPECT_EQ(PpdTranslation::readFile(path, "ja").applyTo(ppd.get()), texts);
        ppd_option_t* duplex = ppdFindOption(ppd.get(), "DuplexMode");
        ASSERT_TRUE(duplex);
        EXPECT_STREQ(duplex->text, "両面印刷");
        EXPECT_STREQ(ppdFindChoice(duplex, "None")->text, "片面");
    }
}

TEST(PpdTranslationTest, ATranslationTooLongForLibcupsKeepsTheOriginalText) {
    test::TempDir dir;
    std::string path = dir / "long.ppd";
    std::string longText(30, 'x');
    std::string japanese;
    for (int i = 0; i < 27; ++i)
        japanese += "長"; // 81 bytes: one more than the field holds
    std::ofstream(path) << "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
                           "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n"
                           "*PCFileName: \"LONG.PPD\"\n*Manufacturer: \"Test\"\n"
                           "*Product: \"(Test)\"\n*ModelName: \"Test\"\n*ShortNickName: \"Test\"\n"
                           "*NickName: \"Test\"\n*PSVersion: \"(3010) 0\"\n"
                           "*OpenUI *Fold/Fold: PickOne\n*DefaultFold: None\n"
                           "*Fold None/Off: \"\"\n*Fold Half/Half Fold: \"\"\n*CloseUI: *Fold\n"
                           "*ja.Translation Fold/"
                        << japanese << ": \"\"\n*ja.Fold Half/二つ折り: \"\"\n";
    PpdHandle ppd(ppdOpenFile(path.c_str()));
    ASSERT_TRUE(ppd);
    EXPECT_EQ(PpdTranslation::readFile(path, "ja").applyTo(ppd.get()), 1);
    ppd_option_t* fold = ppdFindOption(ppd.get(), "Fold");
    ASSERT_TRUE(fold);
    EXPECT_STREQ(fold->text, "Fold");
    EXPECT_STREQ(ppdFindChoice(fold, "Half")->text, "二つ折り");
    EXPECT_STREQ(ppdFindChoice(fold, "None")->text, "Off");
}

// A small PPD of the given encoding whose fold option sits in a sub-group, with its Japanese.
std::string foldPpd(const std::string& encoding) {
    return "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
           "*LanguageVersion: English\n*LanguageEncoding: " +
           encoding +
           "\n*PCFileName: \"FOLD.PPD\"\n*Manufacturer: \"Test\"\n*Product: \"(Test)\"\n"
           "*ModelName: \"Test\"\n*ShortNickName: \"Test\"\n*NickName: \"Test\"\n"
           "*PSVersion: \"(3010) 0\"\n*OpenGroup: Finish/Finishing\n"
           "*OpenSubGroup: Folding/Folding\n*OpenUI *Fold/Fold: PickOne\n*DefaultFold: None\n"
           "*Fold None/Off: \"\"\n*Fold Half/Half Fold: \"\"\n*CloseUI: *Fold\n"
           "*CloseSubGroup: Folding\n*CloseGroup: Finish\n"
           "*ja.Translation Finish/仕上げ: \"\"\n*ja.Translation Folding/折り: \"\"\n"
           "*ja.Translation Fold/折り方: \"\"\n*ja.Fold None/しない: \"\"\n"
           "*ja.Fold Half/二つ折り: \"\"\n";
}

struct EncodingCase {
    const char* encoding;
    // Texts replaced: the group, the option and its two choices (libcups files the options of a
    // sub-group under its group).
    int translated;
};

class PpdTranslationEncodingTest : public ::testing::TestWithParam<EncodingCase> {};

// The translations are UTF-8: they replace texts only where libcups hands texts out as UTF-8,
// options in sub-groups included.
TEST_P(PpdTranslationEncodingTest, TextsAreReplacedOnlyWhereTheyAreUtf8) {
    test::TempDir dir;
    std::string path = dir / "fold.ppd";
    std::ofstream(path) << foldPpd(GetParam().encoding);
    PpdHandle ppd(ppdOpenFile(path.c_str()));
    ASSERT_TRUE(ppd);
    EXPECT_EQ(PpdTranslation::readFile(path, "ja").applyTo(ppd.get()), GetParam().translated);
    ppd_option_t* fold = ppdFindOption(ppd.get(), "Fold");
    ASSERT_TRUE(fold);
    EXPECT_STREQ(fold->text, GetParam().translated ? "折り方" : "Fold");
}

INSTANTIATE_TEST_SUITE_P(Encodings, PpdTranslationEncodingTest,
                         ::testing::Values(EncodingCase{"ISOLatin1", 4}, EncodingCase{"UTF-8", 4},
                                           EncodingCase{"WindowsANSI", 4}, EncodingCase{"None", 0},
                                           EncodingCase{"ASCII", 0}));

// CUPS's own checker reads the translations as every print client would: none is missing or
// malformed.
TEST(PpdTranslationTest, CupsTestPpdFindsEveryJapaneseTranslation) {
    for (const std::string& path : {std::string(VELMORA_QUEUE_PPD), kBundlePpd}) {
        std::string output;
        FILE* pipe = ::popen(
            ("cupstestppd -I filters -W translations " + test::shellQuote(path) + " 2>&1").c_str(),
            "r");
        ASSERT_TRUE(pipe);
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, n);
        int status = ::pclose(pipe);
        EXPECT_EQ(status, 0) << path << "\n" << output;
        EXPECT_EQ(output.find("\"ja\""), std::string::npos) << output;
    }
}

} // namespace
} // namespace velmora
