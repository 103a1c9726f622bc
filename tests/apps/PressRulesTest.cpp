// Every rule of the sample press, triggered in a panel session as a print operator would set the
// options, with the alert or the change that must follow. The expectations are written from what
// each rule means for the press; they are not read from its settings at test time, which would
// only restate them.

#include "support/CommandRunner.h"
#include "support/TempDir.h"

#include "platform/foundation/JsonReader.h"
#include "platform/printing/PressNames.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>

namespace velmora {
namespace {

using ::testing::HasSubstr;

struct Rule {
    std::string name;    // the rule in words; also names the test
    std::string session; // the arguments of `velmora panel`: options are set in this order
    std::string alert;   // a part of the last alert's message; "" when no alert may be shown
    std::string refusal; // a part of the error when the session is refused; "" when it succeeds
    // Option → what the print settings hold after the session: a PPD choice ("" when the
    // option is at its default, so not written) or a panel entry's value.
    std::vector<std::pair<std::string, std::string>> printed;
};

void PrintTo(const Rule& rule, std::ostream* out) {
    *out << rule.name << ": velmora panel " << rule.session;
}

// What the print settings hold for an option: its PPD choice (which the queue's PPD may name for
// print clients, as an IPP output bin), else its panel entry.
std::string printedValue(const Dictionary& settings, const std::string& option) {
    static ppd_file_t* queue = ppdOpenFile(VELMORA_QUEUE_PPD);
    static const PressNames names(queue);
    std::string queueOption = names.optionInPpd(option);
    if (const Dictionary* ppd = settings.get("ppd").dictionary(); ppd && ppd->contains(queueOption))
        return names.ofPress(queueOption, ppd->get(queueOption).stringValue()).second;
    if (const Dictionary* ticket = settings.get("ticket").dictionary())
        if (const Value* entry = ticket->find("com.velmora.print.PrintSettingsTicket." + option))
            return entry->stringValue();
    return "";
}

class PressRulesTest : public ::testing::TestWithParam<Rule> {
protected:
    test::TempDir dir;
    test::ScopedEnv library{"VELMORA_USER_LIBRARY", (dir / "library").c_str()};
    test::ScopedEnv data{"XDG_DATA_HOME", (dir / "data").c_str()};
    test::ScopedEnv language{"LANGUAGE", "en"};
};

TEST_P(PressRulesTest, TheSessionShowsAndPrintsWhatTheRuleRequires) {
    const Rule& rule = GetParam();
    auto result = test::runVelmora("panel " + rule.session, dir / "err");
    std::string errors = test::readFile(dir / "err");
    if (!rule.refusal.empty()) {
        EXPECT_NE(result.status, 0);
        EXPECT_THAT(errors, HasSubstr(rule.refusal));
        return;
    }
    ASSERT_EQ(result.status, 0) << errors;
    auto parsed = JsonReader::parse(result.out);
    ASSERT_TRUE(parsed && parsed->dictionary()) << result.out;
    const Dictionary& report = *parsed->dictionary();
    const Array* alerts = report.get("alerts").array();
    ASSERT_TRUE(alerts);
    if (rule.alert.empty()) {
        EXPECT_TRUE(alerts->empty()) << Value(*alerts).toJson();
    } else {
        ASSERT_FALSE(alerts->empty());
        EXPECT_THAT(alerts->back().dictionary()->get("message").stringValue(),
                    HasSubstr(rule.alert));
    }
    const Dictionary* settings = report.get("printSettings").dictionary();
    ASSERT_TRUE(settings);
    for (const auto& [option, value] : rule.printed)
        EXPECT_EQ(printedValue(*settings, option), value) << option;
}

// clang-format off
const Rule kRules[] = {
    // ---- Conflicts the person resolves (yes changes the other option, no puts this one back) ----
    {"SecurePrintWithStoreAsksToPrintInstead",
     "--set JobDisposition=Store --set SecPrint=True --set SecPrintPassword=1234",
     "[Job Handling]:[Print]", "", {{"SecPrint", "True"}, {"JobDisposition", ""}}},
    {"SecurePrintWithStoreAnsweredNoStaysStored",
     "--set JobDisposition=Store --set SecPrint=True --answer no",
     "[Job Handling]:[Print]", "", {{"SecPrint", ""}, {"JobDisposition", "Store"}}},
    {"SecurePrintWithSamplePrintAsksToTurnSamplePrintOff",
     "--set SamplePrintMode=SampleSet --set SecPrint=True --set SecPrintPassword=1234",
     "[Secure Print]:[On]\r[Sample Print]:[Print One Set, Hold the Rest]", "",
     {{"SecPrint", "True"}, {"SamplePrintMode", ""}}},
    {"LongEdgeDuplexOnTransparenciesAsksForUncoatedPaper",
     "--set PaperType_MediaTypeTabbed=Transparency_False --set UseSpToner=True "
     "--set SpTonerUseMode=SpBack",
     "[2-Sided Printing]:[2-Sided, Long-Edge Binding]\r[Paper Type]:[Transparency]\r\r"
     "Do you want to change to the following settings to enable the selection?\r"
     "[Paper Type]:[Uncoated]", "",
     {{"DuplexMode", "DuplexNoTumble"}, {"PaperType", "Uncoated"}, {"ZRMediaType", "Plain"}}},
    {"TransparenciesAfterDuplexAskForOneSidedPrinting",
     "--set DuplexMode=DuplexNoTumble --set PaperType_MediaTypeTabbed=Transparency_False",
     "selection?\r[2-Sided Printing]:[1-Sided]", "",
     {{"PaperType", "Transparency"}, {"DuplexMode", ""}, {"Duplex", ""}}},
    {"TransparenciesAfterDuplexAnsweredNoKeepTheDuplex",
     "--set DuplexMode=DuplexNoTumble --set PaperType_MediaTypeTabbed=Transparency_False "
     "--answer no",
     "selection?\r[2-Sided Printing]:[1-Sided]", "",
     {{"PaperType", ""}, {"DuplexMode", "DuplexNoTumble"}}},
    {"HeavyThreePaperAsksToTakeTheStapleOff",
     "--set StapleMode_StapleMechanism=TopLeftCornerUseStaple --set MediaTypeWeight=Group5",
     "[Paper Weight]:[257-300 gsm (Heavy 3)]\r[Staple]:[1 Staple, Top Left]", "",
     {{"MediaTypeWeight", "Group5"}, {"StapleMode", ""}}},
    {"ExactWeightAbove256GsmAsksToTakeTheStapleOff",
     "--set StapleMode_StapleMechanism=LeftEdgeUseStaple --set MediaTypeWeightValue=280",
     "[Exact Paper Weight (0: Use the Range)]:[More Than 256]\r[Staple]:[2 Staples, Left]", "",
     {{"MediaTypeWeightValue", "280"}, {"StapleMode", ""}}},
    {"ExactWeightAbove300GsmAsksToTakeTheFoldOff",
     "--set Fold=Bifold --set MediaTypeWeightValue=350",
     "[Exact Paper Weight (0: Use the Range)]:[More Than 300]\r[Fold]:[Half Fold]", "",
     {{"MediaTypeWeightValue", "350"}, {"Fold", ""}}},
    {"CustomLengthAbove457MmAsksToTakeThePunchOff",
     "--set Punch_PunchHoles=LeftHoles2 --set ChgPrintPaperSizeType=Custom "
     "--set ChgPrintPaperSizeLength=480",
     "[Custom Length (Feed Direction)]:[More Than 457.2]\r[Hole Punch]:[2 Holes, Left]", "",
     {{"ChgPrintPaperSizeType", "Custom"}, {"Punch", ""}, {"PunchHoles", ""}}},
    {"BookletWithCornerStapleAsksForSaddleStitch",
     "--set StapleMode_StapleMechanism=LeftEdgeUseStaple "
     "--set ImpositionMode_ImpositionCustomMode=Booklet",
     "[Imposition]:[Booklet]\r[Staple]:[2 Staples, Left]", "",
     {{"ImpositionCustomMode", "Booklet"}, {"StapleMode", "SaddleInside"}}},
    {"StackerTrayWithStapleAsksToTakeAllFinishingOff",
     "--set StapleMode_StapleMechanism=LeftEdgeUseStaple --set OutputTray=Stackertray",
     "selection?\r[Staple]:[Off]\r[Hole Punch]:[Off]\r[Fold]:[Off]", "",
     {{"OutputTray", "Stackertray"}, {"StapleMode", ""}}},
    {"FinisherTopTrayWithOffsetAsksToTurnOffsetOff",
     "--set OffsetMode=SetOffset --set OutputTray=D3finishertoptray",
     "[Output Tray]:[Finisher Top Tray]\r[Offset]:[Each Set]", "",
     {{"OutputTray", "D3finishertoptray"}, {"OffsetMode", ""}}},
    {"OffsetOnFinisherTopTrayAsksForTheFinisherTray",
     "--set OutputTray=D3finishertoptray --set OffsetMode=JobOffset",
     "selection?\r[Output Tray]:[Finisher Tray]", "",
     {{"OffsetMode", "JobOffset"}, {"OutputTray", "D3finishertray"}}},
    {"StapleOnStackerTrayAsksForTheFinisherTray",
     "--set OutputTray=Stackertray --set StapleMode_StapleMechanism=LeftEdgeUseStaple",
     "[Staple]:[2 Staples, Left]\r[Output Tray]:[Stacker Tray]", "",
     {{"StapleMode", "LeftEdge"}, {"OutputTray", "D3finishertray"}}},
    {"StapleOnStackerTrayAnsweredNoKeepsTheStackerTray",
     "--set OutputTray=Stackertray --set StapleMode_StapleMechanism=LeftEdgeUseStaple "
     "--answer no",
     "selection?\r[Output Tray]:[Finisher Tray]", "",
     {{"StapleMode", ""}, {"OutputTray", "Stackertray"}}},
    {"PunchOnStackerTrayAsksForTheFinisherTray",
     "--set OutputTray=Stackertray --set Punch_PunchHoles=LeftHoles2",
     "[Hole Punch]:[2 Holes, Left]\r[Output Tray]:[Stacker Tray]", "",
     {{"Punch", "Left"}, {"PunchHoles", "Holes2"}, {"OutputTray", "D3finishertray"}}},
    {"FoldOnStackerTrayAsksForTheFinisherTopTray",
     "--set OutputTray=Stackertray --set Fold=Bifold",
     "selection?\r[Output Tray]:[Finisher Top Tray]", "",
     {{"Fold", "Bifold"}, {"OutputTray", "D3finishertoptray"}}},
    {"CreaseForHalfFoldAsksToTakeTheFoldOff",
     "--set Fold=Bifold --set CreaseMode=SaddleFold",
     "[Crease]:[For Half Fold]\r[Fold]:[Half Fold]", "",
     {{"CreaseMode", "SaddleFold"}, {"Fold", ""}}},
    {"TopAndTailTrimAsksForSaddleStitch",
     "--set ImpositionMode_ImpositionCustomMode=Booklet --set TopAndTailTrim=True",
     "[Top and Tail Trim]:[On]\r[Staple]:[Off]", "",
     {{"TopAndTailTrim", "True"}, {"StapleMode", "SaddleInside"}}},
    {"ForeEdgeTrimAsksForSaddleStitch",
     "--set ImpositionMode_ImpositionCustomMode=Booklet --set Trimmer=True",
     "selection?\r[Staple]:[Saddle Stitch (Print Side In)]", "",
     {{"Trimmer", "True"}, {"StapleMode", "SaddleInside"}}},
    {"ForeEdgeTrimAnsweredNoStaysOff",
     "--set ImpositionMode_ImpositionCustomMode=Booklet --set Trimmer=True --answer no",
     "[Fore-Edge Trim]:[On]\r[Staple]:[Off]", "",
     {{"Trimmer", ""}, {"StapleMode", ""}}},
    {"SpecialTonerOnSideTwoOnlyAsksForDuplex",
     "--set UseSpToner=True --set SpTonerUseMode=SpBack",
     "[Special Toner Sides]:[Side 2 Only]\r[2-Sided Printing]:[1-Sided]", "",
     {{"SpTonerUseMode", "SpBack"}, {"DuplexMode", "DuplexNoTumble"},
      {"Duplex", "DuplexNoTumble"}}},
    {"SamplePrintOfAHeldJobAsksToPrintInstead",
     "--set JobDisposition=Hold --set SamplePrintMode=SampleSet",
     "[Sample Print]:[Print One Set, Hold the Rest]\r[Job Handling]:[Hold]", "",
     {{"SamplePrintMode", "SampleSet"}, {"JobDisposition", ""}}},
    {"PrintTimeOfAHeldJobAsksToPrintInstead",
     "--set JobDisposition=Hold --set DeferredPrint=True --set DeferredPrintTime=1800000000",
     "in order to change [Print Time]?\r[Job Handling]:[Print]", "",
     {{"DeferredPrint", "True"}, {"JobDisposition", ""}}},
    {"PrintTimeOfAStoredJobAnsweredNoStaysStored",
     "--set JobDisposition=Store --set DeferredPrint=True --set DeferredPrintTime=1800000000 "
     "--answer no",
     "in order to change [Print Time]?\r[Job Handling]:[Print]", "",
     {{"DeferredPrint", "True"}, {"JobDisposition", "Store"}}},
    {"PdfPrintEngineAsksToStopSavingTheRasterImage",
     "--set ZRSaveFile=TIFF600dpi --set ZRRIPMode=APPE",
     "[PDF Processing]:[Adobe PDF Print Engine]\r[Save the Raster Image]:[TIFF, 600 dpi]", "",
     {{"ZRRIPMode", "APPE"}, {"ZRSaveFile", ""}}},

    // Half Fold is set first, on the panel: heavy paper then asks to turn the fold off.
    {"HeavyPaperAfterHalfFoldAsksToTurnTheFoldOff",
     "--set MediaTypeWeight=Group6 --set Fold=Bifold",
     "[Paper Weight]:[301-400 gsm (Heavy 4)]\r[Fold]:[Half Fold]", "",
     {{"MediaTypeWeight", "Group6"}, {"Fold", ""}}},

    // ---- Conflicts no change resolves: the choice goes back ----
    {"LetterFoldOfStapledSheetsGoesBack",
     "--set StapleMode_StapleMechanism=TopLeftCornerUseStaple --set Fold=C_TrifoldInside",
     "The sheets cannot be folded.\r[Fold]:[Letter Fold (Print Side In)]\r"
     "[Staple]:[1 Staple, Top Left]\r\rThe folder takes paper up to 256 gsm", "",
     {{"Fold", ""}, {"StapleMode", "TopLeftCorner"}}},
    {"StoringASecurePrintJobGoesBack",
     "--set SecPrint=True --set SecPrintPassword=1234 --set JobDisposition=Store",
     "[Job Handling]:[Store in a Job Folder]\r[Secure Print]:[On]\r\r"
     "A secure print job cannot be stored in a job folder.", "",
     {{"JobDisposition", ""}, {"SecPrint", "True"}}},
    // Chosen first, the finishing stands when the paper that rules it out follows; such settings
    // are refused before printing, with the same alert.
    {"PunchedPostcardsAreNotPrinted",
     "--set Punch_PunchHoles=LeftHoles2 --set PaperType_MediaTypeTabbed=PostCard_False", "",
     "Hole punching is not available for this paper.\r[Hole Punch]:[2 Holes, Left]\r"
     "[Paper Type]:[Postcard]", {}},
    {"PunchedSheetsShorterThan182MmAreNotPrinted",
     "--set Punch_PunchHoles=LeftHoles2 --set ChgPrintPaperSizeType=Custom "
     "--set ChgPrintPaperSizeLength=150", "",
     "[Hole Punch]:[2 Holes, Left]\r[Custom Length (Feed Direction)]:[Less Than 182.0]", {}},
    // On film the gloss control is disabled, so its rule is never put to the person: gloss
    // cannot be chosen once film is.
    {"GlossEmphasisCannotBeChosenOnFilm",
     "--set UseSpToner=True --set PaperType_MediaTypeTabbed=Film_False "
     "--set SpTonerGlossEmphasis=True", "",
     "SpTonerGlossEmphasis: the control is disabled", {}},

    // ---- Conditions: an option is offered only with another's choice ----
    {"TheSecurePrintPasswordNeedsSecurePrint",
     "--set SecPrintPassword=1234", "", "SecPrintPassword: the control is disabled", {}},
    {"BlackAndWhiteTurnsTheColorModelOff",
     "--set ColorMode=Gray --set ColorModel=CMYK2", "", "ColorModel: the control is disabled", {}},
    {"AutoColorKeepsTheColorModel",
     "--set ColorMode=Auto --set ColorModel=CMYK2", "", "",
     {{"ColorMode", "Auto"}, {"ColorModel", "CMYK2"}}},
    {"ASheetSideRangeIsTypedForASpecifiedRange",
     "--set PhysicalPageRangeMode=Appoint --set PhysicalPageRange=2-5", "", "",
     {{"PhysicalPageRangeMode", "Appoint"}, {"PhysicalPageRange", "2-5"}}},
    {"ADocumentPageRangeNeedsASpecifiedRange",
     "--set LogicalPageRange=2-4", "", "LogicalPageRange: the control is disabled", {}},
    {"AMediaCatalogStockIsNamedForTheStockSource",
     "--set KVInputSlot=TrayStk --set StkName=Heavy300", "", "",
     {{"KVInputSlot", "TrayStk"}, {"StkName", "Heavy300"}}},
    {"BypassPaperIsChosenOnlyWithoutAutoSelectSettings",
     "--set MediaTypeWeightBypass=Group3", "", "MediaTypeWeightBypass: the control is disabled",
     {}},
    {"BypassPaperColorIsChosenWithAutoSelectSettingsOff",
     "--set AutoTraySettingToBypass=False --set PaperColorBypass=Blue", "", "",
     {{"AutoTraySettingToBypass", "False"}, {"PaperColorBypass", "Blue"}}},
    {"TabStockTakesAStockSequence",
     "--set PaperType_MediaTypeTabbed=TabPaper_True --set MediaTypeSequence=3", "", "",
     {{"PaperType", "TabPaper"}, {"MediaTypeSequence", "3"}}},
    {"FilmHasNoCoating",
     "--set PaperType_MediaTypeTabbed=Film_False --set MediaTypeCoatingMaterial=Gloss", "",
     "MediaTypeCoatingMaterial: the control is disabled", {}},
    {"ACustomPaperColorIsNamed",
     "--set PaperColor=StkCustom --set PaperColorCustomName=Lilac", "", "",
     {{"PaperColor", "StkCustom"}, {"PaperColorCustomName", "Lilac"}}},
    {"ACustomWidthNeedsACustomSize",
     "--set ChgPrintPaperSizeWidth=200", "", "ChgPrintPaperSizeWidth: the control is disabled",
     {}},
    {"AFrontCoverTakesACoverTray",
     "--set Covers=Front --set CoverPageTray=Tray2", "", "",
     {{"Covers", "Front"}, {"CoverPageTray", "Tray2"}}},
    {"TheTrayBeforeTheJobNeedsABlankSheetBefore",
     "--set BlankPapersFrontTray=Tray1", "", "BlankPapersFrontTray: the control is disabled",
     {}},
    {"TheBlankSheetBeforeIsAMediaCatalogStock",
     "--set InsertBlankBefore=True --set BlankPapersFrontTray=TrayStk "
     "--set BlankPapersFrontStkName=Cover", "", "",
     {{"BlankPapersFrontTray", "TrayStk"}, {"BlankPapersFrontStkName", "Cover"}}},
    {"ABlankSheetAfterTakesATray",
     "--set InsertBlankAfter=True --set BlankPapersBackTray=Tray3", "", "",
     {{"InsertBlankAfter", "True"}, {"BlankPapersBackTray", "Tray3"}}},
    {"TheStockNameAfterNeedsTheStockTray",
     "--set InsertBlankAfter=True --set BlankPapersBackStkName=Cover", "",
     "BlankPapersBackStkName: the control is disabled", {}},
    {"SlipSheetsTakeATray",
     "--set SlipSheets=BetweenPages --set SeparatorsTray=Tray2", "", "",
     {{"SlipSheets", "BetweenPages"}, {"SeparatorsTray", "Tray2"}}},
    {"SlipSheetsFromAMediaCatalogStockAreNamed",
     "--set SlipSheets=BetweenSets --set SeparatorsTray=TrayStk --set SeparatorsStkName=Blue",
     "", "", {{"SeparatorsTray", "TrayStk"}, {"SeparatorsStkName", "Blue"}}},
    {"NUpTakesPagesPerSide",
     "--set ImpositionMode_ImpositionCustomMode=Nup --set ImpositionNup_NumOfPages=4up", "", "",
     {{"ImpositionCustomMode", "Nup"}}},
    {"NUpHasNoImpositionTemplate",
     "--set ImpositionMode_ImpositionCustomMode=Nup --set ImpositionTemplate=Cards", "",
     "ImpositionTemplate: the control is disabled", {}},
    {"TheFirstSheetOfATemplateIsAMediaCatalogStock",
     "--set ImpositionMode_ImpositionCustomMode=Template --set ImpositionTemplate=Cards "
     "--set Imposition1stTray=TrayStk --set Imposition1stStkName=Card300", "", "",
     {{"ImpositionTemplate", "Cards"}, {"Imposition1stTray", "TrayStk"},
      {"Imposition1stStkName", "Card300"}}},
    {"AnImposedFormOverlayIsNamed",
     "--set ImpositionMode_ImpositionCustomMode=Nup --set ImpositionVariablePrintMode=UseForm "
     "--set ImpositionFormName=Letterhead", "", "",
     {{"ImpositionVariablePrintMode", "UseForm"}, {"ImpositionFormName", "Letterhead"}}},
    {"StandardImposedNumberingHasNoTemplate",
     "--set ImpositionMode_ImpositionCustomMode=Nup --set ImpositionPaginationMode=Auto "
     "--set ImpositionPaginationTemplate=Footer", "",
     "ImpositionPaginationTemplate: the control is disabled", {}},
    {"AnImposedWatermarkIsNamed",
     "--set ImpositionMode_ImpositionCustomMode=Booklet --set ImpositionWaterMark=True "
     "--set ImpositionWaterMarkName=Draft", "", "",
     {{"ImpositionWaterMark", "True"}, {"ImpositionWaterMarkName", "Draft"}}},
    {"AFormOverlayIsNamed",
     "--set VariablePrintMode=UseForm --set FormName=Invoice", "", "",
     {{"VariablePrintMode", "UseForm"}, {"FormName", "Invoice"}}},
    {"ANumberingTemplateIsNamed",
     "--set PaginationMode=Template --set PaginationTemplate=Footer", "", "",
     {{"PaginationMode", "Template"}, {"PaginationTemplate", "Footer"}}},
    {"AWatermarkNameNeedsAWatermark",
     "--set WaterMarkName=Draft", "", "WaterMarkName: the control is disabled", {}},
    {"TwoCreaseLinesHaveNoThirdDirection",
     "--set CreaseMode=Custom --set CreaseNum=2 --set CreaseDirection3=Valley", "",
     "CreaseDirection3: the control is disabled", {}},
    {"TheHeadCutNeedsTopAndTailTrim",
     "--set TopAndTailTrimFrontCutSize=10", "",
     "TopAndTailTrimFrontCutSize: the control is disabled", {}},
    {"TheFinishedWidthNeedsForeEdgeTrim",
     "--set TrimmerFinishedSize=200", "", "TrimmerFinishedSize: the control is disabled", {}},
    {"AnImageAdjustmentSetIsNamed",
     "--set ImageUserAdjust=True --set ImageUserAdjustName=Vivid", "", "",
     {{"ImageUserAdjust", "True"}, {"ImageUserAdjustName", "Vivid"}}},
    {"AnImageToneCurveNameNeedsTheToneCurve",
     "--set ImageTonerCurveName=Soft", "", "ImageTonerCurveName: the control is disabled", {}},
    {"ATextAdjustmentSetIsNamed",
     "--set TextUserAdjust=True --set TextUserAdjustName=Crisp", "", "",
     {{"TextUserAdjust", "True"}, {"TextUserAdjustName", "Crisp"}}},
    {"ATextToneCurveNameNeedsTheToneCurve",
     "--set TextTonerCurveName=Soft", "", "TextTonerCurveName: the control is disabled", {}},
    {"ACalibrationFileForImagesIsNamed",
     "--set ImageCalibrationType=File --set ImageCalibration=Coated", "", "",
     {{"ImageCalibrationType", "File"}, {"ImageCalibration", "Coated"}}},
    {"NoTextCalibrationTakesNoFile",
     "--set TextCalibrationType=None --set TextCalibration=Coated", "",
     "TextCalibration: the control is disabled", {}},
    {"SpecialTonerSidesNeedSpecialToner",
     "--set SpTonerUseMode=SpFront", "", "SpTonerUseMode: the control is disabled", {}},
    {"SideOneOnlyTonerHasNoSideTwoOverlay",
     "--set UseSpToner=True --set SpTonerUseMode=SpFront --set SpTonerOverlayBack=True", "",
     "SpTonerOverlayBack: the control is disabled", {}},
    {"GlossEmphasisTakesTheSideOneTonerColor",
     "--set UseSpToner=True --set SpTonerGlossEmphasis=True "
     "--set SpTonerSpecifyColorFront_SpTonerColorFront=Specified_Gold", "",
     "SpTonerSpecifyColorFront_SpTonerColorFront: the control is disabled", {}},
    {"SideOneTonerPagesAreTypedForASpecifiedRange",
     "--set UseSpToner=True --set SpTonerPageRangeModeFront=Appoint "
     "--set SpTonerPageRangeFront=1-3", "", "",
     {{"SpTonerPageRangeModeFront", "Appoint"}, {"SpTonerPageRangeFront", "1-3"}}},
    {"TheSideOneSpotPlateIsNamed",
     "--set UseSpToner=True --set SpTonerPlateReplaceSpotFront=Specified "
     "--set SpTonerPlateReplaceSpotNameFront=Gold871", "", "",
     {{"SpTonerPlateReplaceSpotFront", "Specified"},
      {"SpTonerPlateReplaceSpotNameFront", "Gold871"}}},
    {"TheSideOneOverlayModeNeedsTheOverlay",
     "--set UseSpToner=True --set SpTonerOverlayModeFront=SpecifiedObject", "",
     "SpTonerOverlayModeFront: the control is disabled", {}},
    {"AllObjectsOnSideOneTakeNoObjectChoice",
     "--set UseSpToner=True --set SpTonerOverlayFront=True "
     "--set SpTonerOverlayObjectFrontText=False", "",
     "SpTonerOverlayObjectFrontText: the control is disabled", {}},
    {"SideTwoTonerPagesNeedASpecifiedRange",
     "--set UseSpToner=True --set SpTonerPageRangeBack=2", "",
     "SpTonerPageRangeBack: the control is disabled", {}},
    {"TheSideTwoSpotNameNeedsPlateReplacement",
     "--set UseSpToner=True --set SpTonerPlateReplaceSpotNameBack=Gold871", "",
     "SpTonerPlateReplaceSpotNameBack: the control is disabled", {}},
    {"TheSideTwoOverlayTakesAnOverlayMode",
     "--set UseSpToner=True --set SpTonerOverlayBack=True "
     "--set SpTonerOverlayModeBack=SpecifiedObject", "", "",
     {{"SpTonerOverlayBack", "True"}, {"SpTonerOverlayModeBack", "SpecifiedObject"}}},
    {"SelectedObjectsOnSideTwoAreChosen",
     "--set UseSpToner=True --set SpTonerOverlayBack=True "
     "--set SpTonerOverlayModeBack=SpecifiedObject --set SpTonerOverlayObjectBackPhoto=False",
     "", "", {{"SpTonerOverlayModeBack", "SpecifiedObject"},
              {"SpTonerOverlayObjectBackPhoto", "False"}}},
    {"WithoutRgbConversionThereIsNoRenderingIntent",
     "--set RgbColorCorrection=False --set RgbImageCcMode=Saturation", "",
     "RgbImageCcMode: the control is disabled", {}},
    {"ACustomRgbConversionIsNamed",
     "--set RgbImageCcMode=Custom --set RgbImageCcModeCustomName=Warm", "", "",
     {{"RgbImageCcMode", "Custom"}, {"RgbImageCcModeCustomName", "Warm"}}},
    {"TheCmykConversionNeedsCmykColorConversion",
     "--set CmykColorCorrectionProfileType=Profile", "",
     "CmykColorCorrectionProfileType: the control is disabled", {}},
    {"ADeviceLinkProfileIsNamed",
     "--set CmykColorCorrection=True --set CmykColorCorrectionProfileType=DeviceLink "
     "--set CmykDeviceLinkProfile=FograToGracol", "", "",
     {{"CmykColorCorrectionProfileType", "DeviceLink"},
      {"CmykDeviceLinkProfile", "FograToGracol"}}},
    {"WithoutSpotMatchingThereIsNoSpotLibrary",
     "--set SpotColorCorrection=False --set SpotColorCorrectionProfile=UseOther", "",
     "SpotColorCorrectionProfile: the control is disabled", {}},
    {"ANamedSpotLibraryIsNamed",
     "--set SpotColorCorrectionProfile=Profile --set SpotColorCorrectionProfileName=PantonePlus",
     "", "", {{"SpotColorCorrectionProfile", "Profile"},
              {"SpotColorCorrectionProfileName", "PantonePlus"}}},
    {"AColorReplacementSetIsNamed",
     "--set ReplaceColorSettings=True --set ReplaceColorSettingsName=Brand", "", "",
     {{"ReplaceColorSettings", "True"}, {"ReplaceColorSettingsName", "Brand"}}},
    {"ThePressStandardOutputProfileTakesNoName",
     "--set RenderingProfileName=Coated", "", "RenderingProfileName: the control is disabled",
     {}},
    {"ATrappingTemplateIsNamed",
     "--set TrappingProcessMode=Template --set TrappingProcessFile=Fine", "", "",
     {{"TrappingProcessMode", "Template"}, {"TrappingProcessFile", "Fine"}}},
    {"AColorControlStripNeedsTheStrip",
     "--set ColorPatchFile=Strip", "", "ColorPatchFile: the control is disabled", {}},
    {"AStoredJobTakesAJobFolder",
     "--set JobDisposition=Store --set JobFolderName=Proofs", "", "",
     {{"JobDisposition", "Store"}, {"JobFolderName", "Proofs"}}},
    {"SplittingByRecordHasNoSheetsPerRecord",
     "--set RecordDiv=Record --set RecordDivPages=20", "",
     "RecordDivPages: the control is disabled", {}},
    {"SelectedRecordsAreTyped",
     "--set RecordDiv=Pages --set RecordSpec=True --set RecordSpecNumber=1-5", "", "",
     {{"RecordSpec", "True"}, {"RecordSpecNumber", "1-5"}}},
    {"AJobNoteFileIsNamed",
     "--set OptionMemo=True --set OptionMemoFile=Notes", "", "",
     {{"OptionMemo", "True"}, {"OptionMemoFile", "Notes"}}},
    {"ACustomNoteFileNeedsTheCustomNote",
     "--set UserDefineMemoFile=Notes", "", "UserDefineMemoFile: the control is disabled", {}},
    {"AnOperatorCommentIsTyped",
     "--set MemoComment=True --set MemoCommentContent=Rush", "", "",
     {{"MemoComment", "True"}, {"MemoCommentContent", "Rush"}}},
    {"TheUserIdTypeNeedsJobAuthentication",
     "--set AuthJobUserIdType=ID", "", "AuthJobUserIdType: the control is disabled", {}},
    {"AnAuthenticationUserIdIsTyped",
     "--set AuthJob=True --set AuthJobUserIdType=ID --set AuthJobUserId=operator7", "", "",
     {{"AuthJob", "True"}, {"AuthJobUserId", "operator7"}}},

    // ---- Logical sums: an option is offered while any of its sources offers it ----
    {"SideTwoImageShiftNeedsTwoSidedOrBooklet",
     "--set PrintPositionBackWidth=10", "", "PrintPositionBackWidth: the control is disabled",
     {}},
    {"TwoSidedPrintingOffersTheSideTwoImageShift",
     "--set DuplexMode=DuplexTumble --set ImpositionMode_ImpositionCustomMode=Nup "
     "--set PrintPositionBackLength=4", "", "",
     {{"DuplexMode", "DuplexTumble"}, {"ImpositionCustomMode", "Nup"}}},
    {"BookletOffersTheSideTwoImageShift",
     "--set ImpositionMode_ImpositionCustomMode=Booklet --set PrintPositionBackWidth=5", "", "",
     {{"ImpositionCustomMode", "Booklet"}}},
    // The press takes line widths in thousandths of a point.
    {"HairlineWarningOffersTheThreshold",
     "--set HairLineWarning=True --set HairLineWarningPoint=0.05", "", "",
     {{"HairLineWarning", "True"}, {"HairLineWarningPoint", "50"}}},
    {"TheHairlineThresholdNeedsAWarningOrPreflight",
     "--set HairLineWarningPoint=0.05", "", "HairLineWarningPoint: the control is disabled", {}},
    {"ThickeningThinLinesOffersTheMinimumWidth",
     "--set MinimumLineWidth=True --set MinimumLineWidthValue=0.3", "", "",
     {{"MinimumLineWidth", "True"}, {"MinimumLineWidthValue", "300"}}},
    {"PreflightOffersTheMinimumLineWidth",
     "--set PreflightMode=Check --set MinimumLineWidthValue=0.3", "", "",
     {{"PreflightMode", "Check"}, {"MinimumLineWidthValue", "300"}}},

    // ---- Cooperation: setting one option sets others along ----
    {"ShortEdgeDuplexSetsThePrintingSystemDuplex",
     "--set DuplexMode=DuplexTumble", "", "",
     {{"DuplexMode", "DuplexTumble"}, {"Duplex", "DuplexTumble"}}},
    {"ThePaperSourceSetsTheInputSlot",
     "--set KVInputSlot=Tray2", "", "", {{"KVInputSlot", "Tray2"}, {"InputSlot", "Tray2"}}},
    {"RecycledPaperSetsItsWeightAndMediaType",
     "--set PaperType_MediaTypeTabbed=StationeryRecycled_False", "", "",
     {{"PaperType", "StationeryRecycled"}, {"MediaTypeWeight", "Group1"},
      {"ZRMediaType", "Recycled"}}},
    {"AllObjectsOnSideOneTurnEveryObjectBackOn",
     "--set UseSpToner=True --set SpTonerOverlayFront=True "
     "--set SpTonerOverlayModeFront=SpecifiedObject --set SpTonerOverlayObjectFrontText=False "
     "--set SpTonerOverlayModeFront=AllObjects", "", "",
     {{"SpTonerOverlayModeFront", ""}, {"SpTonerOverlayObjectFrontText", ""}}},
    {"AllObjectsOnSideTwoTurnEveryObjectBackOn",
     "--set UseSpToner=True --set SpTonerOverlayBack=True "
     "--set SpTonerOverlayModeBack=SpecifiedObject --set SpTonerOverlayObjectBackPhoto=False "
     "--set SpTonerOverlayModeBack=AllObjects", "", "",
     {{"SpTonerOverlayModeBack", ""}, {"SpTonerOverlayObjectBackPhoto", ""}}},
    {"AnAutoAdjustedSrgbSourceSetsTheAutoAdjustment",
     "--set ZRRGBColorCorrect=sRGBAutoPerson", "", "",
     {{"ZRRGBColorCorrect", "sRGBAutoPerson"}, {"ZRSRGBAuto", "True"},
      {"ZRSRGBAutoType", "sRGBAutoPerson"}}},
    {"AnOwnOutputProfileSetsAnIccProfileType",
     "--set RenderingProfile=False --set RenderingProfileName=Coated", "", "",
     {{"RenderingProfileType", "ICC"}, {"RenderingProfileName", "Coated"}}},
    {"StoringAJobTurnsSamplePrintOff",
     "--set SamplePrintMode=SampleSet --set JobDisposition=Store", "", "",
     {{"JobDisposition", "Store"}, {"SamplePrintMode", ""}}},

    // ---- Hiding ----
    {"BlackAndWhiteHidesTwoColorPressSimulation",
     "--set ColorMode=Gray --set TwoColorPressSimulation=True", "",
     "TwoColorPressSimulation: the control is hidden", {}},
    {"CreaseForHalfFoldHidesTheCreaseLines",
     "--set CreaseMode=SaddleFold --set CreaseNum=2", "", "CreaseNum: the control is hidden", {}},
    // The press numbers the creases from the other edge: the third of three is its first.
    {"CustomCreaseShowsTheCreaseLines",
     "--set CreaseMode=Custom --set CreaseNum=3 --set CreaseDirection3=Valley", "", "",
     {{"CreaseMode", "Custom"}, {"CreaseNum", "3"}, {"CreaseDirection1", "Valley"}}},
    {"ThePdfPrintEngineHidesTheRasterImageSaving",
     "--set ZRRIPMode=APPE --set ZRSaveFile=TIFF600dpi", "",
     "ZRSaveFile: the control is hidden", {}},

    // ---- Final checks before printing ----
    {"SecurePrintNeedsItsPassword",
     "--set SecPrint=True", "", "Enter the secure print password", {}},
    {"AJobEndMailNeedsAnAddress",
     "--set MailNotifyJobEnd=True", "", "Enter the e-mail address for the job end notification",
     {}},
    {"JobAuthenticationByIdNeedsTheUserId",
     "--set AuthJob=True --set AuthJobUserIdType=ID --set AuthJobUserId=op7 "
     "--set AuthJobUserId=", "",
     "Enter the user ID for job authentication", {}},
    {"TheStockPaperSourceNeedsAStockName",
     "--set KVInputSlot=TrayStk", "", "Enter the media catalog stock name for the paper source",
     {}},
    {"ASpecifiedSheetSideRangeNeedsTheRange",
     "--set PhysicalPageRangeMode=Appoint", "", "Enter the range of sheet sides to print", {}},
    {"SelectedRecordsNeedTheRecords",
     "--set RecordDiv=Record --set RecordSpec=True", "", "Enter the records to print", {}},
    {"ASpecifiedDocumentPageRangeNeedsTheRange",
     "--set LogicalPageRangeMode=Appoint", "", "Enter the range of document pages to print", {}},
    {"ABlankSheetBeforeFromStockNeedsAStockName",
     "--set InsertBlankBefore=True --set BlankPapersFrontTray=TrayStk", "",
     "Enter the stock name of the blank sheet before the job", {}},
    {"ABlankSheetAfterFromStockNeedsAStockName",
     "--set InsertBlankAfter=True --set BlankPapersBackTray=TrayStk", "",
     "Enter the stock name of the blank sheet after the job", {}},
    {"SlipSheetsFromStockNeedAStockName",
     "--set SlipSheets=BetweenSets --set SeparatorsTray=TrayStk", "",
     "Enter the stock name of the slip sheets", {}},
    {"ImpositionByTemplateNeedsTheTemplate",
     "--set ImpositionMode_ImpositionCustomMode=Template", "", "Choose an imposition template",
     {}},
    {"AFirstSheetFromStockNeedsAStockName",
     "--set ImpositionMode_ImpositionCustomMode=Booklet --set Imposition1stTray=TrayStk", "",
     "Enter the stock name of the first sheet", {}},
    {"AnImposedFormOverlayNeedsTheForm",
     "--set ImpositionMode_ImpositionCustomMode=Nup --set ImpositionVariablePrintMode=UseForm",
     "", "Choose the form for the imposed job", {}},
    {"ImposedNumberingByTemplateNeedsTheTemplate",
     "--set ImpositionMode_ImpositionCustomMode=Nup --set ImpositionPaginationMode=Template", "",
     "Choose the numbering template for the imposed job", {}},
    {"AnImposedWatermarkNeedsTheWatermark",
     "--set ImpositionMode_ImpositionCustomMode=Nup --set ImpositionWaterMark=True", "",
     "Choose the watermark for the imposed job", {}},
    {"NumberingByTemplateNeedsTheTemplate",
     "--set PaginationMode=Template", "", "Choose a numbering template", {}},
    {"AFormOverlayNeedsTheForm",
     "--set VariablePrintMode=UseForm", "", "Choose a form.", {}},
    {"AWatermarkNeedsItsName",
     "--set WaterMark=True", "", "Choose a watermark.", {}},
    {"AColorControlStripNeedsItsFile",
     "--set ColorPatch=True", "", "Choose a color control strip", {}},
    {"AJobNoteNeedsItsFile",
     "--set OptionMemo=True", "", "Choose the job note file", {}},
    {"ACustomNoteNeedsItsFile",
     "--set UserDefineMemo=True", "", "Choose the custom note file", {}},
    {"AnOperatorCommentNeedsItsText",
     "--set MemoComment=True", "", "Enter the comment for the operator", {}},
    {"ADeviceLinkConversionNeedsTheProfile",
     "--set CmykColorCorrection=True --set CmykColorCorrectionProfileType=DeviceLink", "",
     "Choose a device link profile", {}},
    {"AnInputProfileConversionNeedsTheProfile",
     "--set CmykColorCorrection=True --set CmykColorCorrectionProfileType=Profile", "",
     "Choose a CMYK input profile", {}},
    {"ACustomRgbConversionNeedsItsName",
     "--set RgbImageCcMode=Custom", "", "Choose the custom RGB conversion", {}},
    {"ANamedSpotLibraryNeedsItsName",
     "--set SpotColorCorrectionProfile=Profile", "", "Choose the spot color library", {}},
    {"AnOwnOutputProfileNeedsItsName",
     "--set RenderingProfile=False", "", "Choose an output profile", {}},
    {"AnImageAdjustmentNeedsItsSet",
     "--set ImageUserAdjust=True", "", "Choose the image adjustment set", {}},
    {"AnImageToneCurveNeedsItsName",
     "--set ImageTonerCurve=True", "", "Choose the image tone curve", {}},
    {"ATextAdjustmentNeedsItsSet",
     "--set TextUserAdjust=True", "", "Choose the text adjustment set", {}},
    {"ATextToneCurveNeedsItsName",
     "--set TextTonerCurve=True", "", "Choose the text tone curve", {}},
    {"ImageCalibrationByFileNeedsTheFile",
     "--set ImageCalibrationType=File", "", "Choose the calibration file for images", {}},
    {"TextCalibrationByFileNeedsTheFile",
     "--set TextCalibrationType=File", "", "Choose the calibration file for text and graphics",
     {}},
    {"ColorReplacementNeedsItsSet",
     "--set ReplaceColorSettings=True", "", "Choose the color replacement set", {}},
    {"TrappingByTemplateNeedsTheTemplate",
     "--set TrappingProcessMode=Template", "", "Choose a trapping template", {}},
    {"SideOneTonerPagesNeedTheRange",
     "--set UseSpToner=True --set SpTonerPageRangeModeFront=Appoint", "",
     "Enter the pages that get special toner on side 1", {}},
    {"SideOneTonerPagesOutOfOrderAreRefused",
     "--set UseSpToner=True --set SpTonerPageRangeModeFront=Appoint "
     "--set SpTonerPageRangeFront=3,1", "",
     "The special toner pages for side 1 are not valid", {}},
    {"SideOneTonerPageAbove200000IsRefused",
     "--set UseSpToner=True --set SpTonerPageRangeModeFront=Appoint "
     "--set SpTonerPageRangeFront=1-200001", "",
     "A page number in the special toner pages for side 1 is too large", {}},
    {"ReplacingASideOneSpotPlateNeedsTheSpotName",
     "--set UseSpToner=True --set SpTonerPlateReplaceSpotFront=Specified", "",
     "Enter the spot color that special toner replaces on side 1", {}},
    {"ASideOneOverlayOnNoObjectIsRefused",
     "--set UseSpToner=True --set SpTonerOverlayFront=True "
     "--set SpTonerOverlayModeFront=SpecifiedObject --set SpTonerOverlayObjectFrontPhoto=False "
     "--set SpTonerOverlayObjectFrontText=False --set SpTonerOverlayObjectFrontDrawing=False",
     "", "Select at least one object type for the special toner overlay on side 1", {}},
    {"SideTwoTonerPagesNeedTheRange",
     "--set UseSpToner=True --set SpTonerPageRangeModeBack=Appoint", "",
     "Enter the pages that get special toner on side 2", {}},
    {"SideTwoTonerPagesOutOfOrderAreRefused",
     "--set UseSpToner=True --set SpTonerPageRangeModeBack=Appoint "
     "--set SpTonerPageRangeBack=4-2", "",
     "The special toner pages for side 2 are not valid", {}},
    {"SideTwoTonerPageAbove200000IsRefused",
     "--set UseSpToner=True --set SpTonerUseMode=SpBack --set SpTonerPageRangeModeBack=Appoint "
     "--set SpTonerPageRangeBack=250000", "",
     "A page number in the special toner pages for side 2 is too large", {}},
    {"ReplacingASideTwoSpotPlateNeedsTheSpotName",
     "--set UseSpToner=True --set SpTonerPlateReplaceSpotBack=Specified", "",
     "Enter the spot color that special toner replaces on side 2", {}},
    {"ASideTwoOverlayOnNoObjectIsRefused",
     "--set UseSpToner=True --set SpTonerOverlayBack=True "
     "--set SpTonerOverlayModeBack=SpecifiedObject --set SpTonerOverlayObjectBackPhoto=False "
     "--set SpTonerOverlayObjectBackText=False --set SpTonerOverlayObjectBackDrawing=False",
     "", "Select at least one object type for the special toner overlay on side 2", {}},
    {"SideOneRulesDoNotApplyToSideTwoOnlyToner",
     "--set UseSpToner=True --set SpTonerPageRangeModeFront=Appoint --set SpTonerUseMode=SpBack",
     "[Special Toner Sides]:[Side 2 Only]", "",
     {{"SpTonerUseMode", "SpBack"}, {"SpTonerPageRangeModeFront", "Appoint"}}},
    // A user ID the person clears (the login name was filled in) must be typed again.
    {"ClearingTheUserIdForAuthenticationByIdIsRefused",
     "--set AuthJob=True --set AuthJobUserIdType=ID --set AuthJobUserId=", "",
     "Enter the user ID for job authentication", {}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(SamplePress, PressRulesTest, ::testing::ValuesIn(kRules),
                         [](const auto& info) { return info.param.name; });

} // namespace
} // namespace velmora
