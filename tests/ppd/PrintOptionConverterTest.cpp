#include "ppd/KeywordPairTable.h"
#include "ppd/PrintOptionConverter.h"

#include "common/EncryptionBridge.h"
#include "platform/foundation/SystemLog.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <set>

#include <pwd.h>
#include <unistd.h>

namespace velmora {
namespace {

using P = PrintOptionConverter;

TEST(NumberConversionTest, UnitsRoundHalfUpAfterSixDecimals) {
    const std::pair<const char*, const char*> mmToCep[] = {
        {"210", "119055"}, {"0", "0"}, {"297", "168378"}, {"-10", "-5669"}, {"25.4", "14400"}};
    for (const auto& [in, out] : mmToCep)
        EXPECT_EQ(P::convertMmToCep(in), out) << in;
    const std::pair<const char*, const char*> cepToMm[] = {{"119055", "210.00"},
                                                           {"14400", "25.40"},
                                                           {"0", "0.00"},
                                                           {"144001", "254.00"},
                                                           {"9", "0.02"}};
    for (const auto& [in, out] : cepToMm)
        EXPECT_EQ(P::convertCepToMm(in), out) << in;
    const std::pair<const char*, const char*> zemaToMag[] = {
        {"0", "100.0"}, {"-25", "97.5"}, {"15", "101.5"}, {"-25.9", "97.5"}};
    for (const auto& [in, out] : zemaToMag)
        EXPECT_EQ(P::convertZEMAToMag(in), out) << in;
    const std::pair<const char*, const char*> magToZema[] = {
        {"97.5", "-25"}, {"100", "0"}, {"101.55", "15"}, {"100.04", "0"}};
    for (const auto& [in, out] : magToZema)
        EXPECT_EQ(P::convertMagToZEMA(in), out) << in;
}

TEST(JoinSplitTest, JoinsNeedEveryComponentAndSplitsNeedMatchingCounts) {
    Dictionary d{{"PaperType", "Plain"}, {"MediaTypeTabbed", true}};
    P::joinKeyword(d, "PaperType_MediaTypeTabbed");
    EXPECT_EQ(d, (Dictionary{{"PaperType_MediaTypeTabbed", "Plain_True"}}));
    P::splitKeyword(d, "PaperType_MediaTypeTabbed");
    EXPECT_EQ(d, (Dictionary{{"PaperType", "Plain"}, {"MediaTypeTabbed", "True"}}));

    Dictionary numbers{{"PaperType", "Plain"}, {"MediaTypeTabbed", 3}, {"A", 0}, {"A_B", Value()}};
    P::joinKeyword(numbers, "PaperType_MediaTypeTabbed");
    EXPECT_EQ(numbers.get("PaperType_MediaTypeTabbed"), Value("Plain_True"));
    numbers.set("B", 2.5);
    P::joinKeyword(numbers, "A_B");
    EXPECT_EQ(numbers.get("A_B"), Value("False_True"));

    Dictionary missing{{"PaperType", "Plain"}, {"MediaTypeTabbed", ""}};
    P::joinKeyword(missing, "PaperType_MediaTypeTabbed");
    EXPECT_FALSE(missing.contains("PaperType_MediaTypeTabbed"));
    EXPECT_TRUE(missing.contains("PaperType"));

    Dictionary underscored{{"PaperType_MediaTypeTabbed", "Coated_Gloss_False"}};
    P::splitKeyword(underscored, "PaperType_MediaTypeTabbed"); // three parts for two keys
    EXPECT_EQ(underscored.get("PaperType_MediaTypeTabbed"), Value("Coated_Gloss_False"));

    Dictionary swap{{"A", "1"}, {"B", "2"}};
    P::swapKeywordValue(swap, "A", "B");
    EXPECT_EQ(swap, (Dictionary{{"A", "2"}, {"B", "1"}}));
    P::swapKeywordValue(swap, "A", "C");
    EXPECT_EQ(swap.get("A"), Value("2"));
}

TEST(CreaseTest, SwapReversesEntriesAndMeasuresFromTheOtherEdge) {
    Dictionary d{{"CreaseNum", "2"},           {"ChgPrintPaperSizeLength", "144001"},
                 {"CreasePosition1", "10000"}, {"CreasePosition2", "30000"},
                 {"CreaseDirection1", "Up"},   {"CreaseDirection2", "Down"}};
    Dictionary original = d;
    P::swapCreaseKeyword(d);
    EXPECT_EQ(d.get("CreasePosition1"), Value("114001"));
    EXPECT_EQ(d.get("CreasePosition2"), Value("134001"));
    EXPECT_EQ(d.get("CreaseDirection1"), Value("Down"));
    P::swapCreaseKeyword(d);
    EXPECT_EQ(d, original);

    Dictionary five;
    five.set("CreaseNum", "5");
    for (int i = 1; i <= 5; ++i)
        five.set("CreasePressureLevel" + std::to_string(i), std::to_string(i));
    P::swapCreaseKeyword(five);
    EXPECT_EQ(five.get("CreasePressureLevel1"), Value("5"));
    EXPECT_EQ(five.get("CreasePressureLevel2"), Value("4"));
    EXPECT_EQ(five.get("CreasePressureLevel3"), Value("3"));

    // Positions beyond the sheet wrap as unsigned 32-bit numbers; extreme ones stay defined.
    Dictionary extreme{{"CreaseNum", "1"},
                       {"ChgPrintPaperSizeLength", "-9223372036854775808"},
                       {"CreasePosition1", "9223372036854775807"},
                       {"CreasePosition2", "5"}};
    P::swapCreaseKeyword(extreme);
    EXPECT_EQ(extreme.get("CreasePosition1"), Value("1"));
    EXPECT_EQ(extreme.get("CreasePosition2"), Value("4294967291")); // 0 - 5 as %u
}

TEST(MappingTest, PunchStaplesAndOutputOrderBothWays) {
    struct Case {
        std::pair<const char*, const char*> components;
        const char* combined;
        std::pair<const char*, const char*> back;
    };
    const Case punch[] = {
        {{"Left", "Holes2"}, "LeftHoles2", {"Left", "Holes2"}},
        {{"Bottom", "HolesMulti"}, "BottomHolesMulti", {"Bottom", "HolesMulti"}},
        {{"MixSize", "Holes4"}, "MixSizeHoles4", {"MixSize", "Holes4"}},
        {{"MixSize", "HolesMulti"}, "None", {"None", "None"}},
        {{"None", "Holes2"}, "None", {"None", "None"}},
    };
    for (const auto& c : punch) {
        Dictionary d{{"Punch", c.components.first}, {"PunchHoles", c.components.second}};
        P::joinPunch(d);
        EXPECT_EQ(d, (Dictionary{{"Punch_PunchHoles", c.combined}})) << c.combined;
        P::splitPunch(d);
        EXPECT_EQ(d, (Dictionary{{"Punch", c.back.first}, {"PunchHoles", c.back.second}}))
            << c.combined;
    }
    const Case staple[] = {
        {{"TopLeftCorner", "UseStaple"}, "TopLeftCornerUseStaple", {"TopLeftCorner", "UseStaple"}},
        {{"MixSizeEdge", "Stapleless"}, "MixSizeEdgeStapleless", {"MixSizeEdge", "Stapleless"}},
        {{"SaddleInside", "UseStaple"}, "SaddleInside", {"SaddleInside", "UseStaple"}},
        {{"TopEdge4", "Stapleless"}, "None", {"None", "UseStaple"}},
        {{"None", "Stapleless"}, "None", {"None", "UseStaple"}},
        {{"TopEdge", "Glue"}, "None", {"None", "UseStaple"}},
    };
    for (const auto& c : staple) {
        Dictionary d{{"StapleMode", c.components.first}, {"StapleMechanism", c.components.second}};
        P::joinStaple(d);
        EXPECT_EQ(d.get("StapleMode_StapleMechanism"), Value(c.combined));
        P::splitStaple(d);
        EXPECT_EQ(d, (Dictionary{{"StapleMode", c.back.first}, {"StapleMechanism", c.back.second}}))
            << c.combined;
    }
    Dictionary unknownStaple{{"StapleMode_StapleMechanism", "Glue"}};
    P::splitStaple(unknownStaple);
    EXPECT_EQ(unknownStaple, (Dictionary{{"StapleMode", "None"}, {"StapleMechanism", "None"}}));

    const Case order[] = {
        {{"Normal", "FaceDown"}, "FaceDown", {"Normal", "FaceDown"}},
        {{"Normal", "FaceUp"}, "FaceUp", {"Normal", "FaceUp"}},
        {{"Reverse", "FaceDown"}, "FaceDownReverse", {"Reverse", "FaceDown"}},
        {{"Reverse", "FaceUp"}, "FaceUpReverse", {"Reverse", "FaceUp"}},
        {{"Shuffle", "FaceUp"}, "FaceDown", {"Normal", "FaceDown"}},
    };
    for (const auto& c : order) {
        Dictionary d{{"PageOrder", c.components.first}, {"OutputMode", c.components.second}};
        P::joinOutputOrder(d);
        EXPECT_EQ(d.get("PageOrder_new"), Value(c.combined));
        P::splitOutputOrder(d);
        EXPECT_EQ(d, (Dictionary{{"PageOrder", c.back.first}, {"OutputMode", c.back.second}}));
    }
    Dictionary half{{"Punch", "Left"}};
    P::joinPunch(half); // both components are needed
    EXPECT_EQ(half, (Dictionary{{"Punch", "Left"}}));
}

TEST(MappingTest, EveryRowOfThePairTablesRoundTrips) {
    for (const KeywordPairTable* table : {&KeywordPairTable::punch(), &KeywordPairTable::staple(),
                                          &KeywordPairTable::outputOrder()}) {
        std::set<std::string> combined;
        for (const auto& row : table->rows()) {
            EXPECT_EQ(table->combine(row.first, row.second), row.combined);
            EXPECT_EQ(table->separate(row.combined), std::make_pair(row.first, row.second))
                << row.combined;
            EXPECT_TRUE(combined.insert(row.combined).second) << "two rows give " << row.combined;
        }
        EXPECT_GT(combined.size(), 3u);
    }
}

TEST(MappingTest, TwoColorNamesFollowTheFirstLanguage) {
    Dictionary d{{"TwoColorPressSimulationSpotSpotName", "0.5,0.7"},
                 {"TwoColorPressSimulationCSpotName", "1.5"}};
    {
        test::ScopedEnv english("LANGUAGE", "en");
        Dictionary unchanged = d;
        P::convertTwoColorNamesToInternal(unchanged);
        EXPECT_EQ(unchanged, d);
    }
    test::ScopedEnv german("LANGUAGE", "de");
    P::convertTwoColorNamesToInternal(d);
    EXPECT_EQ(d.get("TwoColorPressSimulationSpotSpotName"), Value("0,5;0,7"));
    EXPECT_EQ(d.get("TwoColorPressSimulationCSpotName"), Value("1,5"));
    P::convertTwoColorNamesToCanonical(d);
    EXPECT_EQ(d.get("TwoColorPressSimulationSpotSpotName"), Value("0.5,0.7"));
    EXPECT_EQ(d.get("TwoColorPressSimulationCSpotName"), Value("1.5"));
}

TEST(MappingTest, GraphicsTreatmentMagnificationAndSpecifiedObject) {
    const std::tuple<const char*, const char*, const char*> toInternal[] = {
        {"System", "Text", "System"}, {"Job", "Text", "JobText"}, {"Job", "Image", "JobImage"}};
    for (const auto& [base, mode, ex] : toInternal) {
        Dictionary d{{"GraphicsTreatmentBase", base}, {"GraphicsTreatmentMode", mode}};
        P::convertGraphicsTreatmentToInternal(d);
        EXPECT_EQ(d.get("GraphicsTreatmentEx"), Value(ex));
    }
    const std::tuple<const char*, const char*, const char*> toCanonical[] = {
        {"JobImage", "Job", "Image"}, {"JobText", "Job", "Text"}, {"System", "System", "Image"}};
    for (const auto& [ex, base, mode] : toCanonical) {
        Dictionary d{{"GraphicsTreatmentEx", ex}};
        P::convertGraphicsTreatmentToCanonical(d);
        EXPECT_EQ(d.get("GraphicsTreatmentBase"), Value(base));
        EXPECT_EQ(d.get("GraphicsTreatmentMode"), Value(mode));
        EXPECT_TRUE(d.contains("GraphicsTreatmentEx"));
    }
    Dictionary mag{{"Magnification", "1005"}};
    P::convertMagnificationToInternal(mag);
    EXPECT_EQ(mag.get("Magnification"), Value("100.5"));
    P::convertMagnificationToCanonical(mag);
    EXPECT_EQ(mag.get("Magnification"), Value("1005"));

    Dictionary object{{"SpTonerOverlayObjectFront", "51"}, {"SpTonerOverlayObjectBack", "14"}};
    P::convertSpecifiedObjectToInternal(object);
    EXPECT_EQ(object.get("SpTonerOverlayObjectFrontPhoto"), Value("True"));
    EXPECT_EQ(object.get("SpTonerOverlayObjectFrontText"), Value("True"));
    EXPECT_EQ(object.get("SpTonerOverlayObjectFrontDrawing"), Value("False"));
    EXPECT_EQ(object.get("SpTonerOverlayObjectBackText"),
              Value("False")); // 14 has bit 1, not bit 0
    EXPECT_EQ(object.get("SpTonerOverlayObjectBackDrawing"), Value("True"));
    P::convertSpecifiedObjectToCanonical(object);
    EXPECT_EQ(object.get("SpTonerOverlayObjectFront"), Value("51"));
    EXPECT_EQ(object.get("SpTonerOverlayObjectBack"), Value("12"));
}

TEST(MappingTest, AbsurdNumbersSaturateInsteadOfOverflowing) {
    // Values read back from an edited favorite or print settings may be any text.
    const std::pair<const char*, const char*> cases[] = {
        {"1e300", "9200000000000000000"},
        {"-1e300", "-9200000000000000000"},
        {"nan", "0"},
    };
    for (const auto& [text, expected] : cases) {
        Dictionary mag{{"Magnification", text}};
        P::convertMagnificationToCanonical(mag);
        EXPECT_EQ(mag.get("Magnification"), Value(expected)) << text;
        EXPECT_EQ(P::convertMagToZEMA(text), expected) << text;
    }
}

class FullConversionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(loadEncDec(VELMORA_PLUGIN_RESOURCES), 0); }
    void TearDown() override { unloadEncDec(); }
};

