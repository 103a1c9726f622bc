#include "panes/PanePlugInMgr.h"

#include "common/EncryptionBridge.h"
#include "common/NotifyUnit.h"
#include "controls/ZEMAMgr.h"
#include "controls/ZEMAUI.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/SystemLog.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

#include "platform/foundation/JsonReader.h"

#include "support/CommandRunner.h"
#include "support/PaneBundles.h"
#include "support/PpdWriter.h"
#include "support/ScriptedUi.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace velmora {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::string popUpDescription(const std::string& keyword, const std::string& defaultValue,
                             const std::vector<std::string>& choices) {
    std::string xml = "<key>" + keyword + "</key><dict><key>mainKeyword</key><string>" + keyword +
                      "</string><key>control_type</key><string>PopupButton</string>"
                      "<key>text</key><string>" +
                      keyword + "</string><key>default</key><string>" + defaultValue +
                      "</string><key>choices</key><array>";
    for (const auto& choice : choices)
        xml += "<dict><key>choice</key><string>" + choice + "</string><key>text</key><string>" +
               choice + "</string></dict>";
    return xml + "</array></dict>";
}

// Panes of the tests on a plug-in bundle in a temporary folder; what the panes were asked and
// what the manager logged are recorded.
class PanePlugInMgrTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::PluginBundleBuilder plugin{dir};
    NotificationCenter center;
    test::ScriptedUi ui;
    std::vector<std::string> log;
    std::vector<std::string> calls; // "pane call"
    SystemLog::Sink previousSink;
    std::unique_ptr<PanePlugInMgr> manager;

    void SetUp() override {
        NotifyUnit::setCenter(&center);
        center.addObserver(this, "VelmoraTestPaneCall", nullptr, [this](const Notification& n) {
            calls.push_back(n.userInfo.get("pane").stringValue() + " " +
                            n.userInfo.get("call").stringValue());
        });
        previousSink =
            SystemLog::setSink([this](std::string_view line) { log.emplace_back(line); });
    }
    void TearDown() override {
        manager.reset();
        SystemLog::setSink(previousSink);
        NotifyUnit::setCenter(nullptr);
    }

    // The press of most tests: a UI-settings file, a bundle PPD, and the panes Page and Layout
    // (basic panes) and Finishing (for the roles Front and Back).
    void standardPress(const std::string& tree = test::panesTree(
                           test::paneNode("Page") + test::paneNode("Layout") +
                           test::paneNode("Finishing+Front") + test::paneNode("Finishing+Back"))) {
        plugin.info("<key>KVPOD</key><string>UISettings</string>")
            .resource("UISettings.plist",
                      "<plist><dict>" +
                          popUpDescription("MediaType", "Plain", {"Plain", "Coated"}) +
                          popUpDescription("ColorModel", "CMYK1", {"CMYK1", "CMYK2", "Gray"}) +
                          popUpDescription("Staple", "None", {"None", "Left"}) +
                          popUpDescription("Punch", "None", {"None", "Two"}) + "</dict></plist>")
            .resource("PanesTree.plist", tree)
            .pane("Page", "BasicPane", "BasicPane",
                  "<key>VelmoraTestKeys</key><array><string>MediaType</string></array>")
            .pane("Layout", "BasicPane", "BasicPane",
                  "<key>VelmoraTestKeys</key><array><string>ColorModel</string></array>")
            .pane("Finishing", "FinishingPane", "FinishingPane",
                  "<key>VelmoraTestKeys</key><array><string>Staple</string>"
                  "<string>Punch</string></array>");
        test::writePpd(
            dir, "Press.plugin/Contents/Resources/PressInfo.ppd", "UTF-8", "English", "Press",
            test::pickOne(
                "ColorModel", "Colour mode", "CMYK1",
                {{"CMYK1", "Colour"}, {"CMYK2", "Colour (fine)"}, {"Gray", "Greyscale"}}) +
                test::pickOne("StapleLocation", "Staple", "None",
                              {{"None", "Off"}, {"Left", "Top left"}}) +
                test::boolean("Collate", "True"));
    }

    PanePlugInMgr& make() {
        manager = std::make_unique<PanePlugInMgr>(Bundle::open(plugin.path()));
        return *manager;
    }
    bool logged(const std::string& part) const {
        for (const auto& line : log) {
            if (line.find(part) != std::string::npos)
                return true;
        }
        return false;
    }
};

