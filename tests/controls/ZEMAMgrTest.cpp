#include "controls/ZEMAMgr.h"
#include "common/Alerts.h"

#include "common/NotifyUnit.h"
#include "controls/ZEMAUI.h"
#include "platform/ui/PopUpButton.h"

#include "support/Descriptions.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::choices;

std::string popUp(const std::string& keyword, const std::string& title,
                  const std::string& defaultValue, const std::string& choiceXml,
                  const std::string& extra = "") {
    return "<key>" + keyword + "</key><dict><key>mainKeyword</key><string>" + keyword +
           "</string><key>control_type</key><string>PopupButton</string><key>text</key><string>" +
           title + "</string><key>default</key><string>" + defaultValue + "</string>" + choiceXml +
           extra + "</dict>";
}

// Controls of a small UI-settings file registered with a manager, on a notification centre of
// the test's own, with scripted alerts.
class EngineTest : public ::testing::Test {
protected:
    NotificationCenter center;
    test::ScriptedUi ui;
    std::unique_ptr<ZEMAMgr> mgr;
    std::map<std::string, std::shared_ptr<ZEMAUI>> controls;
    bool panesShown = true;

    void SetUp() override { NotifyUnit::setCenter(&center); }
    void TearDown() override {
        mgr.reset();
        controls.clear();
        NotifyUnit::setCenter(nullptr);
    }

    // Builds every description of the file, registers it and takes the defaults as accepted.
    void load(const std::string& entries) {
        mgr = std::make_unique<ZEMAMgr>();
        mgr->setDecision(AlertDecision());
        mgr->setPanesShownPredicate([this] { return panesShown; });
        auto settings = std::make_shared<const Dictionary>(test::plistDictionary(entries));
        for (const auto& [keyword, description] : *settings) {
            auto control = std::make_shared<ZEMAUI>(ui::Rect::make(0, 0, 400, 72));
            control->setControlDictionary(*description.dictionary(), nullptr);
            control->setUISettings(settings);
            control->createControls();
            mgr->addControl(control);
            controls[keyword] = control;
        }
        for (const auto& keyword : mgr->keywords())
            mgr->updateOldValue(keyword);
    }
    // The user picks a value in the option's pop-up.
    void choose(const std::string& keyword, const std::string& value) {
        auto popUp = controls.at(keyword)->popUpButton();
        int index = popUp->indexOfItemWithRepresentedObject(Value(value));
        ASSERT_GE(index, 0) << keyword << "=" << value;
        ASSERT_TRUE(popUp->selectItemByUser(index)) << keyword << "=" << value;
    }
    std::string value(const std::string& keyword) {
        return mgr->getStringValue(keyword).value_or("<none>");
    }
};

const std::string kMedia =
    popUp("MediaType", "Media", "Plain",
          choices("Plain", "Plain paper", "Heavy", "Heavy paper", "Transparency", "Transparency"));

TEST_F(EngineTest, ChoosingTheOldValueAgainDoesNothing) {
    load(kMedia + popUp("Duplex", "Duplex", "None",
                        choices("None", "Off", "DuplexNoTumble", "Long edge"),
                        "<key>conflict</key><dict><key>None</key><dict><key>MediaType</key><dict>"
                        "<key>Plain</key><dict><key>restore</key><string>Heavy</string></dict></"
                        "dict></dict></dict>"));
    choose("Duplex", "None");
    EXPECT_TRUE(ui.alerts.empty());
    EXPECT_EQ(value("MediaType"), "Plain");
}

