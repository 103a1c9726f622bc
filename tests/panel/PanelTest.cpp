// Whole print dialog sessions: the in-memory host loads Velmora.plugin as the system's dialog
// would, and the tests drive the panel and its windows as a person would.
#include "support/LayoutCheck.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include "apps/velmora/UserAction.h"
#include "common/Localization.h"
#include "controls/ZEMAMgr.h"
#include "controls/ZEMATextField.h"
#include "controls/ZEMAUI.h"
#include "device/JobNameWinController.h"
#include "device/PdeAutomaticPaperTraySelection.h"
#include "favorites/FavoriteFile.h"
#include "favorites/Scrambling.h"
#include "favoritewindows/SaveFavoriteWindowController.h"
#include "panel/DetailedSettingsWinController.h"
#include "panel/LornPDEByCocoa.h"
#include "panes/AppPreference.h"
#include "panes/PanePlugInMgr.h"
#include "platform/foundation/Bundle.h"
#include "platform/printing/InMemoryPrintDialog.h"
#include "platform/printing/JobDelivery.h"
#include "platform/printing/PrintSettings.h"
#include "platform/printing/SheetPlanner.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Matrix.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/TabView.h"
#include "platform/ui/TextField.h"
#include "ppd/PrintOptionConverter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace velmora {
namespace {

using ::testing::HasSubstr;

// A dialog that also keeps every PPD choice the panel asks it to mark.
class RecordingDialog : public InMemoryPrintDialog {
public:
    using InMemoryPrintDialog::InMemoryPrintDialog;
    void willChangePPDOptionKeyValue(const std::string& option,
                                     const std::string& choice) override {
        marked.emplace_back(option, choice);
        InMemoryPrintDialog::willChangePPDOptionKeyValue(option, choice);
    }
    std::vector<std::pair<std::string, std::string>> marked;
};

class PanelTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScopedEnv library{"VELMORA_USER_LIBRARY", (dir / "library").c_str()};
    test::ScopedEnv data{"XDG_DATA_HOME", (dir / "data").c_str()};
    test::ScopedEnv language{"LANGUAGE", "en"};
    test::ScriptedUi ui;
    std::unique_ptr<RecordingDialog> dialog;
    std::shared_ptr<LornPDEByCocoa> panel;

    void SetUp() override { PanePlugInMgr::releaseSharedInstance(); }
    void TearDown() override {
        panel.reset();
        dialog.reset();
        PanePlugInMgr::releaseSharedInstance();
    }

    void open(const std::string& plugIn = VELMORA_PLUGIN_DIR,
              std::string deviceURI = "ipp://press.example:631/ipp/print",
              bool constraintHandling = true) {
        panel.reset();
        dialog.reset();
        dialog = std::make_unique<RecordingDialog>(
            InMemoryPrintDialog::Options{plugIn, std::string(VELMORA_QUEUE_PPD), "VelmoraPress",
                                         std::move(deviceURI), constraintHandling, nullptr, nullptr});
        auto opened = dialog->open();
        ASSERT_TRUE(opened) << opened.error();
        panel = std::dynamic_pointer_cast<LornPDEByCocoa>(dialog->panel());
        ASSERT_TRUE(panel);
    }
    void openAndShow() {
        open();
        panel->restoreValuesAndReturnError(nullptr);
        dialog->showPanel();
    }

    PanePlugInMgr& manager() { return PanePlugInMgr::sharedInstance(); }
    std::optional<std::string> value(const std::string& key) {
        return manager().getStringValueFromKey(key);
    }
    ZEMAUI& panelControl(const std::string& key) {
        for (const auto& [name, control] : panel->views().optionControls())
            if (name == key)
                return *control;
        return *panel->views().autoTraySettingToBypass;
    }
    void setOnPanel(const std::string& key, const std::string& choice) {
        auto refused = app::actAsUser(panelControl(key), choice, *dialog->window());
        ASSERT_FALSE(refused) << *refused;
    }
    std::optional<std::string> ticket(const std::string& keyword) {
        const Value* stored = dialog->printSettings()->value(PanelTicketEntries::key(keyword));
        return stored && stored->string() ? std::optional<std::string>(*stored->string())
                                          : std::nullopt;
    }
    // Sets options in the detailed settings window (in their panes) and presses "Setting".
    void setInDetailedWindow(ui::Window& window,
                             const std::vector<std::pair<std::string, std::string>>& values) {
        auto& tabs = *DetailedSettingsWinController::sharedInstance().views().tabView;
        for (const auto& [key, choice] : values) {
            ZEMAUI* control = nullptr;
            for (const auto& item : tabs.tabViewItems())
                if (!control && item->view())
                    control = app::findOptionControl(
                        PaneControlServices::getZEMAUIControls(item->view().get()), key);
            ASSERT_NE(control, nullptr) << key;
            auto refused = app::actAsUser(*control, choice, window);
            ASSERT_FALSE(refused) << *refused;
        }
    }
    // A copy of the plug-in bundle with one resource file edited.
    std::string copyPlugIn(const std::string& resource,
                           const std::function<void(std::string&)>& edit) {
        std::string copy = dir / "Velmora.plugin";
        std::filesystem::copy(VELMORA_PLUGIN_DIR, copy, std::filesystem::copy_options::recursive);
        // A name with a folder is below Contents, a plain name among the resources.
        std::string name = "Velmora.plugin/Contents/" + (resource.find('/') == std::string::npos
                                                             ? "Resources/" + resource
                                                             : resource.substr(2));
        std::string text = test::readFile(dir / name);
        edit(text);
        dir.write(name, text);
        return copy;
    }
    std::string favoriteFolder() {
        return AppPreference::sharedInstance().favoriteFolderPathArray(true).front();
    }
    void saveFavoriteAs(const std::string& name) {
        ui.interaction = [&](ui::Window& window) {
            const auto& views = SaveFavoriteWindowController::sharedInstance().views();
            ASSERT_FALSE(app::typeAsUser(*views.favoriteName, name, window));
            views.ok->performClick();
        };
        panel->clickedSaveFavoriteButton();
        ui.interaction = nullptr;
    }
    std::vector<std::string> favoriteTitles() { return panel->views().favorite->itemTitles(); }
};

