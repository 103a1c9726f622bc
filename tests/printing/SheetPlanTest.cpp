#include "platform/printing/SheetPlan.h"
#include "platform/printing/OpenedPpd.h"

#include "platform/printing/JobDelivery.h"
#include "platform/printing/JobOptions.h"
#include "platform/printing/PressTicket.h"
#include "support/TempDir.h"
#include "support/Xjdf.h"

// The press's own staple choices are listed through libcups's PPD calls, marked deprecated.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <memory>

namespace velmora {
namespace {

using ::testing::ElementsAre;
using Options = std::map<std::string, std::string>;

class SheetPlanTest : public ::testing::Test {
protected:
    OpenedPpd ppd{std::string(VELMORA_PRESS_SOURCE "/VelmoraPress.ppd")};

    SheetPlan plan(const Options& options) { return SheetPlan::of(options, ppd.get()); }
    static Options booklet(const std::string& layout = "SaddleStiching2x1(LeftBinding).json") {
        return {{"ImpositionMode", "Job"},  {"ImpositionCustomMode", "Booklet"},
                {"FixedForm", "A3"},        {"SheetDirection", "Landscape"},
                {"LayoutBaseFile", layout}, {"ImpositionAutoDuplex", "True"}};
    }
    static std::vector<std::vector<int>> sides(const SheetPlan& plan, int pages) {
        std::vector<std::vector<int>> all;
        for (int sheet = 0; sheet < plan.sheetCount(pages); ++sheet)
            for (bool back : {false, true})
                all.push_back(plan.side(sheet, back, pages).pages);
        return all;
    }
};

TEST_F(SheetPlanTest, ABookletPutsTheLastAndFirstPagesOnTheOuterSheet) {
    ASSERT_TRUE(ppd.get());
    SheetPlan left = plan(booklet());
    EXPECT_TRUE(left.booklet && left.twoSided);
    EXPECT_EQ(left.sheetCount(8), 2);
    EXPECT_THAT(sides(left, 8), ElementsAre(ElementsAre(8, 1), ElementsAre(2, 7), ElementsAre(6, 3),
                                            ElementsAre(4, 5)));
    // Five pages make an eight-page booklet: the pages that are not there stay blank (0).
    EXPECT_THAT(sides(left, 5), ElementsAre(ElementsAre(0, 1), ElementsAre(2, 0), ElementsAre(0, 3),
                                            ElementsAre(4, 5)));
    SheetPlan right = plan(booklet("SaddleStiching2x1(RightBinding).json"));
    EXPECT_THAT(sides(right, 4), ElementsAre(ElementsAre(1, 4), ElementsAre(3, 2)));
}

TEST_F(SheetPlanTest, NUpFillsEachSideInReadingOrderThenTheBack) {
    Options options{
        {"ImpositionMode", "Job"},       {"ImpositionCustomMode", "Nup"}, {"FixedForm", "A3"},
        {"SheetDirection", "Landscape"}, {"LayoutRepeatX", "2"},          {"LayoutRepeatY", "1"},
        {"DuplexMode", "DuplexNoTumble"}};
    SheetPlan twoUp = plan(options);
    EXPECT_EQ(twoUp.cellsPerSide(), 2);
    EXPECT_THAT(sides(twoUp, 5), ElementsAre(ElementsAre(1, 2), ElementsAre(3, 4),
                                             ElementsAre(5, 0), ElementsAre(0, 0)));
    options["LayoutRepeatX"] = "4";
    options["LayoutRepeatY"] = "2";
    options["DuplexMode"] = "None";
    SheetPlan eightUp = plan(options);
    EXPECT_EQ(eightUp.sheetCount(17), 3);
    EXPECT_THAT(eightUp.side(2, false, 17).pages, ElementsAre(17, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_THAT(eightUp.side(0, true, 17).pages, ElementsAre(0, 0, 0, 0, 0, 0, 0, 0))
        << "a one-sided sheet's back is blank";
    EXPECT_EQ(plan({}).sheetCount(0), 1) << "an empty document still shows one sheet";
    constexpr int kMost = std::numeric_limits<int>::max();
    SheetPlan huge = plan(booklet());
    int lastSheet = huge.sheetCount(kMost) - 1;
    EXPECT_THAT(huge.side(lastSheet, false, kMost).pages, ElementsAre(kMost / 2 + 3, kMost / 2))
        << "the innermost sheet of the longest booklet, without overflow";
}

TEST_F(SheetPlanTest, TheSheetIsThePaperSizeOrTheImpositionSheetAsItIsHeld) {
    struct Case {
        Options options;
        double width, height;
    };
    for (const Case& c : std::vector<Case>{
             {{{"PageSize", "A4"}}, 595, 842},
             {{{"PageSize", "A4"}, {"DocumentOrientation", "Landscape"}}, 842, 595},
             {{{"PageSize", "Letter"}}, 612, 792},
             {{{"PageSize", "NoSuchSize"}}, 595, 842},
             {booklet(), 1191, 842},
             {{{"ImpositionMode", "Job"}, {"FixedForm", "A4SEF"}, {"SheetDirection", "Portrait"}},
              595,
              842},
             {{{"ImpositionMode", "Off"}, {"FixedForm", "A3"}, {"PageSize", "A5"}}, 420, 595},
         }) {
        SheetPlan sheet = plan(c.options);
        EXPECT_NEAR(sheet.sheetWidth, c.width, 1) << ::testing::PrintToString(c.options);
        EXPECT_NEAR(sheet.sheetHeight, c.height, 1) << ::testing::PrintToString(c.options);
    }
}

TEST_F(SheetPlanTest, StaplesSitWhereTheirChoiceSays) {
    struct Case {
        std::string mode;
        std::size_t count;
        double x, y; // where the first staple is, roughly
        bool slanted;
    };
    for (const Case& c : std::vector<Case>{
             {"TopLeftCorner", 1, 0.03, 0.03, true},
             {"BottomRightCorner", 1, 0.97, 0.97, true},
             {"LeftEdge", 2, 0.03, 0.25, false},
             {"RightEdge", 2, 0.97, 0.25, false},
             {"TopEdge", 2, 0.25, 0.03, false},
             {"LeftEdge4", 4, 0.03, 0.2, false},
             {"LeftCenter", 1, 0.03, 0.5, false},
         }) {
        SheetPlan stapled = plan({{"PageSize", "A4"}, {"StapleMode", c.mode}});
        ASSERT_EQ(stapled.staples.size(), c.count) << c.mode;
        EXPECT_NEAR(stapled.staples[0].x, c.x, 0.02) << c.mode;
        EXPECT_NEAR(stapled.staples[0].y, c.y, 0.02) << c.mode;
        EXPECT_EQ(stapled.staples[0].slanted, c.slanted) << c.mode;
    }
    EXPECT_TRUE(plan({{"StapleMode", "None"}}).staples.empty());
    Options saddle = booklet();
    saddle["StapleMode"] = "SaddleInside";
    for (const auto& staple : plan(saddle).staples)
        EXPECT_DOUBLE_EQ(staple.x, 0.5) << "a saddle stitch is on the booklet's fold";
}

TEST_F(SheetPlanTest, TheTicketTellsThePressTheStitchingThePreviewShows) {
    // A choice of the press, what its ticket tells the press, and the staples the preview draws.
    struct Case {
        std::string mode, type, count;
        std::size_t drawn;
    };
    for (const Case& c : std::vector<Case>{
             {"TopLeftCorner", "Corner", "1", 1},
             {"LeftEdge", "Side", "2", 2},
             {"LeftEdge4", "Side", "4", 4},
             {"LeftCenter", "Side", "1", 1},
             {"SaddleInside", "Saddle", "2", 2},
             {"None", "", "", 0},
         }) {
        PressTicket ticket;
        ticket.jobId = "vf-test";
        ticket.options = {{"StapleMode", c.mode}};
        std::string error;
        auto xml = ticket.toXjdf(ppd.get(), error);
        ASSERT_TRUE(xml) << error;
        EXPECT_EQ(test::xpath(*xml, "//x:StitchingParams/@StitchType"), c.type) << c.mode;
        EXPECT_EQ(test::xpath(*xml, "//x:StitchingParams/@NumberOfStitches"), c.count) << c.mode;
        EXPECT_EQ(plan({{"StapleMode", c.mode}}).staples.size(), c.drawn) << c.mode;
    }
    // Every choice of the press's own list is drawn as the ticket counts it.
    ppd_option_t* staple = ppdFindOption(ppd.get(), "StapleMode");
    ASSERT_TRUE(staple);
    for (int i = 0; i < staple->num_choices; ++i) {
        std::string mode = staple->choices[i].choice;
        PressTicket ticket;
        ticket.jobId = "vf-test";
        ticket.options = {{"StapleMode", mode}};
        std::string error;
        auto xml = ticket.toXjdf(ppd.get(), error);
        ASSERT_TRUE(xml) << error;
        std::string told = test::xpath(*xml, "//x:StitchingParams/@NumberOfStitches");
        EXPECT_EQ(std::to_string(plan({{"StapleMode", mode}}).staples.size()),
                  told.empty() ? "0" : told)
            << mode;
    }
}

TEST_F(SheetPlanTest, HolesLineTheChosenEdge) {
    SheetPlan left = plan({{"PageSize", "A4"}, {"Punch", "Left"}, {"PunchHoles", "Holes2"}});
    ASSERT_EQ(left.holes.size(), 2u);
    for (const auto& hole : left.holes)
        EXPECT_LT(hole.x, 0.1);
    EXPECT_NEAR(left.holes[0].y + left.holes[1].y, 1.0, 1e-9) << "centred on the edge";
    EXPECT_NEAR((left.holes[1].y - left.holes[0].y) * 842 * 25.4 / 72, 80, 0.5)
        << "two holes 80 mm apart";
    SheetPlan top = plan({{"PageSize", "A4"}, {"Punch", "Top"}, {"PunchHoles", "Holes3"}});
    ASSERT_EQ(top.holes.size(), 3u);
    for (const auto& hole : top.holes)
        EXPECT_LT(hole.y, 0.1);
    EXPECT_TRUE(plan({{"Punch", "None"}, {"PunchHoles", "Holes2"}}).holes.empty());
    EXPECT_EQ(plan({{"Punch", "Right"}, {"PunchHoles", "HolesMulti"}}).holes.size(), 21u);
}

TEST_F(SheetPlanTest, TheBackShowsTheFrontTurnedOverAsThePressTurnsIt) {
    SheetPlan::Mark leftTop{0.1, 0.2, true, false};
    SheetPlan portraitLongEdge = plan({{"PageSize", "A4"}, {"DuplexMode", "DuplexNoTumble"}});
    EXPECT_DOUBLE_EQ(portraitLongEdge.seenFromBack(leftTop).x, 0.9);
    EXPECT_DOUBLE_EQ(portraitLongEdge.seenFromBack(leftTop).y, 0.2);
    SheetPlan portraitShortEdge = plan({{"PageSize", "A4"}, {"DuplexMode", "DuplexTumble"}});
    EXPECT_DOUBLE_EQ(portraitShortEdge.seenFromBack(leftTop).x, 0.1);
    EXPECT_DOUBLE_EQ(portraitShortEdge.seenFromBack(leftTop).y, 0.8);
    SheetPlan landscapeLongEdge = plan(
        {{"PageSize", "A4"}, {"DocumentOrientation", "Landscape"}, {"Duplex", "DuplexNoTumble"}});
    EXPECT_DOUBLE_EQ(landscapeLongEdge.seenFromBack(leftTop).y, 0.8);
    EXPECT_DOUBLE_EQ(plan(booklet()).seenFromBack(leftTop).x, 0.9);
}

TEST_F(SheetPlanTest, FoldsAndCreasesCrossTheLongSide) {
    Options folded = booklet();
    folded["Fold"] = "Bifold";
    SheetPlan bifold = plan(folded);
    ASSERT_EQ(bifold.folds.size(), 1u);
    EXPECT_TRUE(bifold.folds[0].vertical) << "a landscape sheet folds top to bottom";
    EXPECT_DOUBLE_EQ(bifold.folds[0].from, 0.5);
    EXPECT_EQ(plan({{"Fold", "C_TrifoldInside"}}).folds.size(), 2u);
    EXPECT_TRUE(plan({{"Fold", "None"}}).folds.empty());

    SheetPlan creased = plan({{"PageSize", "A4"},
                              {"CreaseMode", "ParallelFold"},
                              {"CreaseNum", "2"},
                              {"CreasePosition1", "148500"},
                              {"CreasePosition2", "99000"},
                              {"CreaseDirection2", "Valley"}});
    ASSERT_EQ(creased.creases.size(), 2u);
    EXPECT_FALSE(creased.creases[0].vertical) << "a portrait sheet creases across";
    EXPECT_NEAR(creased.creases[0].from, 0.5, 0.005);
    EXPECT_NEAR(creased.creases[1].from, 1.0 / 3, 0.005);
    EXPECT_FALSE(creased.creases[0].valley);
    EXPECT_TRUE(creased.creases[1].valley);
    EXPECT_TRUE(
        plan({{"CreaseMode", "ParallelFold"}, {"CreasePosition1", "999999999"}}).creases.empty())
        << "a crease beyond the sheet is not drawn";
}

TEST_F(SheetPlanTest, TraysAreNamedAsThePpdNamesThem) {
    SheetPlan named =
        plan({{"KVInputSlot", "Tray1"}, {"OutputBin", "finisher-1"}, {"PaperColor", "Yellow"}});
    EXPECT_EQ(named.trayTitle, "Tray 1");
    EXPECT_EQ(named.outputTrayTitle, "Finisher Tray");
    EXPECT_EQ(named.paperColor, "Yellow");
    SheetPlan withoutPpd = SheetPlan::of({{"KVInputSlot", "Tray1"}}, nullptr);
    EXPECT_EQ(withoutPpd.trayTitle, "Tray1") << "the keyword stands in for a title";
}

// What the print dialog previews: the snapshot it would print, read as its ticket reads it, with
// the trays named in the person's language.
TEST_F(SheetPlanTest, ThePlanOfADialogsSettingsNamesTheTraysInThePersonsLanguage) {
    OpenedPpd queuePpd{std::string(VELMORA_QUEUE_PPD)};
    ASSERT_TRUE(queuePpd.get());
    Dictionary job{{"KVInputSlot", Value("Tray1")},
                   {"OutputBin", Value("finisher-1")},
                   {"StapleMode", Value("LeftEdge")},
                   {"sides", Value("two-sided-long-edge")}};
    Dictionary snapshot = JobOptions::toSnapshot(job, queuePpd.get());
    auto destination = JobDelivery::embedded(VELMORA_PLUGIN_DIR, VELMORA_QUEUE_PPD);
    struct Case {
        const char* language;
        std::string tray, output;
    };
    for (const Case& c :
         {Case{"en", "Tray 1", "Finisher Tray"}, Case{"ja", "トレイ1", "フィニッシャートレイ"}}) {
        test::ScopedEnv language{"LANGUAGE", c.language};
        SheetPlan plan = JobDelivery::sheetPlan(destination, snapshot);
        EXPECT_EQ(plan.tray, "Tray1") << c.language;
        EXPECT_EQ(plan.trayTitle, c.tray) << c.language;
        EXPECT_EQ(plan.outputTrayTitle, c.output) << c.language;
        EXPECT_TRUE(plan.twoSided) << c.language;
        EXPECT_EQ(plan.staples.size(), 2u) << c.language;
    }
}

TEST_F(SheetPlanTest, OddNumbersDoNotBreakThePlan) {
    for (const Options& options : std::vector<Options>{
             {{"ImpositionMode", "Job"}, {"LayoutRepeatX", "-3"}, {"LayoutRepeatY", "nan"}},
             {{"ImpositionMode", "Job"}, {"LayoutRepeatX", "1e9"}, {"LayoutRepeatY", "0"}},
             {{"CreaseMode", "ParallelFold"}, {"CreaseNum", "99"}, {"CreasePosition1", "-5"}},
         }) {
        SheetPlan odd = plan(options);
        EXPECT_GE(odd.columns, 1);
        EXPECT_LE(odd.columns, 16);
        EXPECT_GE(odd.rows, 1);
        EXPECT_EQ(odd.side(0, false, 3).pages.size(), static_cast<std::size_t>(odd.cellsPerSide()));
        EXPECT_TRUE(odd.creases.empty());
    }
}

} // namespace
} // namespace velmora