// A plug-in name is the bundle's name, then after a "+" the role: the second part, whatever
// follows it.
TEST(PanePlugInNameTest, TheSecondPartOfANameIsTheRole) {
    struct Case {
        std::string name, bundle;
        std::optional<std::string> role;
    } cases[] = {{"Finishing", "Finishing", std::nullopt},
                 {"Finishing+Front", "Finishing", "Front"},
                 {"Finishing+Front+Left", "Finishing", "Front"},
                 {"Finishing+", "Finishing", ""},
                 {"+Front", "", "Front"}};
    for (const auto& [name, bundle, role] : cases) {
        auto separated = PanePlugInMgr::separateBundleName(name);
        EXPECT_EQ(separated.first, bundle) << name;
        EXPECT_EQ(separated.second, role) << name;
    }
}

TEST_F(PanePlugInMgrTest, LoadsEachRoleOfABundleWithItsOwnController) {
    standardPress();
    auto& mgr = make();
    ASSERT_TRUE(mgr.loadPlugIns());
    EXPECT_THAT(mgr.plugInNames(),
                ElementsAre("Finishing+Front", "Finishing+Back", "Layout", "Page"));
    auto front = mgr.paneControllerWithName("Finishing+Front");
    auto back = mgr.paneControllerWithName("Finishing+Back");
    ASSERT_TRUE(front && back);
    EXPECT_NE(front, back);
    EXPECT_EQ(mgr.roleName(front.get()), "Front");
    EXPECT_EQ(mgr.roleName(mgr.paneControllerWithName("Page").get()), std::nullopt);
    EXPECT_EQ(mgr.panelNameOfBundleName("Layout"), "Layout");
    EXPECT_EQ(mgr.paneControllerWithName("Finishing"), nullptr);

    // Every placeholder named by a tool tip is registered, also the one inside a tab; the two
    // without a name are left alone. Two roles register their controls twice.
    EXPECT_THAT(mgr.zemaMgr().keywords(),
                ElementsAre("Staple", "Punch", "ColorModel", "MediaType"));
    EXPECT_EQ(mgr.zemaMgr().controlsFor("Staple")->size(), 2u);
    auto view = mgr.panelViewOfBundleName("Page");
    auto controls = PaneControlServices::getZEMAUIControls(view.get());
    ASSERT_EQ(controls.size(), 3u);
    EXPECT_EQ(controls[0]->toolTip(), "(null)");
    EXPECT_EQ(controls[1]->mainKeyword(), "");
    EXPECT_EQ(controls[2]->mainKeyword(), "MediaType");
    EXPECT_EQ(controls[2]->toolTip(), "");
    EXPECT_EQ(mgr.getStringValueFromKey("MediaType"), "Plain");

    EXPECT_FALSE(mgr.isInitializedNetworkData());
    calls.clear();
    mgr.willShowAllBundle();
    EXPECT_TRUE(mgr.isInitializedNetworkData());
    EXPECT_THAT(calls, ElementsAre("Finishing+Front willShow", "Finishing+Back willShow",
                                   "Layout willShow", "Page willShow"));
}

TEST_F(PanePlugInMgrTest, TheManagerHoldsTheEncryptionLibraryForItsLifetime) {
    standardPress();
    plugin.encryptionLibrary();
    make();
    EXPECT_TRUE(EncryptionBridge::shared().isLoaded());
    EXPECT_FALSE(logged("###loadEncDec"));
    manager.reset();
    EXPECT_FALSE(EncryptionBridge::shared().isLoaded());
}