TEST_F(EngineTest, ResolvableConflictAsksAndYesAppliesRestoreValues) {
    load(kMedia +
         popUp("Duplex", "Duplex", "None", choices("None", "Off", "DuplexNoTumble", "Long edge"),
               "<key>conflict</key><dict><key>DuplexNoTumble</key><dict><key>MediaType</key><dict>"
               "<key>Transparency</key><dict><key>restore</key><string>Plain</string></dict></"
               "dict></dict></dict>"));
    choose("MediaType", "Transparency");
    std::vector<std::string> finished;
    int observer;
    center.addObserver(&observer, "ValueChangFinished_Duplex", nullptr, [&](const Notification& n) {
        finished.push_back(n.userInfo.get("isCollectiveChange").stringValue());
    });
    choose("Duplex", "DuplexNoTumble");
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0].message,
              "The following properties cannot be set at the same time.\r[Duplex]:[Long edge]\r"
              "[Media]:[Transparency]\r"
              "\rDo you want to change to the following settings to enable the selection?\r"
              "[Media]:[Plain paper]\r");
    EXPECT_EQ(ui.alerts[0].buttons, (std::vector<std::string>{"Yes", "No"}));
    EXPECT_EQ(value("Duplex"), "DuplexNoTumble");
    EXPECT_EQ(value("MediaType"), "Plain");
    EXPECT_EQ(controls["MediaType"]->popUpButton()->titleOfSelectedItem(), "Plain paper");
    EXPECT_EQ(controls["Duplex"]->getOldValue(), "DuplexNoTumble");
    EXPECT_EQ(finished, (std::vector<std::string>{"False"}));
    center.removeObserver(&observer);
}

TEST_F(EngineTest, NoPutsTheOptionBackInEveryPane) {
    load(kMedia +
         popUp("Duplex", "Duplex", "None", choices("None", "Off", "DuplexNoTumble", "Long edge"),
               "<key>conflict</key><dict><key>DuplexNoTumble</key><dict><key>MediaType</key><dict>"
               "<key>Plain</key><dict><key>restore</key><string>Heavy</string></dict></dict></"
               "dict></dict>"));
    // A second pane shows the same option.
    auto second = std::make_shared<ZEMAUI>(ui::Rect::make(0, 0, 400, 72));
    second->setControlDictionary(controls["Duplex"]->description().dictionary(), nullptr);
    second->createControls();
    mgr->addControl(second);
    ui.answers = {1}; // No
    choose("Duplex", "DuplexNoTumble");
    EXPECT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(value("Duplex"), "None");
    EXPECT_EQ(controls["Duplex"]->popUpButton()->titleOfSelectedItem(), "Off");
    EXPECT_EQ(second->popUpButton()->titleOfSelectedItem(), "Off");
    EXPECT_EQ(value("MediaType"), "Plain");
}

TEST_F(EngineTest, AllPatternConflictAsksInOrderToChangeOutsideCollectiveChange) {
    std::string staple = popUp(
        "Staple", "Staple", "None", choices("None", "Off", "TopLeft", "Top left", "Dual", "Dual"),
        "<key>conflict</key><dict><key>__ALL__</key><dict><key>Booklet</key><dict>"
        "<key>On</key><dict><key>restore</key><string>Off</string></dict></dict></dict></dict>");
    load(staple +
         popUp("Booklet", "Booklet", "Off", choices("Off", "No booklet", "On", "Booklet")));
    choose("Booklet", "On");
    choose("Staple", "Dual");
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0].message,
              "Do you want to change the settings to the following in order to change [Staple]?\r"
              "[Booklet]:[No booklet]\r");
    EXPECT_EQ(value("Booklet"), "Off");

    // Inside a collective change only conflicts of the value itself count.
    mgr->setSettings(test::plistDictionary("<key>Booklet</key><string>On</string>"
                                           "<key>Staple</key><string>TopLeft</string>"));
    EXPECT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(value("Staple"), "TopLeft");
    EXPECT_EQ(value("Booklet"), "On");
}