// ---- Entry and lifecycle ----

TEST_F(PanelTest, ThePlugInServesOnePanelOfThePrinterModuleTypeOnly) {
    open();
    EXPECT_FALSE(dialog->plugIn()->PDEPanelsForType("com.example.other-kind", dialog.get()));
    EXPECT_EQ(panel->panelName(), "Velmora Flow");
    EXPECT_EQ(panel->panelKind(), LornPDEByCocoa::kPanelKind);
    auto keys = panel->supportedPPDOptionKeys();
    ASSERT_TRUE(keys);
    EXPECT_EQ(
        *keys,
        *Bundle::open(VELMORA_PLUGIN_DIR)->infoDictionary().get("PMPPDKeysSupported").array());
    EXPECT_TRUE(panel->shouldHide());
    EXPECT_FALSE(panel->isMyPluginPDE());
}

TEST_F(PanelTest, TheDeviceURIHostBecomesTheServerAddress) {
    const std::pair<const char*, const char*> cases[] = {
        {"v1.fe80::1+en0", "fe80::1%en0"},
        {"v1.press", "press"},
        {"press+one.example", "press+one.example"},
        {"press.example", "press.example"},
    };
    for (const auto& [host, expected] : cases)
        EXPECT_EQ(LornPDEByCocoa::hostNameFromDeviceURIHost(host), expected) << host;
    open(VELMORA_PLUGIN_DIR, "ipp://press.example:631/ipp/print");
    EXPECT_EQ(manager().getHostName(), "press.example");
    open(VELMORA_PLUGIN_DIR, "ipp://[v1.fe80::1+en0]:631/ipp/print");
    EXPECT_EQ(manager().getHostName(), "fe80::1%en0");
}

TEST_F(PanelTest, ShowingBuildsTheControlsOnceAndCutsOffTheFavoritesRow) {
    openAndShow();
    EXPECT_TRUE(panel->isIntializedUi());
    EXPECT_TRUE(panel->isMyPluginPDE());
    const auto& views = panel->views();
    for (const auto& [key, control] : views.optionControls())
        EXPECT_EQ(control->mainKeyword(), key);
    EXPECT_TRUE(views.favorite->isHidden());
    EXPECT_TRUE(views.saveFavoriteButton->isHidden());
    EXPECT_DOUBLE_EQ(views.view->frame().size.height, views.saveFavoriteButton->frame().origin.y);
    // The sample press describes the bypass control: its dialog and button exist.
    EXPECT_NE(panel->bypassPaperTraySelection(), nullptr);
    EXPECT_FALSE(views.bypassPaperTraySelectionButton->isHidden());
    // The device lists of the queue's PPD are in the pop-ups.
    EXPECT_GT(views.outputTray->popUpButton()->numberOfItems(), 1);
    EXPECT_EQ(views.jobName->stringValue(), "Auto");
}

// The device reports its trays by their Japanese names; an English panel shows English ones.
TEST_F(PanelTest, TrayChoicesFromTheDeviceAreInThePersonsLanguage) {
    openAndShow();
    const auto& views = panel->views();
    for (ZEMAUI* control : {views.inputSlot.get(), views.outputTray.get()}) {
        ui::PopUpButton& popUp = *control->popUpButton();
        ASSERT_GT(popUp.numberOfItems(), 1);
        EXPECT_EQ(popUp.itemAtIndex(0)->title(), "Auto Select") << control->mainKeyword();
        for (int i = 0; i < popUp.numberOfItems(); ++i) {
            const std::string& title = popUp.itemAtIndex(i)->title();
            EXPECT_TRUE(
                std::all_of(title.begin(), title.end(), [](unsigned char c) { return c < 0x80; }))
                << control->mainKeyword() << ": " << title;
        }
    }
}