// A second manager (the favorites commands make one) shares the codec: whichever goes first
// leaves it to the other.
TEST_F(PanePlugInMgrTest, TheCodecStaysWhileAnyManagerLives) {
    standardPress();
    plugin.encryptionLibrary();
    make();
    auto second = std::make_unique<PanePlugInMgr>(Bundle::open(plugin.path()));
    manager.reset();
    EXPECT_TRUE(EncryptionBridge::shared().isLoaded());
    char out[EncryptionBridge::kOutputBufferSize] = {};
    EXPECT_EQ(encode("1234", out), 0);
    second.reset();
    EXPECT_FALSE(EncryptionBridge::shared().isLoaded());
}

TEST_F(PanePlugInMgrTest, ABundleLoadedWithoutRoleIsNeverLoadedForOne) {
    standardPress();
    auto& mgr = make();
    ASSERT_TRUE(mgr.loadPaneControllerWithName(std::string("Finishing")));
    EXPECT_EQ(mgr.loadPaneControllerWithName(std::string("Finishing")), nullptr);
    EXPECT_EQ(mgr.loadPaneControllerWithName(std::string("../Finishing")), nullptr);
    mgr.loadPlugIns();
    EXPECT_THAT(mgr.plugInNames(), ElementsAre("Finishing", "Layout", "Page"));
}

TEST_F(PanePlugInMgrTest, MissingPanesTreeLoadsEveryBundleWithoutRoles) {
    standardPress();
    std::filesystem::remove(plugin.resources() + "/PanesTree.plist");
    auto& mgr = make();
    EXPECT_TRUE(mgr.loadPlugIns());
    EXPECT_THAT(mgr.plugInNames(), ElementsAre("Finishing", "Layout", "Page"));
    EXPECT_TRUE(logged("###Error: panesTreeDictionary does not loaded."));
}

TEST_F(PanePlugInMgrTest, BundleSettingsAndTheirAbsence) {
    struct Case {
        std::string info;
        bool writeFile;
        bool found;
    } cases[] = {
        {"<key>KVPOD</key><string>UISettings</string><key>KVTabTreeView</key><true/>"
         "<key>isHiddenDuplex</key><string>YES</string>",
         true, true},
        {"<key>KVPOD</key><string>UISettings</string>", false, false}, // file missing
        {"", true, false},                                             // key missing
    };
    for (const auto& c : cases) {
        test::TempDir own;
        test::PluginBundleBuilder bundle(own);
        bundle.info(c.info);
        if (c.writeFile)
            bundle.resource("UISettings.plist", "<plist><dict/></plist>");
        log.clear();
        PanePlugInMgr mgr(Bundle::open(bundle.path()));
        EXPECT_EQ(mgr.getUIFilePath().has_value(), c.found) << c.info;
        EXPECT_EQ(logged("###Error:UISetting Plist file not found!"), !c.found) << c.info;
        EXPECT_TRUE(logged("###loadEncDec: error -1")) << "no library in the bundle";
        EXPECT_FALSE(mgr.loadPlugIns());
        if (c.found) {
            EXPECT_EQ(mgr.isPOD(), "UISettings");
            EXPECT_TRUE(mgr.getTabTreeView());
            EXPECT_TRUE(mgr.isHiddenDuplex());
            EXPECT_FALSE(mgr.isHiddenCollate());
        }
    }
}