TEST_F(EngineTest, LessAndGreaterPatternsMatchNumbersAndNameTheirBound) {
    std::string weight =
        popUp("Weight", "Weight", "100",
              choices("9.5", "9.5 g", "10", "10 g", "100", "100 g", "250", "250 g"),
              "<key>conflict</key><dict><key>__LESS__:10</key><dict><key>MediaType</key><dict>"
              "<key>Heavy</key><dict><key>restore</key><string>Plain</string></dict></dict></"
              "dict></dict>");
    std::string staple = popUp("Staple", "Staple", "None", choices("None", "Off", "On", "On"),
                               "<key>conflict</key><dict><key>On</key><dict><key>Weight</key><dict>"
                               "<key>__GREATER__:200</key><dict><key>restore</key><string>100</"
                               "string></dict></dict></dict></dict>");
    load(kMedia + weight + staple);
    std::string bound;
    EXPECT_EQ(matchType("__LESS__:10", "9.5", &bound), kMatchLess);
    EXPECT_EQ(bound, "10");
    EXPECT_EQ(matchType("__LESS__:10", "10", &bound), kNoMatch);
    EXPECT_EQ(matchType("__GREATER__:200", "abc", &bound), kNoMatch); // text counts as 0
    EXPECT_EQ(matchType("__LESS__:10", "__ALL__", &bound), kNoMatch);
    EXPECT_EQ(matchType("__ALL__", "__ALL__", &bound), kMatchExact);

    choose("MediaType", "Heavy");
    choose("Weight", "10");
    EXPECT_TRUE(ui.alerts.empty());
    choose("Weight", "9.5");
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_NE(ui.alerts[0].message.find("[Weight]:[Less Than 10]\r[Media]:[Heavy paper]\r"),
              std::string::npos);
    EXPECT_EQ(value("MediaType"), "Plain");

    choose("Weight", "250");
    choose("Staple", "On");
    ASSERT_EQ(ui.alerts.size(), 2u);
    EXPECT_NE(ui.alerts[1].message.find("[Weight]:[More Than 200]\r"), std::string::npos);
    EXPECT_NE(ui.alerts[1].message.find("[Weight]:[100 g]\r"), std::string::npos);
    EXPECT_EQ(value("Weight"), "100");
}

TEST_F(EngineTest, TwoMatchingPathsGiveOneAlertListingEachKeywordOnce) {
    std::string fold =
        popUp("Fold", "Fold", "None", choices("None", "No fold", "Z", "Z fold"),
              "<key>conflict</key><dict><key>Z</key><dict>"
              "<key>MediaType</key><dict><key>Transparency</key><dict><key>restore</"
              "key><string>Plain</string></dict></dict>"
              "<key>Staple</key><dict><key>On</key><dict>"
              "<key>MediaType</key><dict><key>Transparency</key><dict><key>restore</key>"
              "<dict><key>Staple</key><string>None</string><key>MediaType</key><string>Heavy</"
              "string></dict></dict></dict>"
              "</dict></dict></dict></dict>");
    load(kMedia + fold + popUp("Staple", "Staple", "None", choices("None", "Off", "On", "On")));
    choose("MediaType", "Transparency");
    choose("Staple", "On");
    choose("Fold", "Z");
    ASSERT_EQ(ui.alerts.size(), 1u);
    const std::string& message = ui.alerts[0].message;
    EXPECT_NE(message.find("[Media]:[Transparency]\r[Staple]:[On]\r\rDo you"), std::string::npos)
        << message;
    EXPECT_NE(message.find("selection?\r[Media]:[Plain paper]\r[Staple]:[Off]\r"),
              std::string::npos)
        << message;
    EXPECT_EQ(value("MediaType"), "Plain"); // the first path's restore value wins
    EXPECT_EQ(value("Staple"), "None");
}

