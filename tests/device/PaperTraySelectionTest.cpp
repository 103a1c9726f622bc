#include "device/PdeAutomaticPaperTraySelection.h"

#include "common/NotifyUnit.h"
#include "controls/ZEMAMgr.h"
#include "controls/ZEMATextField.h"
#include "controls/ZEMAUI.h"
#include "panes/PanePlugInMgr.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Window.h"

#include "support/Descriptions.h"
#include "support/LayoutCheck.h"
#include "support/PaneBundles.h"
#include "support/ScriptedUi.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

namespace velmora {
namespace {

std::string popUp(const std::string& key, const std::string& defaultValue,
                  const std::vector<std::string>& choices, const std::string& extra = "") {
    std::string xml = "<key>" + key + "</key><dict><key>mainKeyword</key><string>" + key +
                      "</string><key>control_type</key><string>PopupButton</string><key>text</key>"
                      "<string>" +
                      key + "</string><key>default</key><string>" + defaultValue +
                      "</string><key>choices</key><array>";
    for (const auto& choice : choices)
        xml += "<dict><key>choice</key><string>" + choice + "</string><key>text</key><string>" +
               choice + "</string></dict>";
    return xml + "</array>" + extra + "</dict>";
}

std::string textField(const std::string& key) {
    return "<key>" + key + "</key><dict><key>mainKeyword</key><string>" + key +
           "</string><key>control_type</key><string>TextField_text</string><key>text</key>"
           "<string>" +
           key + "</string><key>max</key><string>32</string></dict>";
}

// Choosing a paper type tells the dialog through the notification the press posts for it (the
// press's custom papers included).
std::string paperTypes(const std::vector<std::string>& types) {
    std::string cooperation = "<key>cooperation</key><dict>";
    auto announced = types;
    announced.push_back("CustomPaper3");
    for (const auto& type : announced)
        cooperation += "<key>" + type + "</key><dict><key>PaperTypeDCO</key><string>" + type +
                       "</string></dict>";
    return popUp("PaperTypeD", "Coated", types, cooperation + "</dict>");
}

class PaperTraySelectionTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::PluginBundleBuilder plugin{dir};
    NotificationCenter center;
    test::ScriptedUi ui;
    std::unique_ptr<PanePlugInMgr> manager;

    void SetUp() override { NotifyUnit::setCenter(&center); }
    void TearDown() override {
        manager.reset();
        NotifyUnit::setCenter(nullptr);
    }

    void press(bool optionalMedia) {
        std::vector<std::string> types = {"Coated", "Label", "Uncoated", "Transparency"};
        std::string settings = paperTypes(types) + textField("PaperTypeCustomName") +
                               textField("MediaTypeSequence") +
                               popUp("PaperColor", "White", {"White", "Ivory", "StkCustom"}) +
                               textField("PaperColorCustomName") +
                               popUp("MediaTypeWeight", "Group0",
                                     {"Unspecified", "Group0", "Group1", "Group2", "Group4"});
        if (optionalMedia)
            settings += popUp("MediaTypeCoatingMaterial", "None", {"None", "Gloss"}) +
                        popUp("MediaTypeDrilled", "False", {"False", "True"});
        plugin.info("<key>KVPOD</key><string>UI</string>")
            .resource("UI.plist", "<plist><dict>" + settings + "</dict></plist>")
            .resource("en.lproj/Localizable.strings",
                      "\"AutomaticWindowTitle\" = \"Paper Attributes\";\n\"close\" = \"Close\";\n");
        manager = std::make_unique<PanePlugInMgr>(Bundle::open(plugin.path()));
    }