TEST_F(FullConversionTest, CanonicalThenInternalRestoresThePanelsValues) {
    Dictionary internal{{"Punch_PunchHoles", "RightHoles3"},
                        {"StapleMode_StapleMechanism", "Saddle"},
                        {"PageOrder_new", "FaceUpReverse"},
                        {"SecPrintPassword", "pässword"},
                        {"ChgPrintPaperSizeLength", "254.00"},
                        {"CreaseNum", "2"},
                        {"CreasePosition1", "10.00"},
                        {"CreasePosition2", "30.00"},
                        {"HairLineWarningPoint", "0.250"},
                        {"SpTonerColorReplaceCyanFront", "0.75"},
                        {"PrintPositionFrontWidthMag", "97.5"},
                        {"ImpositionMode_ImpositionCustomMode", "Off"},
                        {"ImpositionNup_NumOfPages", "2up"},
                        {"ImpositionBooklet_LayoutBaseFile", "Left"},
                        {"ImpositionBooklet_CreepTotalOffset", "0.00"}};
    Dictionary canonical = internal;
    P::convertToCanonicalPpdKeyword(canonical, true);
    EXPECT_EQ(canonical.get("Punch"), Value("Right"));
    EXPECT_EQ(canonical.get("StapleMechanism"), Value("UseStaple"));
    EXPECT_EQ(canonical.get("OutputMode"), Value("FaceUp"));
    EXPECT_NE(canonical.get("SecPrintPassword"), Value("pässword"));
    EXPECT_EQ(canonical.get("ChgPrintPaperSizeLength"), Value("144000"));
    EXPECT_EQ(canonical.get("CreasePosition1"),
              Value("126992")); // swapped and mirrored: 144000 - 17008
    EXPECT_EQ(canonical.get("HairLineWarningPoint"), Value("250"));
    EXPECT_EQ(canonical.get("SpTonerColorReplaceCyanFront"), Value("75"));
    EXPECT_EQ(canonical.get("PrintPositionFrontWidthMag"), Value("-25"));
    EXPECT_EQ(canonical.get("LayoutBaseFile"), Value("Normal-1side.json"));
    EXPECT_EQ(canonical.get("Fitting"), Value("False"));

    P::convertToInternalPpdKeyword(canonical);
    for (const char* key :
         {"Punch_PunchHoles", "StapleMode_StapleMechanism", "PageOrder_new", "SecPrintPassword",
          "ChgPrintPaperSizeLength", "CreasePosition1", "CreasePosition2", "HairLineWarningPoint",
          "SpTonerColorReplaceCyanFront", "PrintPositionFrontWidthMag",
          "ImpositionMode_ImpositionCustomMode"})
        EXPECT_EQ(canonical.get(key), internal.get(key)) << key;
}