TEST_F(EngineTest, YesAppliesRestoreValuesWithTheirCooperation) {
    std::string punch =
        popUp("Punch", "Punch", "None", choices("None", "Off", "Two", "2 holes"),
              "<key>conflict</key><dict><key>Two</key><dict><key>MediaType</key><dict>"
              "<key>Transparency</key><dict><key>restore</key><string>Heavy</string></dict></"
              "dict></dict></dict>");
    std::string media = popUp(
        "MediaType", "Media", "Plain",
        choices("Plain", "Plain paper", "Heavy", "Heavy paper", "Transparency", "Transparency"),
        "<key>cooperation</key><dict><key>Heavy</key><dict><key>Tray</key><string>T3</string></"
        "dict></dict>");
    load(media + punch + popUp("Tray", "Tray", "T1", choices("T1", "Tray 1", "T3", "Tray 3")));
    choose("MediaType", "Transparency");
    choose("Punch", "Two");
    EXPECT_EQ(value("MediaType"), "Heavy");
    EXPECT_EQ(value("Tray"), "T3");
}

TEST_F(EngineTest, UnrestorableConflictOnlyOnceThePanesHaveBeenShown) {
    std::string booklet =
        popUp("Booklet", "Booklet", "Off", choices("Off", "No booklet", "On", "Booklet"),
              "<key>unrestorable_conflict</key><dict><key>On</key><dict><key>MediaType</key><dict>"
              "<key>Transparency</key><dict/></dict></dict></dict>");
    load(kMedia + booklet);
    choose("MediaType", "Transparency");
    panesShown = false;
    choose("Booklet", "On");
    EXPECT_TRUE(ui.alerts.empty());
    EXPECT_EQ(value("Booklet"), "On");

    choose("Booklet", "Off");
    panesShown = true;
    choose("Booklet", "On");
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0].buttons, (std::vector<std::string>{"OK"}));
    EXPECT_EQ(ui.alerts[0].message,
              "The following properties cannot be set at the same time.\r[Booklet]:[Booklet]\r"
              "[Media]:[Transparency]\r\r"
              "\xE9\x81\xB8\xE6\x8A\x9E\xE3\x82\x92\xE7\x84\xA1\xE5\x8A\xB9\xE3\x81\xAB\xE3\x81\x97"
              "\xE3\x81\xA6"
              "\xE3\x80\x81\xE4\xBB\xA5\xE4\xB8\x8B\xE3\x81\xAE\xE8\xA8\xAD\xE5\xAE\x9A\xE3\x81\xAB"
              "\xE6\x88\xBB"
              "\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x99\xE3\x80\x82\r[Booklet]:[No booklet]\r");
    EXPECT_EQ(value("Booklet"), "Off");
    EXPECT_EQ(controls["Booklet"]->popUpButton()->titleOfSelectedItem(), "No booklet");
}

// A stored set is applied as stored: a rule it breaks is not put back but stands, reported once
// while it stands (from whichever side it is written), and again once broken anew.
TEST_F(EngineTest, AStoredSetThatBreaksAnUnrestorableRuleStandsAndIsReportedOnce) {
    std::string rule = "<key>unrestorable_conflict</key><dict><key>On</key><dict>"
                       "<key>MediaType</key><dict><key>Transparency</key><dict/></dict></dict>"
                       "</dict>";
    load(kMedia +
         popUp("Booklet", "Booklet", "Off", choices("Off", "No booklet", "On", "Booklet"), rule));
    mgr->setSettings(Dictionary{{"Booklet", Value("On")}, {"MediaType", Value("Transparency")}});
    EXPECT_EQ(value("Booklet"), "On");
    EXPECT_EQ(value("MediaType"), "Transparency");
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0].buttons, (std::vector<std::string>{"OK"}));
    EXPECT_EQ(ui.alerts[0].message,
              "The following properties cannot be set at the same time.\r[Booklet]:[Booklet]\r"
              "[Media]:[Transparency]\r\r");
    ASSERT_EQ(mgr->standingConflicts().size(), 1u);

    mgr->reportStandingConflicts(); // still the same conflict: not told twice
    EXPECT_EQ(ui.alerts.size(), 1u);
    choose("MediaType", "Plain");
    EXPECT_TRUE(mgr->standingConflicts().empty());
    mgr->setSettings(Dictionary{{"MediaType", Value("Transparency")}});
    EXPECT_EQ(ui.alerts.size(), 2u);

    // Before the panes are shown nothing can be checked, so nothing is told.
    panesShown = false;
    EXPECT_TRUE(mgr->standingConflicts().empty());
}