// A pane that throws while the host goes on is said, with the pane and the reason, and a restore
// it breaks is reported as failed rather than done.
TEST_F(PanePlugInMgrTest, APaneThatFailsIsSaidAndTheRestoreItBrokeReportsIt) {
    struct Case {
        std::string call;
        bool restored;
        std::string said; // in an alert or the log
    } cases[] = {
        {"willShow", false, "the test pane stopped in willShow"},
        {"panelView", true,
         "###Error: the pane Layout gave no view: the test pane stopped in panelView"},
        {"", true, ""},
    };
    standardPress();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        std::filesystem::remove_all(plugin.path() + "/Contents/PlugIns/Layout.bundle");
        plugin.pane("Layout", "BasicPane", "BasicPane",
                    "<key>VelmoraTestKeys</key><array><string>ColorModel</string></array>"
                    "<key>VelmoraTestFailIn</key><string>" +
                        c.call + "</string>");
        auto& mgr = make();
        ASSERT_TRUE(mgr.loadPlugIns());
        log.clear();
        ui.alerts.clear();
        Dictionary values;
        values.set("ColorModel", "Gray");
        EXPECT_EQ(mgr.values().restorePrintOptionValues(values), c.restored);
        std::string said;
        for (const auto& alert : ui.alerts)
            said += alert.message + " " + alert.informative + "\n";
        for (const auto& line : log)
            said += line + "\n";
        if (c.said.empty())
            EXPECT_EQ(said, "");
        else
            EXPECT_THAT(said, HasSubstr(c.said));
        manager.reset();
    }
}

TEST_F(PanePlugInMgrTest, BrokenBundlesAreSkippedWithTheirReason) {
    standardPress(test::panesTree(test::paneNode("Page")));
    plugin.pane("Refusing", "BasicPane", "BasicPane", "<key>VelmoraTestRefuse</key><true/>")
        .pane("OldInterface", "BasicPaneVersion1", "BasicPane")
        .pane("NoFactory", "BasicPaneWithoutFactory", "BasicPane")
        .pane("WrongClass", "BasicPane", "Pane;rm -rf")
        .pane("OtherClass", "BasicPane", "FinishingPane");
    dir.write("Press.plugin/Contents/PlugIns/NoInfo.bundle/Contents/Linux/x.so", "");
    dir.write("Press.plugin/Contents/PlugIns/NotElf.bundle/Contents/Info.plist",
              "<plist><dict><key>CFBundleExecutable</key><string>x.so</string>"
              "<key>NSPrincipalClass</key><string>BasicPane</string></dict></plist>");
    dir.write("Press.plugin/Contents/PlugIns/NotElf.bundle/Contents/Linux/x.so", "text");
    dir.write("Press.plugin/Contents/PlugIns/Escape.bundle/Contents/Info.plist",
              "<plist><dict><key>CFBundleExecutable</key><string>../../../x.so</string>"
              "<key>NSPrincipalClass</key><string>BasicPane</string></dict></plist>");
    auto& mgr = make();
    EXPECT_TRUE(mgr.loadPlugIns());
    EXPECT_THAT(mgr.plugInNames(), ElementsAre("Finishing", "Layout", "Page"));
    const std::pair<const char*, const char*> expected[] = {
        {"Refusing.bundle", "refused to initialize"},
        {"OldInterface.bundle", "pane interface version 1"},
        {"NoFactory.bundle", "does not export BasicPane_create"},
        {"WrongClass.bundle", "NSPrincipalClass"},
        {"OtherClass.bundle", "does not export FinishingPane_abiVersion"},
        {"NoInfo.bundle", "Info.plist"},
        {"NotElf.bundle", "x.so"},
        {"Escape.bundle", "CFBundleExecutable"},
    };
    for (const auto& [bundle, reason] : expected) {
        EXPECT_TRUE(logged(std::string("###PlugIn: ") + bundle + " not loaded: ")) << bundle;
        bool found = false;
        for (const auto& line : log)
            found |=
                line.find(bundle) != std::string::npos && line.find(reason) != std::string::npos;
        EXPECT_TRUE(found) << bundle << " / " << reason;
    }
}