TEST_F(FullConversionTest, WithoutTheCustomFlagPasswordsAndCustomSizesStay) {
    Dictionary d{{"SecPrintPassword", "1234"},
                 {"ChgPrintPaperSizeLength", "254.00"},
                 {"TrimmerCutSize", "10.00"}};
    P::convertToCanonicalPpdKeyword(d, false);
    EXPECT_EQ(d.get("SecPrintPassword"), Value("1234"));
    EXPECT_EQ(d.get("ChgPrintPaperSizeLength"), Value("254.00"));
    EXPECT_EQ(d.get("TrimmerCutSize"), Value("5669")); // always converted
}

TEST_F(FullConversionTest, PaperTypesTraysRenderingAndLogin) {
    Dictionary d{{"PaperType", "Coated"},
                 {"MediaTypeTabbed", "False"},
                 {"MediaTypeCoatingMaterial", "Gloss"},
                 {"MediaTypePreprinted", "False"},
                 {"MediaTypeDrilled", "False"},
                 {"PaperTypeCustomNumber", "3"},
                 {"RenderingProfileType", "ICC"}};
    P::convertToInternalPpdKeyword(d);
    EXPECT_EQ(
        d.get(std::string("PaperType_MediaTypeTabbed_MediaTypeCoatingMaterial_MediaTypePreprinted_")
                  .append("MediaTypeDrilled_PaperTypeCustomNumber")),
        Value("Coated_False_Gloss_False_False_3"));
    EXPECT_EQ(d.get("RenderingProfile"), Value("False"));

    Dictionary weighted{
        {"PaperType", "Coated"}, {"MediaTypeTabbed", "True"}, {"MediaTypeWeightValue", "200"}};
    EXPECT_FALSE(P::mediaTypeWeightValueExist(weighted)); // the name says the opposite
    P::convertToInternalPpdKeyword(weighted);
    EXPECT_EQ(weighted.get("PaperType_MediaTypeTabbed"), Value("Coated_True"));

    Dictionary canonical{
        {"KVInputSlot", "TrayStk"},     {"CoverPageTray", "Tray2"},
        {"RenderingProfile", "False"},  {"RenderingProfileType", "PrinterStandard"},
        {"AuthJobUserIdType", "Login"}, {"SpotColorCorrectionProfile", "UseOther"}};
    P::convertToCanonicalPpdKeyword(canonical, true);
    EXPECT_EQ(canonical.get("StkType"), Value("Name"));
    EXPECT_EQ(canonical.get("CoverPageStkType"), Value("Property"));
    EXPECT_EQ(canonical.get("RenderingProfileType"), Value("ICC"));
    EXPECT_FALSE(canonical.contains("RenderingProfile"));
    EXPECT_EQ(canonical.get("AuthJobUserId"), Value(std::string(::getpwuid(::getuid())->pw_name)));
    EXPECT_FALSE(canonical.contains("AuthJobUserIdType"));
    EXPECT_EQ(canonical.get("SpotColorCorrectionProfileType"), Value("PrinterStandard"));
}

