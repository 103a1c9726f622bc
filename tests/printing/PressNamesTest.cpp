// The press's own names of options a queue's PPD names for print clients, both ways, and options
// saved or sent under either name read as the PPD names them.
#include "support/TempDir.h"

#include "platform/printing/PressNames.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <gtest/gtest.h>

namespace velmora {
namespace {

const char* const kPpd = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "TEST.PPD"
*Manufacturer: "Test"
*Product: "(Test)"
*ModelName: "Test"
*ShortNickName: "Test"
*NickName: "Test"
*VelmoraPressName OutputBin: "OutputTray"
*VelmoraPressName OutputBin.stacker-1: "Stackertray"
*VelmoraPressName OutputBin.auto: "Auto"
*VelmoraPressName ColorModel: "ColorMode"
*VelmoraPressName ColorModel.RGB: "Color"
*VelmoraPressName ProcessColorModel: "ColorModel"
*VelmoraPressName ProcessColorModel.CMYK9: "Bad Name"
*VelmoraPressName .CMYK8: "NoOption"
*VelmoraPressName Trim.: "NoChoice"
*VelmoraPressName Trim: ""
*VelmoraPressName OutputBin: "SecondName"
*VelmoraPressName Trim.Half: "HalfTrim"
*VelmoraPressName Trim.Half: "Other"
*VelmoraPressName Trim.None: "HalfTrim"
*OpenUI *OutputBin/Output Tray: PickOne
*DefaultOutputBin: auto
*OutputBin auto/Auto: ""
*OutputBin stacker-1/Stacker: ""
*CloseUI: *OutputBin
*OpenUI *ColorModel/Output Color: PickOne
*DefaultColorModel: RGB
*ColorModel RGB/Color: ""
*ColorModel Gray/Gray: ""
*CloseUI: *ColorModel
*OpenUI *ProcessColorModel/Process Color Model: PickOne
*DefaultProcessColorModel: CMYK1
*ProcessColorModel CMYK1/CMYK: ""
*ProcessColorModel CMYK2/Extended: ""
*CloseUI: *ProcessColorModel
*OpenUI *Fold/Fold: PickOne
*DefaultFold: None
*Fold None/Off: ""
*Fold Bifold/Half: ""
*CloseUI: *Fold
*OpenUI *Trim/Trim: PickOne
*DefaultTrim: None
*Trim None/Off: ""
*Trim Half/Half: ""
*CloseUI: *Trim
)ppd";

class PressNamesTest : public ::testing::Test {
protected:
    test::TempDir dir;
    ppd_file_t* ppd = ppdOpenFile(dir.write("test.ppd", kPpd).c_str());
    ~PressNamesTest() override { ppdClose(ppd); }
};

TEST_F(PressNamesTest, EachNameHasItsCounterpartBothWays) {
    ASSERT_NE(ppd, nullptr);
    PressNames names(ppd);
    using Choice = PressNames::Choice;
    struct Row {
        Choice press, inPpd;
    } rows[] = {
        {{"OutputTray", "Stackertray"}, {"OutputBin", "stacker-1"}},
        {{"OutputTray", "Auto"}, {"OutputBin", "auto"}},
        {{"ColorMode", "Color"}, {"ColorModel", "RGB"}},
        {{"ColorMode", "Gray"}, {"ColorModel", "Gray"}},           // a choice of the same name
        {{"ColorModel", "CMYK2"}, {"ProcessColorModel", "CMYK2"}}, // a name the PPD gave away
        {{"Fold", "Bifold"}, {"Fold", "Bifold"}},                  // unnamed: the same
    };
    for (const auto& [press, inPpd] : rows) {
        EXPECT_EQ(names.inPpd(press.first, press.second), inPpd) << press.first;
        EXPECT_EQ(names.ofPress(inPpd.first, inPpd.second), press) << inPpd.first;
    }
    // What a PPD may hold besides: a press name with a space, a spec without its option or
    // choice, an empty name, a second name for what is named already. Each is ignored.
    EXPECT_EQ(names.ofPress("ProcessColorModel", "CMYK9").second, "CMYK9");
    EXPECT_EQ(names.ofPress("", "CMYK8").second, "CMYK8");
    EXPECT_EQ(names.optionOfPress("Trim"), "Trim");
    EXPECT_EQ(names.optionInPpd("SecondName"), "SecondName");
    EXPECT_EQ(names.ofPress("Trim", "Half").second, "HalfTrim"); // the first name counts
    EXPECT_EQ(names.inPpd("Trim", "HalfTrim").second, "Half");
    EXPECT_EQ(names.inPpd("Trim", "Other").second, "Other");
    EXPECT_EQ(names.ofPress("Trim", "None").second, "None"); // a press name taken already
    // The PPD's ColorModel is not the press's ColorModel.
    EXPECT_EQ(names.optionInPpd("ProcessColorModel"), "");
    EXPECT_EQ(names.optionOfPress("ColorMode"), "");
}

TEST_F(PressNamesTest, SavedOptionsOfEitherNamingReadAsThePpdNamesThem) {
    ASSERT_NE(ppd, nullptr);
    PressNames names(ppd);
    struct Row {
        const char* what;
        Dictionary given, read;
    } rows[] = {
        {"the press's names, saved before",
         Dictionary{{"ColorMode", Value("Gray")},
                    {"ColorModel", Value("CMYK2")},
                    {"OutputTray", Value("Stackertray")},
                    {"Fold", Value("Bifold")}},
         Dictionary{{"ColorModel", Value("Gray")},
                    {"ProcessColorModel", Value("CMYK2")},
                    {"OutputBin", Value("stacker-1")},
                    {"Fold", Value("Bifold")}}},
        {"the PPD's names stay",
         Dictionary{{"ColorModel", Value("RGB")}, {"OutputBin", Value("auto")}},
         Dictionary{{"ColorModel", Value("RGB")}, {"OutputBin", Value("auto")}}},
        {"both: the PPD's own decides",
         Dictionary{{"OutputTray", Value("Stackertray")}, {"OutputBin", Value("auto")}},
         Dictionary{{"OutputBin", Value("auto")}}},
        {"what neither names stays as given",
         Dictionary{{"OutputTray", Value("Nowhere")}, {"velmora.UserName", Value("Anna")}},
         Dictionary{{"OutputTray", Value("Nowhere")}, {"velmora.UserName", Value("Anna")}}},
    };
    for (const auto& [what, given, read] : rows)
        EXPECT_EQ(names.inPpdNames(given), read) << what;
}

TEST_F(PressNamesTest, APpdThatNamesNothingTakesThePressesNames) {
    PressNames none(nullptr);
    EXPECT_FALSE(none.renamesAnything());
    EXPECT_EQ(none.inPpd("OutputTray", "Stackertray"),
              (PressNames::Choice{"OutputTray", "Stackertray"}));
    Dictionary given{{"OutputTray", Value("Stackertray")}};
    EXPECT_EQ(none.inPpdNames(given), given);
}

} // namespace
} // namespace velmora