TEST_F(PanePlugInMgrTest, DefaultsGatherAndRestoreOverPanes) {
    standardPress();
    auto& mgr = make();
    mgr.loadPlugIns();
    Dictionary defaults = mgr.values().defaultSettings();
    EXPECT_EQ(defaults.get("MediaType").stringValue(), "Plain");
    EXPECT_EQ(defaults.get("ColorModel").stringValue(), "CMYK1");
    // The bundle PPD offers the finer colour mode: it is the default answer.
    EXPECT_EQ(mgr.values().selectedOptionKeyword("ColorModel"), "CMYK2");

    defaults.set("MediaType", "Transparency"); // a copy: the captured defaults stay
    mgr.setStringValue(std::string("Coated"), "MediaType");
    EXPECT_EQ(mgr.values().defaultSettings().get("MediaType").stringValue(), "Plain");
    auto gathered = mgr.values().gatherPrintOptionValues(true, 0, false, false, false);
    ASSERT_TRUE(gathered);
    EXPECT_EQ(gathered->get("MediaType").stringValue(), "Coated");
    EXPECT_FALSE(mgr.values().gatherPrintOptionValues(true, 0, true, false, false));

    calls.clear();
    Dictionary restore = *gathered;
    restore.set("ColorModel", "Gray");
    restore.set("Staple", "Left");
    EXPECT_TRUE(mgr.values().restorePrintOptionValues(restore));
    EXPECT_EQ(mgr.values().gatherPrintOptionValues(true, 0, false, false, false), restore);
    EXPECT_THAT(calls, ElementsAre("Layout willShow", "Page writeAutomaticPapaerTraySelection",
                                   "Layout panelView", "Page panelView"));
    // Rebuilding the panes forgets the defaults: they are captured again from the controls.
    ASSERT_TRUE(mgr.optionNames().ppdInformation());
    EXPECT_FALSE(mgr.rebuildPanes(std::string("NoSuchPpd")));
    EXPECT_TRUE(mgr.optionNames().ppdInformation()) << "the bundle PPD opens again on next use";
    EXPECT_EQ(mgr.values().defaultSettings().get("ColorModel").stringValue(), "Gray");
}

TEST_F(PanePlugInMgrTest, SummaryNamesOnlyWhatTheBundlePpdDescribes) {
    standardPress();
    auto& mgr = make();
    Dictionary options;
    options.set("ColorModel", "Gray");
    options.set("Collate", Value(true));
    options.set("StapleLocation", "Nowhere");
    options.set("Unknown", "x");
    auto summary = mgr.summary().summaryInfoFromPrintOption(options);
    ASSERT_TRUE(summary);
    Dictionary expected;
    expected.set("Colour mode", "Greyscale");
    expected.set("Collate", "On");
    EXPECT_EQ(*summary, expected);
    EXPECT_FALSE(mgr.summary().summaryInfoFromPrintOption(std::nullopt));

    std::optional<std::string> title, choice;
    mgr.getAlias(&title, &choice, std::string("StapleLocation"), std::string("Left"));
    EXPECT_EQ(title, "Staple");
    EXPECT_EQ(choice, "Top left");
    mgr.getAlias(&title, &choice, std::nullopt, std::string("Left"));
    EXPECT_FALSE(title || choice);
}

TEST_F(PanePlugInMgrTest, ConsistencyCheckListsEveryProblemInOneAlert) {
    standardPress();
    auto& mgr = make();
    Dictionary options;
    options.set("SecPrint", "True");
    options.set("SecPrintPassword", "");
    options.set("AuthJob", "True");
    options.set("AuthJobUserIdType", "ID");
    options.set("AuthJobUserId", "");
    options.set("RenderingProfile", "False");
    options.set("RenderingProfileType", "PrinterStandard");
    options.set("WaterMark", Value(true));
    options.set("UseSpToner", "True");
    options.set("SpTonerUseMode", "All");
    options.set("SpTonerPageRangeModeFront", "Appoint");
    options.set("SpTonerPageRangeFront", "3,1");
    options.set("SpTonerPageRangeModeBack", "Appoint");
    options.set("SpTonerPageRangeBack", "1-200001");
    EXPECT_FALSE(mgr.values().isPrintOptionConsistencyCheck(options));
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0].message, "Alert_ChkMsg");
    EXPECT_EQ(ui.alerts[0].informative,
              "Alert_SecPrintPassword\rAlert_AuthJobUserId\rAlert_WaterMarkName\r"
              "Alert_RenderingProfileName\r"
              "Alert_SpTonerPageRangeFront_Incorrect\rAlert_SpTonerPageRangeBack_MaxPage\r");

    Dictionary fine;
    fine.set("SecPrint", "True");
    fine.set("SecPrintPassword", "secret");
    fine.set("AuthJob", "True");
    fine.set("AuthJobUserIdType", "Name");
    EXPECT_TRUE(mgr.values().isPrintOptionConsistencyCheck(fine));
    EXPECT_EQ(ui.alerts.size(), 1u);
}