TEST(PasswordConversionTest, CodecFailuresAreLoggedAndLeaveTheValueEmpty) {
    unloadEncDec();
    std::vector<std::string> log;
    auto previous = SystemLog::setSink([&](std::string_view line) { log.emplace_back(line); });
    Dictionary d{{"RscPassword", "secret"}};
    P::convertToCanonicalPpdKeyword(d, true);
    Dictionary e{{"AuthJobPassword", "ABCD"}};
    P::convertToInternalPpdKeyword(e);
    SystemLog::setSink(previous);
    EXPECT_EQ(d.get("RscPassword"), Value(""));
    EXPECT_EQ(e.get("AuthJobPassword"), Value(""));
    EXPECT_EQ(log, (std::vector<std::string>{"###### encode error", "###### decode error"}));
}

TEST(ImpositionTest, PaperSizesAndFinishedSheetDirection) {
    EXPECT_EQ(P::getCepSizeFromPaperSizeType("A4SEF")->get("width"), Value("119056"));
    EXPECT_NE(P::convertMmToCep("210"),
              P::getCepSizeFromPaperSizeType("A4SEF")->get("width").stringValue());
    EXPECT_EQ(P::getCepSizeFromPaperSizeType("85x110SEF")->get("width"), Value("122401"));
    EXPECT_EQ(P::getCepSizeFromPaperSizeType("Envchou2SEF")->get("height"), Value("157040"));
    EXPECT_FALSE(P::getCepSizeFromPaperSizeType("A0"));
    EXPECT_EQ(P::getImpositionFinishedSheetDirection("A4LEF"), "Landscape");
    EXPECT_EQ(P::getImpositionFinishedSheetDirection("A4SEF"), "Portrait");
    EXPECT_EQ(P::getImpositionFinishedSheetDirection("Envkaku3LEF"), "Landscape");
}