// A rule written on both options' sides stands as one conflict, told once.
TEST_F(EngineTest, ARuleWrittenFromBothSidesIsOneStandingConflict) {
    std::string mediaRule = "<key>unrestorable_conflict</key><dict><key>Transparency</key><dict>"
                            "<key>Booklet</key><dict><key>On</key><dict/></dict></dict></dict>";
    std::string bookletRule = "<key>unrestorable_conflict</key><dict><key>On</key><dict>"
                              "<key>MediaType</key><dict><key>Transparency</key><dict/></dict>"
                              "</dict></dict>";
    load(popUp("MediaType", "Media", "Plain",
               choices("Plain", "Plain paper", "Transparency", "Transparency"), mediaRule) +
         popUp("Booklet", "Booklet", "Off", choices("Off", "No booklet", "On", "Booklet"),
               bookletRule));
    mgr->setSettings(Dictionary{{"Booklet", Value("On")}, {"MediaType", Value("Transparency")}});
    EXPECT_EQ(mgr->standingConflicts().size(), 1u);
    EXPECT_EQ(ui.alerts.size(), 1u);
}

TEST_F(EngineTest, UnrestorableTitleAndMessageFromOuterLevelsWin) {
    std::string booklet = popUp(
        "Booklet", "Booklet", "Off", choices("Off", "No booklet", "On", "Booklet"),
        "<key>unrestorable_conflict</key><dict><key>message</key><string>Outer message</string>"
        "<key>On</key><dict><key>MediaType</key><dict><key>title</key><string>Pattern "
        "title</string>"
        "<key>Transparency</key><dict><key>title</key><string>Leaf title</string>"
        "<key>message</key><string>Leaf message</string></dict></dict></dict></dict>");
    load(kMedia + booklet);
    choose("MediaType", "Transparency");
    choose("Booklet", "On");
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0].message,
              "Pattern title\r[Booklet]:[Booklet]\r[Media]:[Transparency]\r\rOuter message");
}

TEST_F(EngineTest, ConditionsFollowSpreadFlagsAndRestrictChoices) {
    std::string source =
        popUp("ColorMode", "Color", "Color", choices("Color", "Color", "Gray", "Gray"),
              "<key>condition</key><dict><key>Gray</key><dict>"
              "<key>Profile</key><true/><key>Spot</key><false/>"
              "<key>Tray</key><dict><key>T1</key><true/></dict></dict>"
              "<key>Color</key><dict><key>Profile</key><true/><key>Spot</key><true/>"
              "<key>Tray</key><dict><key>T1</key><true/><key>T3</key><true/></dict></dict></dict>");
    load(source + popUp("Profile", "Profile", "A", choices("A", "A")) +
         popUp("Spot", "Spot", "On", choices("On", "On")) +
         popUp("Tray", "Tray", "T3", choices("T1", "Tray 1", "T3", "Tray 3")));
    choose("ColorMode", "Gray");
    EXPECT_TRUE(controls["Profile"]->isEnabled());
    EXPECT_FALSE(controls["Spot"]->isEnabled());
    EXPECT_EQ(value("Tray"), "T1"); // T3 no longer offered
    EXPECT_FALSE(controls["Tray"]->popUpButton()->itemAtIndex(1)->isEnabled());

    // A disabled source without the spread flag disables its targets.
    controls["ColorMode"]->setEnabled(false);
    mgr->validateMainKeyword("ColorMode", std::nullopt);
    EXPECT_FALSE(controls["Profile"]->isEnabled());
    EXPECT_FALSE(controls["Tray"]->isEnabled());
}