    // The dialog with its controls registered as the panel registers them.
    std::unique_ptr<PdeAutomaticPaperTraySelection> open(bool bypass = false) {
        auto dialog = std::make_unique<PdeAutomaticPaperTraySelection>();
        dialog->initializePanel(Bundle::open(plugin.path()), bypass, manager.get());
        for (const auto& [key, control] : dialog->getListZEMAUI())
            manager->setZemaUiToZemaMgr(control);
        return dialog;
    }
    static ZEMAUI& control(PdeAutomaticPaperTraySelection& dialog, const std::string& key) {
        return *dialog.getListZEMAUI().at(key);
    }
    static void pick(ZEMAUI& control, const std::string& keyword) {
        auto popUp = control.popUpButton();
        popUp->selectItemByUser(popUp->indexOfItemWithRepresentedObject(Value(keyword)));
    }
};

TEST_F(PaperTraySelectionTest, TheWeightFollowsARealChangeOfPaperType) {
    press(true);
    auto dialog = open();
    int closed = 0;
    ui.interaction = [&](ui::Window&) {
        pick(control(*dialog, "PaperTypeD"), "Label");
        EXPECT_EQ(control(*dialog, "MediaTypeWeight").getStringValue(), "Group4");
        pick(control(*dialog, "MediaTypeWeight"), "Group1"); // chosen by hand
        dialog->views().close->performClick();
    };
    dialog->modalWindow([&] { ++closed; });
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(manager->getStringValueFromKey("MediaTypeWeight"), "Group1");

    // Opened again with Label still chosen: the weight chosen by hand stays.
    ui.interaction = [&](ui::Window&) { dialog->views().close->performClick(); };
    dialog->modalWindow(nullptr);
    EXPECT_EQ(control(*dialog, "MediaTypeWeight").getStringValue(), "Group1");
    EXPECT_EQ(dialog->window()->title(), "Paper Attributes");
    EXPECT_EQ(dialog->views().close->title(), "Close");
}

TEST_F(PaperTraySelectionTest, CustomPapersAreUnspecifiedAtOnceAndWhenReopened) {
    press(true);
    auto dialog = open();
    dialog->setPaperTypeCustomList({{"Silk 250", "CustomPaper3"}});
    dialog->removePaperTypeChoices({"Transparency"});
    dialog->setPaperTypeCustomList({{"Silk 250", "CustomPaper3"}});
    auto titles = control(*dialog, "PaperTypeD").popUpButton()->itemTitles();
    EXPECT_THAT(titles, ::testing::ElementsAre("Coated", "Label", "Uncoated", "Silk 250"))
        << "removed choices stay removed when custom papers come again";
    ui.interaction = [&](ui::Window&) {
        pick(control(*dialog, "PaperTypeD"), "CustomPaper3");
        EXPECT_EQ(control(*dialog, "MediaTypeWeight").getStringValue(), "Unspecified");
        pick(control(*dialog, "MediaTypeWeight"), "Group2");
        dialog->views().close->performClick();
    };
    dialog->modalWindow(nullptr);
    ui.interaction = [&](ui::Window&) { dialog->views().close->performClick(); };
    dialog->modalWindow(nullptr);
    EXPECT_EQ(control(*dialog, "MediaTypeWeight").getStringValue(), "Unspecified");
}

TEST_F(PaperTraySelectionTest, CustomColourNameOnlyForCustomColour) {
    press(true);
    auto dialog = open();
    auto& name = control(*dialog, "PaperColorCustomName");
    for (const auto& [colour, enabled] : {std::pair{"StkCustom", true}, {"Ivory", false}}) {
        control(*dialog, "PaperColor").setStringValue(std::string(colour));
        ui.interaction = [&](ui::Window&) { dialog->views().close->performClick(); };
        dialog->modalWindow(nullptr);
        EXPECT_EQ(name.isEnabled(), enabled) << colour;
    }
    name.textField()->setStringValue("Pale blue");
    Dictionary texts = dialog->getTextFieldStringDictionary();
    EXPECT_EQ(texts.get("PaperColorCustomName"), Value("Pale blue"));
    EXPECT_TRUE(texts.contains("MediaTypeSequence"));
    EXPECT_TRUE(texts.contains("MediaTypeDrilled"));
    EXPECT_FALSE(texts.contains("MediaTypeWeightValue"));
}

TEST_F(PaperTraySelectionTest, WithoutOptionalMediaTheWindowIsNarrowAndTidy) {
    press(true);
    auto wide = open();
    double width = wide->window()->frame().size.width;
    double separator = wide->views().separator->frame().size.width;
    EXPECT_THAT(test::windowLayoutProblems(*wide->window()), ::testing::IsEmpty());
    wide.reset();
    press(false);
    auto narrow = open();
    EXPECT_DOUBLE_EQ(narrow->window()->frame().size.width, width / 2 + 32);
    EXPECT_DOUBLE_EQ(narrow->views().separator->frame().size.width, separator / 2 + 16);
    EXPECT_THAT(test::windowLayoutProblems(*narrow->window()), ::testing::IsEmpty());
}

TEST_F(PaperTraySelectionTest, AWeightShownAsANumberStillGetsItsGroup) {
    press(true);
    plugin.resource(
        "UI.plist",
        "<plist><dict>" + paperTypes({"Coated", "Label"}) + textField("MediaTypeSequence") +
            popUp("PaperColor", "White", {"White"}) + textField("MediaTypeWeightValue") +
            popUp("MediaTypeWeight", "Group0", {"Group0", "Group4"}) + "</dict></plist>");
    auto dialog = open();
    EXPECT_TRUE(dialog->getListZEMAUI().count("MediaTypeWeightValue"));
    EXPECT_FALSE(dialog->getListZEMAUI().count("MediaTypeWeight"));
    auto pane = std::make_shared<ZEMAUI>(); // the weight pop-up of a pane
    pane->setControlDictionary(
        *test::plistDictionary(popUp("MediaTypeWeight", "Group0", {"Group0", "Group4"}))
             .get("MediaTypeWeight")
             .dictionary(),
        nullptr);
    pane->createControls();
    manager->setZemaUiToZemaMgr(pane);
    ui.interaction = [&](ui::Window&) {
        pick(control(*dialog, "PaperTypeD"), "Label");
        dialog->views().close->performClick();
    };
    dialog->modalWindow(nullptr);
    EXPECT_EQ(manager->getStringValueFromKey("MediaTypeWeight"), "Group4");
    EXPECT_EQ(control(*dialog, "MediaTypeWeightValue").getStringValue(), "");
}

TEST_F(PaperTraySelectionTest, BypassModeShowsTheBypassAttributes) {
    press(true);
    plugin
        .resource(
            "UI.plist",
            "<plist><dict>" +
                popUp("PaperTypeBypass_MediaTypeTabbedBypass_MediaTypeCoatingMaterialBypass_"
                      "MediaTypePreprintedBypass_MediaTypeDrilledBypass_"
                      "PaperTypeCustomNumberBypass",
                      "Plain", {"Plain", "Coated"}) +
                textField("MediaTypeSequenceBypass") +
                popUp("PaperColorBypass", "White", {"White", "Ivory"}) +
                popUp("MediaTypeWeightBypass", "Group0", {"Unspecified", "Group0", "Group1"}) +
                "</dict></plist>")
        .resource("en.lproj/Localizable.strings", "\"BypassWindowTitle\" = \"Bypass Tray\";\n");
    auto dialog = open(true);
    EXPECT_EQ(dialog->getListZEMAUI().size(), 4u);
    EXPECT_EQ(dialog->window()->title(), "Bypass Tray");
    control(*dialog, "MediaTypeSequenceBypass").textField()->setStringValue("3");
    Dictionary texts = dialog->getTextFieldStringDictionary();
    EXPECT_EQ(texts, (Dictionary{{"MediaTypeSequenceBypass", Value("3")}}));
    dialog->setPaperTypeCustomList({{"Silk 250", "CustomPaper3"}});
    ui.interaction = [&](ui::Window&) {
        pick(control(*dialog,
                     "PaperTypeBypass_MediaTypeTabbedBypass_MediaTypeCoatingMaterialBypass_"
                     "MediaTypePreprintedBypass_MediaTypeDrilledBypass_"
                     "PaperTypeCustomNumberBypass"),
             "CustomPaper3");
        dialog->views().close->performClick();
    };
    dialog->modalWindow(nullptr);
    ui.interaction = [&](ui::Window&) { dialog->views().close->performClick(); };
    dialog->modalWindow(nullptr);
    EXPECT_EQ(control(*dialog, "MediaTypeWeightBypass").getStringValue(), "Unspecified")
        << "a custom paper on the bypass tray has no weight group";
}

// Whatever paper type a person picks on the sample press, the weight the window then shows is one
// its weight pop-up offers, and it follows the paper; a custom paper has no weight group.
TEST(PaperTraySelectionPressTest, EveryPaperTypeOfTheSamplePressShowsAWeightItOffers) {
    test::ScriptedUi ui;
    NotificationCenter center;
    NotifyUnit::setCenter(&center);
    {
        PanePlugInMgr manager(Bundle::open(VELMORA_PLUGIN_DIR));
        ASSERT_TRUE(manager.loadPlugIns());
        PdeAutomaticPaperTraySelection dialog;
        dialog.initializePanel(Bundle::open(VELMORA_PLUGIN_DIR), false, &manager);
        for (const auto& [key, control] : dialog.getListZEMAUI())
            manager.setZemaUiToZemaMgr(control);
        dialog.setPaperTypeCustomList({{"Silk 250", "CustomPaper3"}});
        // The sample press shows the paper type with its tab setting, and the weight as a
        // number; the weight group it implies is the option MediaTypeWeight.
        const auto& controls = dialog.getListZEMAUI();
        auto paperType = controls.find("PaperType_MediaTypeTabbed");
        ASSERT_NE(paperType, controls.end());
        auto types = paperType->second->popUpButton();
        std::set<std::string> offered;
        if (const Array* choices =
                manager.uiSettings()->get("MediaTypeWeight").dictionary()->get("choices").array())
            for (const auto& choice : *choices)
                offered.insert(choice.dictionary()->get("choice").stringValue());
        ASSERT_GE(offered.size(), 3u);
        std::set<std::string> shown;
        std::vector<std::string> notOffered;
        ui.interaction = [&](ui::Window&) {
            for (int i = 0; i < types->numberOfItems(); ++i) {
                if (!types->isItemSelectable(i))
                    continue;
                std::string type = types->itemAtIndex(i)->representedObject().stringValue();
                types->selectItemByUser(i);
                std::string group = manager.getStringValueFromKey("MediaTypeWeight").value_or("");
                if (!offered.contains(group))
                    notOffered.push_back(type + " shows " + group);
                if (type.starts_with("CustomPaper")) {
                    EXPECT_EQ(group, "Unspecified") << type;
                }
                shown.insert(group);
            }
            dialog.views().close->performClick();
        };
        dialog.modalWindow(nullptr);
        EXPECT_THAT(notOffered, ::testing::IsEmpty());
        EXPECT_GE(shown.size(), 3u) << "the weight does not follow the paper";
    }
    NotifyUnit::setCenter(nullptr);
}

TEST(PaperTraySelectionPressTest, BothModesOfTheSamplePressAreTidy) {
    test::ScriptedUi ui;
    PanePlugInMgr manager(Bundle::open(VELMORA_PLUGIN_DIR));
    for (const char* language : {"en", "ja"}) {
        for (bool bypass : {false, true}) {
            auto bundle = Bundle::open(VELMORA_PLUGIN_DIR);
            bundle->setPreferredLanguages({language});
            PdeAutomaticPaperTraySelection dialog;
            dialog.initializePanel(bundle, bypass, &manager);
            EXPECT_EQ(dialog.getListZEMAUI().size(), bypass ? 4u : 10u);
            EXPECT_THAT(test::windowLayoutProblems(*dialog.window()), ::testing::IsEmpty())
                << language << (bypass ? " bypass" : " automatic");
        }
    }
}

} // namespace
} // namespace velmora