TEST(ImpositionTest, NupToCanonicalFromThePaperTable) {
    Dictionary d{{"ImpositionMode_ImpositionCustomMode", "Nup"},
                 {"ImpositionNup_NumOfPages", "4up"},
                 {"DocumentOrientation", "Portrait"},
                 {"ChgPrintPaperSizeType", "A3"},
                 {"ImpositionNup_Fitting", "True"}};
    P::convertToCanonicalImpositionKeyword(d);
    EXPECT_EQ(d.get("ImpositionMode"), Value("Job"));
    EXPECT_EQ(d.get("ImpositionCustomMode"), Value("Nup"));
    EXPECT_EQ(d.get("Fitting"), Value("True"));
    EXPECT_EQ(d.get("LayoutRepeatX"), Value("2"));
    EXPECT_EQ(d.get("LayoutRepeatY"), Value("2"));
    EXPECT_EQ(d.get("SheetDirection"), Value("Portrait"));
    EXPECT_EQ(d.get("FinishedSizeHeight"), Value("119055"));
    EXPECT_EQ(d.get("FinishedSizeWidth"), Value("84189"));
    EXPECT_EQ(d.get("LayoutBaseFile"), Value("NUp-1side.json"));
    EXPECT_EQ(d.get("FixedForm"), Value("A3"));
    EXPECT_EQ(d.get("SheetSizeHeight"), Value(""));
    EXPECT_EQ(d.get("NumberOfFascicle"), Value("16"));
    for (const char* gone : {"ImpositionMode_ImpositionCustomMode", "ImpositionNup_NumOfPages",
                             "ImpositionNup_Fitting"})
        EXPECT_FALSE(d.contains(gone)) << gone;
}