TEST_F(PanelTest, WithoutABypassDescriptionThereIsNoBypassDialog) {
    // A copy of the plug-in whose UI settings do not describe the bypass control.
    open(copyPlugIn("UISettings.plist", [](std::string& text) {
        auto at = text.find("<key>AutoTraySettingToBypass</key>\n\t<dict>");
        ASSERT_NE(at, std::string::npos);
        text.replace(at, 34, "<key>AutoTraySettingToBypassGone</key>");
    }));
    panel->restoreValuesAndReturnError(nullptr);
    dialog->showPanel();
    EXPECT_EQ(panel->bypassPaperTraySelection(), nullptr);
    EXPECT_TRUE(panel->views().bypassPaperTraySelectionButton->isHidden());
    panel->clickedSelectPaperTraySelectionButton(1);
    EXPECT_EQ(ui.interactions, 0);
}

TEST_F(PanelTest, SummaryBeforeShowingBuildsRestoresAndSavesOnce) {
    open();
    panel->restoreValuesAndReturnError(nullptr);
    ASSERT_FALSE(panel->isIntializedUi());
    auto summary = panel->summaryInfo();
    EXPECT_TRUE(panel->isIntializedUi());
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->get("2-Sided Printing"), Value("1-Sided"));
    EXPECT_EQ(ticket("ZRSpecificJobName"), "Auto"); // the save ran
    EXPECT_FALSE(panel->isMyPluginPDE());
}

TEST_F(PanelTest, APpdChangeIsTakenOnlyWithAChoiceThePpdHas) {
    openAndShow();
    auto before = panel->printOption();
    panel->PPDOptionKeyValueDidChange(std::string("ColorModel"), std::string("Sepia"));
    panel->PPDOptionKeyValueDidChange(std::nullopt, std::string("Gray"));
    EXPECT_EQ(panel->printOption(), before);
    panel->PPDOptionKeyValueDidChange(std::string("ColorModel"), std::string("Gray"));
    EXPECT_EQ(panel->printOption()->get("ColorMode"), Value("Gray"));
    EXPECT_EQ(panelControl("ColorMode").getStringValue(), "Gray");
}

// ---- Print settings ----

TEST_F(PanelTest, ChoicesGoToThePpdAndEverythingElseToTheTicketEscaped) {
    openAndShow();
    setOnPanel("ColorMode", "Gray");
    ui.interaction = [&](ui::Window& window) {
        auto& controller = JobNameWinController::sharedInstance();
        controller.specificJobNameRadio()->clickCellAt(1, 0);
        ASSERT_FALSE(app::typeAsUser(*controller.jobNameEdit(), "Q3, 'final' 100%", window));
        controller.okButton()->performClick();
    };
    panel->clickedJobNameButton();
    ASSERT_TRUE(panel->saveValuesAndReturnError(nullptr));
    EXPECT_EQ(dialog->markedChoice("ColorModel"), "Gray");
    EXPECT_FALSE(ticket("ColorMode")); // a PPD choice leaves no ticket entry behind
    EXPECT_EQ(ticket("JobName"), "Q3%x2C %x27final%x27 100%x25");
    EXPECT_EQ(ticket("PagePrintOnCenter"), std::nullopt);
    EXPECT_EQ(dialog->markedChoice("PagePrintOnCenter"), "False"); // Booleans as "True"/"False"

    // A new session restores the name unchanged.
    Dictionary saved = dialog->settingsSnapshot();
    open();
    dialog->restoreSnapshot(saved);
    panel->restoreValuesAndReturnError(nullptr);
    dialog->showPanel();
    EXPECT_EQ(panel->jobNameValue(), "Q3, 'final' 100%");
    EXPECT_EQ(panel->views().jobName->stringValue(), "Q3, 'final' 100%");
    EXPECT_EQ(panelControl("ColorMode").getStringValue(), "Gray");
}

TEST_F(PanelTest, TicketEscapingRoundTrips) {
    // Text that holds an escape itself comes back as it was, not as what the escape stands for.
    const char* values[] = {"plain", "50%",      "it's",     "a,b",           "%x25 literal",
                            "'%,'",  "ab%x2Ccd", "%x27%x2C", "%x25x2C%x2527", ""};
    for (const char* text : values) {
        std::string escaped = PanelTicketEntries::escape(text);
        EXPECT_EQ(escaped.find_first_of(",'"), std::string::npos) << text;
        EXPECT_EQ(PanelTicketEntries::unescape(escaped), text);
    }
}