TEST_F(EngineTest, SpreadFlagEnablesTargetsOfADisabledSource) {
    std::string source =
        popUp("Gloss", "Gloss", "On", choices("On", "On"),
              "<key>isEnableSpread</key><true/><key>condition</key><dict><key>On</key><dict>"
              "<key>Level</key><true/></dict></dict>");
    load(source + popUp("Level", "Level", "1", choices("1", "1")));
    controls["Gloss"]->setEnabled(false);
    controls["Level"]->setEnabledFrom(false, "Gloss");
    mgr->validateMainKeyword("Gloss", std::nullopt);
    EXPECT_TRUE(controls["Level"]->isEnabled());
}

TEST_F(EngineTest, LogicalSumWithTwoSourcesAndHiding) {
    std::string fold = popUp(
        "Fold", "Fold", "None", choices("None", "None", "Half", "Half"),
        "<key>logical_sum_condition</key><dict><key>Half</key><dict><key>Crease</key><true/></dict>"
        "<key>None</key><dict><key>Crease</key><false/></dict></dict>"
        "<key>hide</key><dict><key>Half</key><dict><key>Staple</key><true/></dict>"
        "<key>None</key><dict><key>Staple</key><false/></dict></dict>");
    std::string booklet = popUp(
        "Booklet", "Booklet", "Off", choices("Off", "Off", "On", "On"),
        "<key>logical_sum_condition</key><dict><key>On</key><dict><key>Crease</key><true/></dict>"
        "<key>Off</key><dict><key>Crease</key><false/></dict></dict>");
    load(fold + booklet + popUp("Crease", "Crease", "Off", choices("Off", "Off")) +
         popUp("Staple", "Staple", "None", choices("None", "None")));
    choose("Fold", "Half");
    choose("Booklet", "On");
    EXPECT_TRUE(controls["Crease"]->isEnabled());
    EXPECT_TRUE(controls["Staple"]->isHidden());
    choose("Fold", "None");
    EXPECT_TRUE(controls["Crease"]->isEnabled()); // Booklet still enables it
    EXPECT_FALSE(controls["Staple"]->isHidden());
    choose("Booklet", "Off");
    EXPECT_FALSE(controls["Crease"]->isEnabled());
}

TEST_F(EngineTest, CyclesInConditionsAndCooperationEnd) {
    std::string a =
        popUp("A", "A", "x", choices("x", "x", "y", "y"),
              "<key>condition</key><dict><key>y</key><dict><key>B</key><true/></dict></dict>"
              "<key>cooperation</key><dict><key>y</key><dict><key>B</key><string>y</string></"
              "dict></dict>");
    std::string b = popUp(
        "B", "B", "x", choices("x", "x", "y", "y"),
        "<key>condition</key><dict><key>y</key><dict><key>A</key><true/></dict></dict>"
        "<key>cooperation</key><dict><key>y</key><dict><key>A</key><string>x</string></dict></dict>"
        "<key>hide</key><dict><key>y</key><dict><key>A</key><false/></dict></dict>");
    load(a + b);
    choose("A", "y");
    EXPECT_EQ(value("B"), "y");
    EXPECT_LT(mgr->sequencesRun(), 50u);
}