TEST(ImpositionTest, PaperWithoutKnownSizeStillDescribesTheFinishedSheet) {
    const char* kFinished[] = {"FinishSheetDirection", "FinishFixedForm", "FinishedSizeName"};
    for (const char* mode : {"Nup", "Booklet"})
        for (const char* paper : {"NoChange", "Unknown"}) {
            Dictionary d{{"ImpositionMode_ImpositionCustomMode", mode},
                         {"ImpositionNup_NumOfPages", "2up"},
                         {"DocumentOrientation", "Portrait"},
                         {"ChgPrintPaperSizeType", paper}};
            P::convertToCanonicalImpositionKeyword(d);
            for (const char* key : kFinished)
                EXPECT_TRUE(d.contains(key)) << mode << " " << paper << " " << key;
            EXPECT_EQ(d.get("FinishFixedForm"), Value("Custom"));
            EXPECT_EQ(d.get("FinishedSizeName"), Value(""));
            EXPECT_FALSE(d.contains("FinishedSizeHeight")) << mode << " " << paper;
        }
    Dictionary noPaper{{"ImpositionMode_ImpositionCustomMode", "Nup"},
                       {"ImpositionNup_NumOfPages", "2up"}};
    P::convertToCanonicalImpositionKeyword(noPaper);
    for (const char* key : {"FixedForm", "SheetSizeName", "SheetSizeHeight", "SheetSizeWidth"})
        EXPECT_FALSE(noPaper.contains(key)) << key; // no paper size: the sheet step does nothing
}