TEST_F(PanelTest, WithoutConstraintHandlingNothingReachesThePrintSettings) {
    open(VELMORA_PLUGIN_DIR, "ipp://press.example/ipp", false);
    panel->restoreValuesAndReturnError(nullptr);
    dialog->showPanel();
    EXPECT_TRUE(panel->saveValuesAndReturnError(nullptr));
    EXPECT_TRUE(dialog->marked.empty());
    EXPECT_FALSE(ticket("ZRSpecificJobName"));
    std::optional<std::string> stored;
    EXPECT_EQ(panel->ticketEntries().getString(nullptr, "any", &stored), LornPDEByCocoa::kParamErr);
    EXPECT_EQ(panel->ticketEntries().customSetString(nullptr, std::nullopt, std::string("x")),
              LornPDEByCocoa::kNoErr);
}

TEST_F(PanelTest, WritingOneOptionChoosesBetweenThePpdAndTheTicket) {
    openAndShow();
    // An entry left from before goes when the value becomes a PPD choice.
    dialog->printSettings()->setValue(PanelTicketEntries::key("ColorMode"), Value("Sepia"));
    panel->_setValueToPpdDictionary(nullptr, nullptr, "ColorMode", Value("Gray"));
    EXPECT_EQ(dialog->markedChoice("ColorModel"), "Gray");
    EXPECT_FALSE(ticket("ColorMode"));
    // With a PPD dictionary: a value the option does not offer, a keyword the PPD lacks.
    Dictionary choices{{"Stale", Value("x")}};
    panel->_setValueToPpdDictionary(nullptr, &choices, "ColorMode", Value("Sepia"));
    EXPECT_EQ(ticket("ColorMode"), "Sepia");
    EXPECT_EQ(panel->defaultPrintOption()->get("ColorMode"), Value("Color"));
    EXPECT_EQ(choices.get("ColorModel"), Value("RGB"));    // the queue PPD's name of Color
    EXPECT_EQ(dialog->markedChoice("ColorModel"), "Gray"); // the dictionary took it, not the host
    panel->_setValueToPpdDictionary(nullptr, &choices, "Stale", Value("y"));
    EXPECT_FALSE(choices.contains("Stale"));
    EXPECT_EQ(ticket("Stale"), "y");
}

TEST_F(PanelTest, CopiesAndCollateGoThroughTheDialogsOwnControls) {
    openAndShow();
    panel->setCopies(std::string("3"));
    EXPECT_EQ(dialog->printSettings()->copies(), 3);
    EXPECT_EQ(panel->getCopies(), "3");
    panel->setCollate(false);
    EXPECT_FALSE(dialog->printSettings()->collate());
    EXPECT_EQ(dialog->collateCheckBox()->state(), 0);
    EXPECT_EQ(panel->getCollate(), "False");
    // The dialog's two-sided box is the PPD's duplex choice, and the panel hears of it.
    dialog->twoSidedCheckBox()->performClick();
    EXPECT_EQ(dialog->markedChoice("Duplex"), "DuplexNoTumble");
    EXPECT_EQ(panel->printOption()->get("Duplex"), Value("DuplexNoTumble"));
}

TEST_F(PanelTest, HiddenCopiesAndCollateAreNeitherReadNorWritten) {
    open(copyPlugIn("./Info.plist", [](std::string& text) {
        for (const char* key : {"isHiddenNumCopies", "isHiddenCollate"}) {
            auto at = text.find(std::string("<key>") + key + "</key>");
            ASSERT_NE(at, std::string::npos);
            auto value = text.find("<false/>", at);
            text.replace(value, 8, "<true/>");
        }
    }));
    panel->restoreValuesAndReturnError(nullptr);
    dialog->showPanel();
    dialog->copiesField()->setStringValue("4");
    EXPECT_FALSE(panel->getCopies());
    EXPECT_FALSE(panel->getCollate());
    panel->setCopies(std::string("2"));
    panel->setCollate(false);
    EXPECT_EQ(dialog->copiesField()->stringValue(), "4");
    EXPECT_TRUE(dialog->printSettings()->collate());
    ASSERT_TRUE(panel->saveValuesAndReturnError(nullptr));
    EXPECT_NE(panel->printOption()->get("NumCopies"), Value("4"));
}

TEST_F(PanelTest, AChangeOnThePanelSavesWhatItSetsAlong) {
    openAndShow();
    setOnPanel("DuplexMode", "DuplexNoTumble");
    ASSERT_TRUE(panel->saveValuesAndReturnError(nullptr));
    EXPECT_EQ(dialog->markedChoice("DuplexMode"), "DuplexNoTumble");
    EXPECT_EQ(dialog->markedChoice("Duplex"), "DuplexNoTumble"); // set along by the engine
    EXPECT_EQ(dialog->printSettings()->duplexing(), PrintSettings::kDuplexNoTumble);
}