TEST(PrintOptionConsistencyTest, PageRangesOfSpecialToner) {
    const std::pair<const char*, int> cases[] = {
        {"1-3,5,7-9", 0},
        {"3,1", 2},
        {"1-2-3", 2},
        {"0", 2},
        {"abc", 2},
        {"1-200001", 1},
        {"200000", 0},
        {"5-3", 2},
        {"1,,2", 2},
        {"-5", 0},
        {"99999999999999999999", 1},
        {"2-", 0},
        {" 4 - 6", 0},
    };
    for (const auto& [range, expected] : cases)
        EXPECT_EQ(PaneValues::checkPageRangeForSpecialToner(range), expected) << range;
}

TEST_F(PanePlugInMgrTest, ProfileItemsContinueTheNumbering) {
    standardPress();
    plugin.pane("Profiles", "BasicPane", "BasicPane", "<key>VelmoraTestProfiles</key><true/>");
    dir.write("Press.plugin/Contents/PlugIns/Profiles.bundle/Contents/Resources/en.lproj/"
              "Localizable.strings",
              "\"Profile\" = \"Profile \";\n");
    auto& mgr = make();
    mgr.loadPlugIns();
    auto view = mgr.panelViewOfBundleName("Profiles");
    ui::PopUpButton* profiles = nullptr;
    for (const auto& subview : view->subviews())
        if (auto* popUp = dynamic_cast<ui::PopUpButton*>(subview.get()))
            profiles = popUp;
    ASSERT_TRUE(profiles);
    EXPECT_THAT(profiles->itemTitles(), ElementsAre("Profile 1", "Profile 2", "Profile 3"));
    EXPECT_EQ(PaneControlServices::representedObjectOfMenuItem(profiles->itemAtIndex(2).get(),
                                                               "optionKeyword")
                  .stringValue(),
              "Profile3");

    mgr.addProfileItem("ProfileNumber", profiles, 5, "Profile%d", nullptr);
    EXPECT_THAT(profiles->itemTitles(),
                ElementsAre("Profile 1", "Profile 2", "Profile 3", "Profile 4", "Profile 5"));
    mgr.addProfileItem("ProfileNumber", profiles, 2, "Profile%d", nullptr);
    EXPECT_EQ(profiles->numberOfItems(), 5);

    calls.clear();
    mgr.profiles().setProfilePath(std::string("/nowhere/p.cps"));
    EXPECT_EQ(mgr.profiles().currentProfilePath(), "/nowhere/p.cps");
    EXPECT_THAT(calls, ElementsAre("Profiles profileUiInformations"));
    PanePlugInMgr empty(nullptr);
    EXPECT_THROW(empty.profiles().setProfilePath(std::string("x")), std::logic_error);
}