TEST(ImpositionTest, NupLayoutsByPageCountAndDirection) {
    struct Case {
        const char* pages;
        const char* orientation;
        const char* repeatX;
        const char* repeatY;
        const char* direction;
    };
    const Case cases[] = {{"2up", "Portrait", "2", "1", "Landscape"},
                          {"2up", "Landscape", "1", "2", "Portrait"},
                          {"8up", "Portrait", "4", "2", "Landscape"},
                          {"16up", "Landscape", "4", "4", "Landscape"},
                          {"32up", "Landscape", "4", "8", "Portrait"}};
    for (const auto& c : cases) {
        Dictionary d{{"ImpositionMode_ImpositionCustomMode", "Nup"},
                     {"ImpositionNup_NumOfPages", c.pages},
                     {"DocumentOrientation", c.orientation},
                     {"ChgPrintPaperSizeType", "A4SEF"}};
        P::convertToCanonicalImpositionKeyword(d);
        EXPECT_EQ(d.get("LayoutRepeatX"), Value(c.repeatX)) << c.pages << c.orientation;
        EXPECT_EQ(d.get("LayoutRepeatY"), Value(c.repeatY)) << c.pages << c.orientation;
        EXPECT_EQ(d.get("SheetDirection"), Value(c.direction)) << c.pages << c.orientation;
        Dictionary back = d;
        P::convertToInternalImpositionKeyword(back);
        EXPECT_EQ(back.get("ImpositionNup_NumOfPages"), Value(c.pages));
    }
}