// A value other than the one the control holds: another offered choice, or a text with the
// characters the print settings escape. Null when the control offers no other value.
std::optional<std::string> otherValue(ZEMAUI& control) {
    auto current = control.getStringValue().value_or("");
    if (auto popUp = control.popUpButton()) {
        for (auto it = popUp->itemArray().rbegin(); it != popUp->itemArray().rend(); ++it) {
            std::string choice = (*it)->representedObject().stringValue();
            if (!(*it)->isSeparatorItem() && (*it)->isEnabled() && !choice.empty() &&
                choice != current)
                return choice;
        }
        return std::nullopt;
    }
    if (control.kind() == ControlKind::CheckBox || control.description().hasChoices()) {
        for (const auto& choice : control.description().choices())
            if (!choice.choice.empty() && choice.choice != current)
                return choice.choice;
        return std::nullopt;
    }
    if (auto field = control.textField(); field && !field->isNum())
        return control.mainKeyword().find("PageRange") != std::string::npos
                   ? std::string("1-3,5")
                   : std::string("Run 7, 'A' 5%");
    return std::nullopt;
}

TEST_F(PanelTest, SavedSettingsRestoreEveryOptionOfThePress) {
    openAndShow();
    ZEMAMgr& engine = manager().zemaMgr();
    // A person goes through every option in the detailed settings window and picks another
    // value wherever the control takes one; the engine keeps the whole consistent.
    ui.interaction = [&](ui::Window& window) {
        auto& tabs = *DetailedSettingsWinController::sharedInstance().views().tabView;
        std::vector<std::shared_ptr<ZEMAUI>> controls;
        for (const auto& item : tabs.tabViewItems())
            for (const auto& control : PaneControlServices::getZEMAUIControls(item->view().get()))
                controls.push_back(control);
        auto act = [&](const std::string& key, const std::optional<std::string>& wanted) {
            ZEMAUI* control = app::findOptionControl(controls, key);
            if (!control || !control->isEnabled() || control->isHidden())
                return;
            if (auto other = wanted ? wanted : otherValue(*control))
                app::actAsUser(*control, *other, window);
        };
        for (const auto& key : engine.keywords())
            act(key, std::nullopt);
        // What the consistency check asks for.
        act("SecPrintPassword", std::string("2468"));
        act("SpTonerOverlayObjectFrontPhoto", std::string("True"));
        act("SpTonerOverlayObjectBackPhoto", std::string("True"));
        DetailedSettingsWinController::sharedInstance().views().ok->performClick();
        if (!ui::Application::shared().isModalStopped())
            DetailedSettingsWinController::sharedInstance().views().cancel->performClick();
    };
    panel->clickedShowDetailedSettingsButton();
    for (const auto& alert : ui.alerts) // conflicts the engine asked about, consistency refused
        ASSERT_THAT(alert.message, ::testing::Not(HasSubstr("incomplete"))) << alert.informative;
    ASSERT_TRUE(panel->saveValuesAndReturnError(nullptr));
    Dictionary chosen = engine.getAllValueDictionary();
    Dictionary saved = dialog->settingsSnapshot();

    open();
    dialog->restoreSnapshot(saved);
    panel->restoreValuesAndReturnError(nullptr);
    dialog->showPanel();
    Dictionary restored = manager().zemaMgr().getAllValueDictionary();
    ASSERT_GT(chosen.size(), 200u);
    std::size_t changed = 0;
    for (const auto& [key, value] : chosen) {
        EXPECT_EQ(restored.get(key), value) << key;
        changed += value != Value(manager().values().defaultSettings().get(key)) ? 1 : 0;
    }
    EXPECT_GT(changed, 100u); // most options were away from their defaults
}

TEST_F(PanelTest, UserNameIsStoredComposedByTheSaveAndAsTypedByTheFastSave) {
    openAndShow();
    const std::string decomposed = "Rene\xCC\x81", composed = "Ren\xC3\xA9";
    ui.interaction = [&](ui::Window& window) {
        setInDetailedWindow(window, {{"UserName", decomposed}});
        DetailedSettingsWinController::sharedInstance().views().ok->performClick();
    };
    panel->clickedShowDetailedSettingsButton(); // full save, then the fast save after OK
    EXPECT_EQ(ticket("UserName"), decomposed);
    ASSERT_TRUE(panel->saveValuesAndReturnError(nullptr));
    EXPECT_EQ(ticket("UserName"), composed);
}

TEST_F(PanelTest, ARestoreWithEmptyPrintSettingsGivesTheDefaultsAndTheMarkedChoices) {
    open();
    dialog->willChangePPDOptionKeyValue("ColorModel", "Gray"); // the queue's own choice
    panel->restoreValuesAndReturnError(nullptr);
    dialog->showPanel();
    EXPECT_EQ(panelControl("ColorMode").getStringValue(), "Gray");
    EXPECT_EQ(panelControl("DuplexMode").getStringValue(), "None");
    EXPECT_EQ(panel->specificJobNameValue(), "Auto");
}