TEST_F(PanePlugInMgrTest, PlainControlsBoundToTheBundlePpd) {
    standardPress();
    auto& mgr = make();
    ui::PopUpButton popUp;
    mgr.buildControl(&popUp, "ColorModel", std::nullopt);
    EXPECT_THAT(popUp.itemTitles(), ElementsAre("Colour", "Colour (fine)", "Greyscale"));
    PaneControlServices::setValueToControl(&popUp, Value("Gray"));
    EXPECT_EQ(PaneControlServices::getValueFromControl(&popUp), Value("Gray"));
    PaneControlServices::setValueToControl(&popUp, Value("Missing"));
    EXPECT_EQ(PaneControlServices::getValueFromControl(&popUp), Value("Gray"));

    ui::Slider slider;
    mgr.buildControl(&slider, "ColorModel", std::string("Colour"));
    EXPECT_EQ(slider.maxValue(), 2);
    slider.setIntValue(2); // the maximum picks the first choice
    EXPECT_EQ(PaneControlServices::getValueFromControl(&slider), Value("CMYK1"));
    PaneControlServices::setValueToControl(&slider, Value("Gray"));
    EXPECT_EQ(slider.intValue(), 0);

    ui::Button check({}, ui::ButtonType::Switch);
    mgr.buildControl(&check, "Collate", std::nullopt);
    PaneControlServices::setValueToControl(&check, Value("True"));
    EXPECT_EQ(PaneControlServices::getValueFromControl(&check), Value(true));
    ui::Button keyed({}, ui::ButtonType::Switch);
    mgr.buildControl(&keyed, "StapleLocation", std::nullopt); // pick-one: keywords carried
    PaneControlServices::setValueToControl(&keyed, Value("Left"));
    EXPECT_EQ(PaneControlServices::getValueFromControl(&keyed), Value("Left"));

    ui::SecureTextField password;
    password.setStringValue("secret");
    Value scrambled = PaneControlServices::getValueFromControl(&password);
    // Compared without printing: the texts are passwords.
    EXPECT_TRUE(scrambled.isString() && scrambled.stringValue() != "secret");
    password.setStringValue("");
    PaneControlServices::setValueToControl(&password, scrambled);
    EXPECT_TRUE(password.stringValue() == "secret");
}

TEST_F(PanePlugInMgrTest, PanesCommandShowsPanesInTreeOrderAndSkippedBundles) {
    standardPress();
    plugin.pane("Refusing", "BasicPane", "BasicPane", "<key>VelmoraTestRefuse</key><true/>");
    auto result = test::runVelmora("panes --bundle '" + plugin.path() + "'", dir / "err.txt");
    EXPECT_EQ(result.status, 1);
    auto json = JsonReader::parse(result.out);
    ASSERT_TRUE(json && json->dictionary()) << result.out;
    const Dictionary& out = *json->dictionary();
    std::vector<std::string> names;
    for (const Value& pane : *out.get("panes").array())
        names.push_back(pane.dictionary()->get("name").stringValue());
    EXPECT_THAT(names, ElementsAre("Page", "Layout", "Finishing+Front", "Finishing+Back"));
    const Dictionary& front = *(*out.get("panes").array())[2].dictionary();
    EXPECT_EQ(front.get("role"), Value("Front"));
    EXPECT_EQ(front.get("title"), Value("Finishing"));
    EXPECT_EQ(front.get("controls"), Value(Array{Value("Staple"), Value("Punch")}));
    EXPECT_TRUE((*out.get("panes").array())[0].dictionary()->get("role").isNull());
    EXPECT_EQ(out.get("defaults").dictionary()->get("MediaType"), Value("Plain"));
    EXPECT_EQ(out.get("summary"), Value(Array{Value(Dictionary{{"title", Value("Colour mode")},
                                                               {"value", Value("Colour")}})}));
    ASSERT_EQ(out.get("problems").array()->size(), 1u);
    EXPECT_THAT((*out.get("problems").array())[0].stringValue(),
                HasSubstr("Refusing.bundle not loaded: the pane refused to initialize"));
    EXPECT_THAT(test::readFile(dir / "err.txt"), HasSubstr("Refusing.bundle"));
}

} // namespace
} // namespace velmora