TEST_F(EngineTest, DiamondOfDepthTwentyRunsInLinearTime) {
    // Level i has L_i and R_i; both enable both nodes of level i + 1.
    std::string entries;
    auto node = [](int level, char side) { return std::string(1, side) + std::to_string(level); };
    for (int level = 0; level <= 20; ++level)
        for (char side : {'L', 'R'}) {
            std::string condition;
            if (level < 20) {
                std::string next = "<key>" + node(level + 1, 'L') + "</key><true/><key>" +
                                   node(level + 1, 'R') + "</key><true/>";
                std::string nextOff = "<key>" + node(level + 1, 'L') + "</key><false/><key>" +
                                      node(level + 1, 'R') + "</key><false/>";
                std::string nextValuesOff = "<key>" + node(level + 1, 'L') +
                                            "</key><string>off</string><key>" +
                                            node(level + 1, 'R') + "</key><string>off</string>";
                condition = "<key>condition</key><dict><key>on</key><dict>" + next +
                            "</dict><key>off</key><dict>" + nextOff +
                            "</dict></dict>"
                            "<key>cooperation</key><dict><key>off</key><dict>" +
                            nextValuesOff + "</dict></dict>";
            }
            entries += popUp(node(level, side), node(level, side), "on",
                             choices("on", "on", "off", "off"), condition);
        }
    load(entries);
    std::uint64_t before = mgr->sequencesRun();
    mgr->validateMainKeyword("L0", std::nullopt);
    std::uint64_t runs = mgr->sequencesRun() - before;
    EXPECT_LT(runs, 400u) << "an exponential walk would run about 2^21 sequences";
    EXPECT_GE(runs, 41u); // every node below L0 ran at least once
    EXPECT_TRUE(controls["R20"]->isEnabled());

    // Switching the top off sets every level below off along (cooperation) and disables the
    // level under it; a disabled source does not pass its condition on.
    before = mgr->sequencesRun();
    choose("L0", "off");
    runs = mgr->sequencesRun() - before;
    EXPECT_LT(runs, 400u);
    for (int level = 1; level <= 20; ++level)
        for (char side : {'L', 'R'})
            EXPECT_EQ(value(node(level, side)), "off") << node(level, side);
    EXPECT_FALSE(controls["L1"]->isEnabled());
    EXPECT_FALSE(controls["R2"]->isEnabled());
    EXPECT_TRUE(controls["R0"]->isEnabled());
}

TEST_F(EngineTest, SettingsApplyBooleansAndSkipValidatingMediaTypeWeight) {
    std::string collate =
        "<key>Collate</key><dict><key>mainKeyword</key><string>Collate</string>"
        "<key>control_type</key><string>CheckBox</string><key>default</key><string>False</string>" +
        choices("True", "On", "False", "Off") + "</dict>";
    std::string weight =
        popUp("MediaTypeWeight", "Weight", "80", choices("80", "80", "300", "300"),
              "<key>conflict</key><dict><key>300</key><dict><key>MediaType</key><dict>"
              "<key>Plain</key><dict><key>restore</key><string>Heavy</string></dict></dict></"
              "dict></dict>");
    load(kMedia + collate + weight);
    std::vector<std::string> finished;
    int observer;
    center.addObserver(&observer, "ValueChangFinished_Collate", nullptr,
                       [&](const Notification& n) {
                           finished.push_back(n.userInfo.get("isCollectiveChange").stringValue());
                       });
    mgr->setSettings(Dictionary{{"Collate", true}, {"MediaTypeWeight", "300"}});
    EXPECT_EQ(value("Collate"), "True");
    EXPECT_EQ(controls["Collate"]->checkBoxState(), 1);
    EXPECT_EQ(value("MediaTypeWeight"), "300");
    EXPECT_TRUE(ui.alerts.empty()); // applied, not validated
    EXPECT_EQ(value("MediaType"), "Plain");
    EXPECT_EQ(finished, (std::vector<std::string>{"True"}));
    EXPECT_FALSE(mgr->isCollectiveChange());
    center.removeObserver(&observer);
}