TEST_F(PanelTest, RevertToDefaultAndTheTrayDialogEndGatherTheControls) {
    openAndShow();
    setOnPanel("ColorMode", "Gray");
    setOnPanel("DuplexMode", "DuplexTumble");
    panel->setCollate(false);
    panel->views().revertToDefaultSettingsButton->performClick();
    EXPECT_EQ(value("ColorMode"), panel->defaultPrintOption()->get("ColorMode").stringValue());
    EXPECT_EQ(value("DuplexMode"), "None");
    EXPECT_TRUE(dialog->printSettings()->collate());
    EXPECT_EQ(panel->printOption()->get("ColorMode"),
              panel->defaultPrintOption()->get("ColorMode"));

    ui.interaction = [&](ui::Window&) {
        manager().setStringValue(std::string("True"), "AutoTraySettingToBypass");
        panel->automaticPaperTraySelection()->clickButtonClose();
    };
    panel->views().automaticPaperTraySelectionButton->performClick();
    EXPECT_EQ(ui.interactions, 1);
    EXPECT_EQ(panel->printOption()->get("AutoTraySettingToBypass"), Value(true));
    EXPECT_FALSE(panel->views().bypassPaperTraySelectionButton->isEnabled());
}

// ---- Detailed settings window ----

TEST_F(PanelTest, CancelInTheDetailedWindowRestoresEverything) {
    openAndShow();
    setOnPanel("ColorMode", "Gray");
    std::optional<Dictionary> opened;
    std::optional<std::string> orientation;
    ui.interaction = [&](ui::Window& window) {
        opened = panel->printOption(); // as the window opens
        orientation = value("DocumentOrientation");
        setInDetailedWindow(window, {{"DocumentOrientation", "Landscape"}, {"SecPrint", "True"}});
        DetailedSettingsWinController::sharedInstance().views().cancel->performClick();
    };
    panel->clickedShowDetailedSettingsButton();
    ASSERT_EQ(ui.interactions, 1);
    ASSERT_TRUE(opened && panel->printOption());
    EXPECT_EQ(*panel->printOption(), *opened);
    EXPECT_EQ(value("DocumentOrientation"), orientation);
    EXPECT_EQ(value("SecPrint"), "False");
    EXPECT_EQ(value("ColorMode"), "Gray");
}

TEST_F(PanelTest, SecurePrintNeedsItsPasswordAndTheFastSaveWritesOnlyChanges) {
    openAndShow();
    std::size_t markedBeforeOk = 0;
    int run = 0;
    ui.interaction = [&](ui::Window& window) {
        auto& views = DetailedSettingsWinController::sharedInstance().views();
        if (++run == 1) {
            setInDetailedWindow(window, {{"SecPrint", "True"}});
            views.ok->performClick(); // refused: no password
            return;
        }
        setInDetailedWindow(window, {{"SecPrintPassword", "2468"}});
        markedBeforeOk = dialog->marked.size();
        views.ok->performClick();
    };
    panel->clickedShowDetailedSettingsButton();
    EXPECT_EQ(run, 2);
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_THAT(ui.alerts[0].informative, HasSubstr("password"));
    EXPECT_EQ(panel->printOption()->get("SecPrint"), Value("True"));
    EXPECT_EQ(dialog->markedChoice("SecPrint"), "True");
    // After OK only what changed since the window opened is written.
    std::vector<std::pair<std::string, std::string>> fast(dialog->marked.begin() + markedBeforeOk,
                                                          dialog->marked.end());
    auto wrote = [&](const char* option) {
        for (const auto& [name, choice] : fast)
            if (name == option)
                return true;
        return false;
    };
    EXPECT_TRUE(wrote("SecPrint"));
    EXPECT_FALSE(wrote("ColorModel"));
    EXPECT_FALSE(wrote("DocumentOrientation"));
    ASSERT_TRUE(ticket("SecPrintPassword"));
    EXPECT_EQ(ticket("SecPrintPassword")->find("2468"), std::string::npos); // never in clear
}

TEST_F(PanelTest, TheOutlineIsWiderForFrench) {
    test::ScopedEnv french{"LANGUAGE", "fr"};
    openAndShow();
    auto& controller = DetailedSettingsWinController::sharedInstance();
    ASSERT_TRUE(controller.window());
    EXPECT_FALSE(controller.views().outlineHolder->isHidden());
    EXPECT_EQ(controller.views().outlineColumn->width(), 415);
}