TEST(ImpositionTest, BookletToCanonicalAndBack) {
    Dictionary d{{"ImpositionMode_ImpositionCustomMode", "Booklet"},
                 {"ImpositionBooklet_LayoutBaseFile", "Right"},
                 {"ImpositionBooklet_CreepTotalOffset", "1.50"},
                 {"DocumentOrientation", "Landscape"},
                 {"ChgPrintPaperSizeType", "A4SEF"}};
    P::convertToCanonicalImpositionKeyword(d);
    EXPECT_EQ(d.get("FinishedSizeHeight"), Value("119056"));
    EXPECT_EQ(d.get("FinishedSizeWidth"), Value("84189"));
    EXPECT_EQ(d.get("SheetDirection"), Value("Landscape"));
    EXPECT_EQ(d.get("LayoutBaseFile"), Value("SaddleStiching2x1(RightBinding).json"));
    EXPECT_EQ(d.get("BackMargin"), Value("850"));
    EXPECT_EQ(d.get("CreepSetting"), Value("False"));
    EXPECT_EQ(d.get("RotationAngle"), Value("Rotate90"));
    EXPECT_EQ(d.get("ImpositionAutoDuplex"), Value("True"));
    EXPECT_EQ(d.get("NupLayout"), Value("Z"));
    EXPECT_EQ(d.get("LayoutRepeatX"), Value("1"));

    P::convertToInternalImpositionKeyword(d);
    EXPECT_EQ(d.get("ImpositionMode_ImpositionCustomMode"), Value("Booklet"));
    EXPECT_EQ(d.get("ImpositionBooklet_LayoutBaseFile"), Value("Right"));
    EXPECT_EQ(d.get("ImpositionBooklet_CreepTotalOffset"), Value("1.50"));
    EXPECT_FALSE(d.contains("BackMargin"));
}

TEST(ImpositionTest, InternalDefaultsAndEmptyDictionaries) {
    Dictionary empty;
    P::convertToInternalImpositionKeyword(empty);
    EXPECT_TRUE(empty.empty());

    Dictionary odd{{"ImpositionMode", "Job"},
                   {"ImpositionCustomMode", "Nup"},
                   {"LayoutRepeatX", "3"},
                   {"LayoutRepeatY", "1"},
                   {"SheetDirection", "Landscape"}};
    P::convertToInternalImpositionKeyword(odd);
    EXPECT_EQ(odd.get("ImpositionNup_NumOfPages"), Value("2up"));

    Dictionary plain{{"Copies", "1"}};
    P::convertToCanonicalImpositionKeyword(plain);
    EXPECT_EQ(plain.get("LayoutBaseFile"), Value("Normal-1side.json"));
    EXPECT_EQ(plain.get("LayoutRepeatX"), Value("1"));
    EXPECT_EQ(plain.get("Fitting"), Value("False"));

    Dictionary custom{{"ImpositionMode_ImpositionCustomMode", "Nup"},
                      {"ImpositionNup_NumOfPages", "2up"},
                      {"ChgPrintPaperSizeType", "Custom"},
                      {"ChgPrintPaperSizeLength", "200000"},
                      {"ChgPrintPaperSizeWidth", "100000"}};
    P::convertToCanonicalImpositionKeyword(custom);
    EXPECT_EQ(custom.get("FinishSheetDirection"),
              Value("Portrait")); // Custom is not in the landscape list
    EXPECT_EQ(custom.get("FinishedSizeHeight"), Value("100000"));
    EXPECT_EQ(custom.get("FinishedSizeWidth"), Value("100000"));
    EXPECT_EQ(custom.get("SheetSizeHeight"), Value("200000"));

    Dictionary fit{{"ImpositionMode_ImpositionCustomMode", "Booklet"}, {"Fitting", "True"}};
    P::setupScaleToFitValue(fit);
    EXPECT_EQ(fit.get("ImpositionBooklet_Fitting"), Value("True"));
    P::saveScaleToFitValue(fit);
    EXPECT_EQ(fit.get("Fitting"), Value("True"));
}

} // namespace
} // namespace velmora