TEST_F(EngineTest, AskingBeforeAChangeAndSilentResolution) {
    std::string duplex =
        popUp("Duplex", "Duplex", "None", choices("None", "Off", "DuplexNoTumble", "Long edge"),
              "<key>conflict</key><dict><key>DuplexNoTumble</key><dict><key>MediaType</key><dict>"
              "<key>Transparency</key><dict><key>restore</key><string>Plain</string></dict></"
              "dict></dict></dict>");
    load(kMedia + duplex);
    choose("MediaType", "Transparency");
    ui.answers = {1};
    EXPECT_FALSE(mgr->validateBeforeChange("Duplex", "DuplexNoTumble", std::string("Two-sided")));
    EXPECT_EQ(
        ui.alerts[0].message,
        "When the following settings are made, Two-sided cannot be set.\r[Media]:[Transparency]\r"
        "\rDo you want to change the settings to the following?\r[Media]:[Plain paper]\r");
    EXPECT_EQ(value("MediaType"), "Transparency");
    EXPECT_TRUE(mgr->validateBeforeChange("Duplex", "DuplexNoTumble", std::nullopt));
    EXPECT_EQ(value("MediaType"), "Plain");
    EXPECT_TRUE(mgr->validateBeforeChange("Duplex", "None", std::nullopt)); // no conflict, no alert
    EXPECT_EQ(ui.alerts.size(), 2u);

    choose("MediaType", "Transparency");
    auto changed = mgr->setStringValueWithRestoreConfliction("Duplex", "DuplexNoTumble");
    ASSERT_TRUE(changed);
    EXPECT_EQ(*changed, (std::vector<std::string>{"MediaType"}));
    EXPECT_EQ(value("MediaType"), "Plain");
    EXPECT_EQ(value("Duplex"), "DuplexNoTumble");
    EXPECT_EQ(ui.alerts.size(), 2u);
    EXPECT_FALSE(mgr->setStringValueWithRestoreConfliction("Duplex", "None"));
}

TEST_F(EngineTest, BackupsDefaultsAndTheValueDictionary) {
    load(kMedia + popUp("Tray", "Tray", "T1", choices("T1", "Tray 1", "T3", "Tray 3")));
    std::string stamp = mgr->backupSettings();
    EXPECT_EQ(stamp.size(), 19u);
    choose("MediaType", "Heavy");
    controls["Tray"]->setStringValue(std::string("T9")); // not offered: kept as unsupported
    EXPECT_EQ(mgr->getAllValueDictionary(), (Dictionary{{"MediaType", "Heavy"}, {"Tray", "T9"}}));
    mgr->restoreSettings(stamp);
    EXPECT_EQ(value("MediaType"), "Plain");
    choose("MediaType", "Heavy");
    mgr->setDefaults();
    EXPECT_EQ(value("MediaType"), "Plain");
    EXPECT_FALSE(mgr->isCollectiveChange());
    EXPECT_EQ(mgr->getStringValue("Nothing"), std::nullopt);

    // Two backups within one second stay apart: each restores its own values.
    std::string plain = mgr->backupSettings();
    choose("MediaType", "Heavy");
    std::string heavy = mgr->backupSettings();
    EXPECT_NE(plain, heavy);
    EXPECT_EQ(heavy.substr(0, 19).size(), plain.size());
    mgr->restoreSettings(plain);
    EXPECT_EQ(value("MediaType"), "Plain");
    mgr->restoreSettings(heavy);
    EXPECT_EQ(value("MediaType"), "Heavy");
}

TEST_F(EngineTest, MessagesAreLocalizedThroughTheResourcePath) {
    test::TempDir dir;
    dir.write("Velmora.plugin/Contents/Resources/UI.strings",
              "\"Yes\" = \"Oui\"; \"No\" = \"Non\"; \"Plain paper\" = \"Papier normal\";"
              "\"\\rDo you want to change to the following settings to enable the selection?\\r\" "
              "= \"\\rChanger ?\\r\";");
    load(kMedia +
         popUp("Duplex", "Duplex", "None", choices("None", "Off", "DuplexNoTumble", "Long edge"),
               "<key>conflict</key><dict><key>DuplexNoTumble</key><dict><key>MediaType</key><dict>"
               "<key>Heavy</key><dict><key>restore</key><string>Plain</string></dict></dict></"
               "dict></dict>"));
    mgr->setPdeResourcePath(dir / "Velmora.plugin");
    mgr->setPdeResourcePath(dir / "Other.plugin"); // the first path stays
    choose("MediaType", "Heavy");
    choose("Duplex", "DuplexNoTumble");
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0].buttons, (std::vector<std::string>{"Oui", "Non"}));
    EXPECT_NE(ui.alerts[0].message.find("\rChanger ?\r[Media]:[Papier normal]\r"),
              std::string::npos);
}

} // namespace
} // namespace velmora