TEST_F(PanelTest, PanelAndDetailedWindowAreTidyInEnglishAndJapanese) {
    for (const char* lang : {"en", "ja"}) {
        test::ScopedEnv chosen{"LANGUAGE", lang};
        panel.reset();
        dialog.reset();
        PanePlugInMgr::releaseSharedInstance();
        openAndShow();
        EXPECT_THAT(test::windowLayoutProblems(*dialog->window()), ::testing::IsEmpty()) << lang;
        auto& controller = DetailedSettingsWinController::sharedInstance();
        ASSERT_TRUE(controller.window());
        auto& views = controller.views();
        for (long style : {1, 2}) {
            views.viewStyle->selectItemWithTag(style);
            controller.setupViewStylePopupButton(*views.viewStyle);
            std::string where = std::string(lang) + (style == 1 ? " tabs" : " outline");
            EXPECT_THAT(test::windowLayoutProblems(*controller.window()), ::testing::IsEmpty())
                << where;
            // Each pane fits the tab view that shows it.
            for (const auto& item : views.tabView->tabViewItems()) {
                std::vector<std::string> problems;
                for (const auto& sub : item->view()->subviews())
                    if (!sub->isHidden() &&
                        !test::inside(sub->frame(), views.tabView->frame().size))
                        problems.push_back(item->label() + " does not fit");
                EXPECT_THAT(problems, ::testing::IsEmpty()) << where;
            }
        }
        EXPECT_EQ(views.outlineHolder->isHidden(), false); // the last style was the outline
        EXPECT_GT(views.outline->numberOfRows(), 3);
        // Every page's title in the outline fits its column, with the indentation of its level.
        std::vector<std::string> cut;
        for (long row = 0; row < views.outline->numberOfRows(); ++row) {
            std::string title =
                views.outline->objectValueAt(views.outlineColumn, row).stringValue();
            double needed = views.outline->font().widthOfString(title) +
                            views.outline->indentationPerLevel() * views.outline->levelForRow(row);
            if (needed > views.outlineColumn->width())
                cut.push_back(title);
        }
        EXPECT_THAT(cut, ::testing::IsEmpty()) << lang;
    }
}

// ---- Favorites ----

TEST_F(PanelTest, TheChangedSettingsItemComesAndGoesWithTheFavorite) {
    openAndShow();
    saveFavoriteAs("Brochure");
    ASSERT_EQ(panel->views().favorite->titleOfSelectedItem(), "Brochure");
    EXPECT_TRUE(panel->views().deleteFavoriteButton->isEnabled());
    int favoriteIndex = panel->views().favorite->indexOfSelectedItem();

    setOnPanel("ColorMode", "Gray");
    std::string changed = BSLocalizedStringOrKey("Change Setting") + "Brochure";
    EXPECT_EQ(panel->views().favorite->titleOfSelectedItem(), changed);
    EXPECT_EQ(panel->views().favorite->indexOfSelectedItem(), favoriteIndex);
    EXPECT_FALSE(panel->views().deleteFavoriteButton->isEnabled());

    setOnPanel("ColorMode", "Color");
    EXPECT_EQ(panel->views().favorite->titleOfSelectedItem(), "Brochure");
    EXPECT_EQ(panel->views().favorite->indexOfSelectedItem(), favoriteIndex);
    EXPECT_FALSE(panel->views().favorite->itemWithTitle(changed));
}

// The preview draws the press's choices as the panel holds them, without saving; printing saves
// them into the dialog's settings and sends those. Both must give the press the same sheets.
TEST_F(PanelTest, WhatThePreviewDrawsIsWhatPrintingSends) {
    auto describe = [](const SheetPlan& plan) {
        std::ostringstream out;
        out << plan.sheetWidth << "x" << plan.sheetHeight << " cells " << plan.columns << "x"
            << plan.rows << " two-sided " << plan.twoSided << plan.tumble << " booklet "
            << plan.booklet << plan.rightBinding << " paper " << plan.paperColor << " from "
            << plan.tray << " to " << plan.outputTray << " staples";
        for (const auto& staple : plan.staples)
            out << " " << staple.x << "," << staple.y;
        out << " holes " << plan.holes.size() << " folds " << plan.folds.size() << " creases "
            << plan.creases.size();
        return out.str();
    };
    auto destination = JobDelivery::embedded(VELMORA_PLUGIN_DIR, VELMORA_QUEUE_PPD);
    SheetPlanner planner(VELMORA_QUEUE_PPD);
    using Settings = std::vector<std::pair<std::string, std::string>>;
    for (const Settings& settings : std::vector<Settings>{
             {{"StapleMode_StapleMechanism", "LeftEdgeUseStaple"},
              {"Punch_PunchHoles", "LeftHoles2"},
              {"DuplexMode", "DuplexNoTumble"},
              {"PaperColor", "Yellow"},
              {"OutputTray", "D3finishertray"},
              {"KVInputSlot", "Tray1"}},
             {{"ImpositionMode_ImpositionCustomMode", "Nup"}, {"ImpositionNup_NumOfPages", "4up"}},
             {{"ImpositionMode_ImpositionCustomMode", "Booklet"},
              {"StapleMode_StapleMechanism", "SaddleInside"},
              {"Fold", "Bifold"}},
             {{"DocumentOrientation", "Landscape"}, {"DuplexMode", "DuplexTumble"}},
         }) {
        openAndShow();
        // Set as a person sets them, in the detailed settings window: the preview follows while
        // the window is open, before the panel takes the values on OK.
        std::string previewed;
        ui.interaction = [&](ui::Window& window) {
            setInDetailedWindow(window, settings);
            previewed = describe(planner.plan(panel->pressChoices()));
            DetailedSettingsWinController::sharedInstance().views().ok->performClick();
        };
        panel->clickedShowDetailedSettingsButton();
        EXPECT_EQ(describe(planner.plan(panel->pressChoices())), previewed)
            << "the same once the window has closed";
        ASSERT_TRUE(panel->saveValuesAndReturnError(nullptr));
        std::string printed =
            describe(JobDelivery::sheetPlan(destination, dialog->settingsSnapshot()));
        EXPECT_EQ(previewed, printed) << ::testing::PrintToString(settings);
    }
}

TEST_F(PanelTest, NumbersThatDifferOnlyInFormAndRescrambledPasswordsAreNoChange) {
    // A press whose favorites also keep a security password.
    open(copyPlugIn("ConvertTable.plist", [](std::string& text) {
        text.replace(text.rfind("</dict>"), 7,
                     "<key>ZRSecurityPassword</key><dict><key>tagKey</key>"
                     "<string>SC_PASS</string></dict></dict>");
    }));
    // The same password scrambled twice reads differently.
    auto scrambled = [](const std::string& password, unsigned seed) {
        std::string out(encryptionBufLen(password), '\0');
        EncryptionWithSeed(kScramblingKey, password.c_str(), out.data(), seed);
        return std::string(out.c_str());
    };
    ASSERT_NE(scrambled("2468", 1), scrambled("2468", 2));
    Dictionary stored{{"Brightness", Value("1")},
                      {"ZRSecurityPassword", Value(scrambled("2468", 1))}};
    auto path = AppPreference::sharedInstance().saveFavoriteOnFavoriteDirectory(
        std::string("Numbers"), std::string(),
        PrintOptionConverter::sharedInstance().toInputMgrFormat(&stored));
    ASSERT_TRUE(path);
    panel->restoreValuesAndReturnError(nullptr);
    dialog->showPanel();
    PanelFavoritesPopUp favorites(panel->views().favorite);
    ASSERT_TRUE(favorites.selectPath(*path));
    auto differs = [&](const char* brightness, const char* password) {
        Dictionary current{{"Brightness", Value(brightness)},
                           {"ZRSecurityPassword", Value(scrambled(password, 2))}};
        return favorites.differsFromCurrent(current,
                                            [&] { return manager().values().defaultSettings(); });
    };
    EXPECT_FALSE(differs("1.0", "2468"));
    EXPECT_TRUE(differs("2", "2468"));
    EXPECT_TRUE(differs("1", "1357"));
}

TEST_F(PanelTest, DeletingTheOnlyFavoriteRemovesTheSeparatorToo) {
    openAndShow();
    saveFavoriteAs("Only");
    ASSERT_EQ(panel->views().favorite->numberOfItems(), 3); // default, separator, favorite
    ui.answers = {1};                                       // "No"
    panel->clickedDeleteFavoriteButton();
    EXPECT_EQ(panel->views().favorite->numberOfItems(), 3);
    ui.answers = {0}; // "Yes"
    panel->clickedDeleteFavoriteButton();
    EXPECT_EQ(panel->views().favorite->numberOfItems(), 1);
    EXPECT_EQ(panel->views().favorite->indexOfSelectedItem(), 0);
    EXPECT_FALSE(panel->views().deleteFavoriteButton->isEnabled());
    EXPECT_TRUE(std::filesystem::is_empty(favoriteFolder()));
}

TEST_F(PanelTest, ChoosingAFavoriteAppliesItAndTheSelectionIsSavedWithTheSettings) {
    openAndShow();
    setOnPanel("ColorMode", "Gray");
    saveFavoriteAs("Gray");
    setOnPanel("ColorMode", "Color");
    panel->views().favorite->selectItemAtIndex(0);
    panel->views().favorite->sendAction();
    EXPECT_EQ(value("ColorMode"), "Color");
    int gray = panel->views().favorite->indexOfItemWithTitle("Gray");
    panel->views().favorite->selectItemAtIndex(gray);
    panel->views().favorite->sendAction();
    EXPECT_EQ(value("ColorMode"), "Gray");
    ASSERT_TRUE(panel->saveValuesAndReturnError(nullptr));
    EXPECT_THAT(ticket("FavoriteName").value_or(""), HasSubstr("Gray"));

    Dictionary saved = dialog->settingsSnapshot();
    open();
    dialog->restoreSnapshot(saved);
    panel->restoreValuesAndReturnError(nullptr);
    dialog->showPanel();
    EXPECT_EQ(panel->views().favorite->titleOfSelectedItem(), "Gray");
}

} // namespace
} // namespace velmora
