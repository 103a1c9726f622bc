#include "favoritewindows/FavoriteWindowController.h"
#include "favoritewindows/PrintOptionTreeDataSource.h"
#include "favoritewindows/SaveFavoriteWindowController.h"
#include "platform/ui/Image.h"

#include "common/Localization.h"
#include "favorites/FavoriteFile.h"
#include "panes/PanePlugInMgr.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/FieldEditor.h"
#include "platform/ui/FilePanel.h"
#include "platform/ui/OutlineView.h"
#include "platform/ui/Window.h"

#include "support/LayoutCheck.h"
#include "support/PaneBundles.h"
#include "support/ScriptedUi.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace velmora {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Every file below a folder with its bytes.
std::map<std::string, std::string> snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    std::error_code code;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, code);
         !code && it != std::filesystem::recursive_directory_iterator(); it.increment(code))
        if (it->is_regular_file())
            files[it->path().string()] = test::readFile(it->path().string());
    return files;
}

// The favorites of a user in a temporary library, the windows driven as a person would.
class FavoriteWindowsTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::PluginBundleBuilder plugin{dir};
    test::ScopedEnv library{"VELMORA_USER_LIBRARY", (dir / "library").c_str()};
    test::ScopedEnv data{"XDG_DATA_HOME", (dir / "data").c_str()};
    test::ScriptedUi ui;
    std::unique_ptr<PanePlugInMgr> manager;
    std::unique_ptr<FavoriteWindowController> window;
    std::string folder;

    void SetUp() override {
        plugin.info("")
            .resource(
                "miscellaneous.plist",
                "<plist><dict><key>Press</key><dict><key>productFolderName</key>"
                "<string>Flow</string><key>subFolderName</key><string>P1</string>"
                "<key>panesTreeFileName</key><string>PanesTree</string></dict></dict></plist>")
            .resource("PanesTree.plist", test::panesTree(test::paneNode("Page")));
        SetNSBundleForLocalizedString(Bundle::open(VELMORA_PLUGIN_DIR));
        manager = std::make_unique<PanePlugInMgr>(Bundle::open(plugin.path()));
        window = std::make_unique<FavoriteWindowController>(*manager);
        folder = dir / "library/Preferences/TORVALEN/Flow/P1/favorite";
        std::filesystem::create_directories(folder);
        store(folder, "Brochure", "Coated, booklet");
        store(folder, "Flyer", "A5 two-sided");
    }
    void TearDown() override {
        window.reset();
        SetNSBundleForLocalizedString(nullptr);
    }

    static std::string store(const std::string& where, const std::string& name,
                             const std::string& comment) {
        FavoriteFile file;
        file.setComment(comment);
        file.setOptions(Dictionary{{"MediaType", Value("Coated")}});
        std::string path = where + "/" + name + ".pfj";
        EXPECT_TRUE(file.writeToFile(path, FavoriteFile::kDestinationIotType));
        return path;
    }
    static std::string commentOf(const std::string& path) {
        return FavoriteFile::favoriteFileWithContentsOfFile(path, FavoriteFile::kDestinationIotType)
            .comment()
            .value_or("<none>");
    }
    long rowNamed(const std::string& name) {
        const auto& items = window->favoriteItems();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].name() == name)
                return static_cast<long>(i);
        return -1;
    }
    void select(const std::string& name) {
        window->views().favoriteListView->clickRow(rowNamed(name));
    }
    void typeInto(ui::TextField& field, const std::string& text) {
        window->window()->makeFirstResponder(&field);
        field.currentEditor()->selectAll();
        field.currentEditor()->typeText(text);
    }
    long run(std::function<void()> person) {
        ui.interaction = [person](ui::Window&) { person(); };
        return window->showAsModalDialog(std::nullopt, Dictionary{});
    }
};

TEST_F(FavoriteWindowsTest, RenamingAndNewCommentsReachTheFilesOnOk) {
    long code = run([&] {
        EXPECT_THAT(window->views().favoriteListView->numberOfRows(), 4);
        EXPECT_FALSE(window->views().nameEditField->isEnabled()) << "current settings row";
        select("Flyer");
        EXPECT_TRUE(window->views().nameEditField->isEnabled());
        EXPECT_EQ(window->views().commentEditField->stringValue(), "A5 two-sided");
        typeInto(*window->views().nameEditField, "Leaflet");
        typeInto(*window->views().commentEditField, "A5, folded");
        window->views().okButton->performClick();
    });
    EXPECT_EQ(code, FavoriteWindowController::kOK);
    EXPECT_FALSE(std::filesystem::exists(folder + "/Flyer.pfj"));
    EXPECT_EQ(commentOf(folder + "/Leaflet.pfj"), "A5, folded");
    EXPECT_EQ(commentOf(folder + "/Brochure.pfj"), "Coated, booklet");
}

TEST_F(FavoriteWindowsTest, ReturnInTheNameFieldChecksWithoutClosing) {
    long code = run([&] {
        select("Flyer");
        typeInto(*window->views().nameEditField, "Brochure");
        window->views().nameEditField->currentEditor()->insertNewline();
        ASSERT_EQ(ui.alerts.size(), 1u) << "the same name in the same folder is refused";
        EXPECT_THAT(ui.alerts[0].informative, HasSubstr("\"Brochure\" already exists"));
        typeInto(*window->views().nameEditField, "Leaflet");
        window->views().nameEditField->currentEditor()->insertNewline();
        EXPECT_EQ(ui.alerts.size(), 1u);
        EXPECT_GE(rowNamed("Leaflet"), 2) << "the valid name is taken, the window stays open";
        window->views().cancelButton->performClick();
    });
    EXPECT_EQ(code, FavoriteWindowController::kCancel);
    EXPECT_TRUE(std::filesystem::exists(folder + "/Flyer.pfj"));
}

TEST_F(FavoriteWindowsTest, CancelAfterEveryKindOfChangeLeavesTheFolderAsItWas) {
    std::string outside = store(dir.path(), "Poster", "A2 matte");
    auto before = snapshot(folder);
    ui.panelAnswer = [&](ui::SavePanel& panel) {
        dynamic_cast<ui::OpenPanel&>(panel).setUrl(outside);
        return ui::kFileHandlingPanelOKButton;
    };
    ui.answers = {0}; // OK to the deletion
    run([&] {
        select("Flyer");
        typeInto(*window->views().nameEditField, "Leaflet");
        select("Brochure");
        window->views().deleteButton->performClick();
        window->views().importButton->performClick();
        EXPECT_GE(rowNamed("Poster"), 2);
        window->views().cancelButton->performClick();
    });
    EXPECT_EQ(snapshot(folder), before);
    EXPECT_FALSE(std::filesystem::exists(dir / "data/Trash"));
}

TEST_F(FavoriteWindowsTest, DeletedGoToTheTrashImportedAreCopiedOnOk) {
    std::string outside = store(dir.path(), "Poster", "A2 matte");
    std::string broken = dir.write("Broken.pfj", "not a favorite");
    std::vector<std::string> offered = {broken, outside};
    ui.panelAnswer = [&](ui::SavePanel& panel) {
        dynamic_cast<ui::OpenPanel&>(panel).setUrl(offered.front());
        offered.erase(offered.begin());
        return ui::kFileHandlingPanelOKButton;
    };
    ui.answers = {0, 0}; // the broken file's alert, then OK to the deletion
    long code = run([&] {
        window->views().importButton->performClick();
        window->views().importButton->performClick();
        select("Brochure");
        window->views().deleteButton->performClick();
        window->views().okButton->performClick();
    });
    EXPECT_EQ(code, FavoriteWindowController::kOK);
    ASSERT_GE(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0].informative, "The favorite file could not be read.");
    EXPECT_FALSE(std::filesystem::exists(folder + "/Brochure.pfj"));
    EXPECT_TRUE(std::filesystem::exists(dir / "data/Trash/files/Brochure.pfj"));
    EXPECT_EQ(commentOf(folder + "/Poster.pfj"), "A2 matte");
    EXPECT_TRUE(std::filesystem::exists(outside)) << "the imported original stays";
}

// An imported favorite that sorts in before the selected one leaves the selection and the
// fields on the same favorite, so that what is typed next renames that one.
TEST_F(FavoriteWindowsTest, ImportKeepsTheSelectionOnTheSameFavorite) {
    std::string outside = store(dir.path(), "Alpha", "A4 proof");
    ui.panelAnswer = [&](ui::SavePanel& panel) {
        dynamic_cast<ui::OpenPanel&>(panel).setUrl(outside);
        return ui::kFileHandlingPanelOKButton;
    };
    long code = run([&] {
        select("Flyer");
        window->views().importButton->performClick();
        EXPECT_EQ(window->views().favoriteListView->selectedRow(), rowNamed("Flyer"));
        EXPECT_EQ(window->views().nameEditField->stringValue(), "Flyer");
        EXPECT_EQ(window->views().commentEditField->stringValue(), "A5 two-sided");
        typeInto(*window->views().nameEditField, "Leaflet");
        window->views().okButton->performClick();
    });
    EXPECT_EQ(code, FavoriteWindowController::kOK);
    EXPECT_FALSE(std::filesystem::exists(folder + "/Flyer.pfj"));
    EXPECT_EQ(commentOf(folder + "/Leaflet.pfj"), "A5 two-sided");
    EXPECT_EQ(commentOf(folder + "/Brochure.pfj"), "Coated, booklet");
    EXPECT_EQ(commentOf(folder + "/Alpha.pfj"), "A4 proof");
}

// A name freed by a deletion can be taken in the same OK, by a rename or by an import; the
// deleted favorite is in the trash.
TEST_F(FavoriteWindowsTest, ANameDeletedInTheSameOkCanBeTakenAgain) {
    std::string outside = store(dir.path(), "Brochure", "Uncoated, stapled");
    ui.panelAnswer = [&](ui::SavePanel& panel) {
        dynamic_cast<ui::OpenPanel&>(panel).setUrl(outside);
        return ui::kFileHandlingPanelOKButton;
    };
    struct Case {
        std::string how;
        std::function<void()> takeTheName;
        std::string comment; // of Brochure.pfj afterwards
        bool flyerStays;
    } cases[] = {
        {"rename",
         [&] {
             select("Flyer");
             typeInto(*window->views().nameEditField, "Brochure");
         },
         "A5 two-sided", false},
        {"import", [&] { window->views().importButton->performClick(); }, "Uncoated, stapled",
         true},
    };
    for (const auto& [how, takeTheName, comment, flyerStays] : cases) {
        SCOPED_TRACE(how);
        std::filesystem::remove_all(folder);
        std::filesystem::remove_all(dir / "data/Trash");
        std::filesystem::create_directories(folder);
        store(folder, "Brochure", "Coated, booklet");
        store(folder, "Flyer", "A5 two-sided");
        ui.answers = {0}; // OK to the deletion
        ui.alerts.clear();
        long code = run([&] {
            select("Brochure");
            window->views().deleteButton->performClick();
            takeTheName();
            window->views().okButton->performClick();
        });
        EXPECT_EQ(code, FavoriteWindowController::kOK);
        EXPECT_TRUE(ui.alerts.size() == 1u) << "only the deletion is confirmed";
        EXPECT_EQ(commentOf(folder + "/Brochure.pfj"), comment);
        EXPECT_EQ(std::filesystem::exists(folder + "/Flyer.pfj"), flyerStays);
        EXPECT_EQ(commentOf(dir / "data/Trash/files/Brochure.pfj"), "Coated, booklet");
    }
}

TEST_F(FavoriteWindowsTest, ANameTakenMeanwhileLosesNoFavorite) {
    std::string outside = store(dir.path(), "Poster", "A2 matte");
    ui.panelAnswer = [&](ui::SavePanel& panel) {
        dynamic_cast<ui::OpenPanel&>(panel).setUrl(outside);
        return ui::kFileHandlingPanelOKButton;
    };
    std::map<std::string, std::string> before;
    run([&] {
        // The imported favorite takes a name that another favorite has in the favorite
        // folder: allowed (it lives elsewhere), but storing it cannot overwrite that one.
        window->views().importButton->performClick();
        select("Poster");
        typeInto(*window->views().nameEditField, "Brochure");
        select("Flyer");
        typeInto(*window->views().nameEditField, "Leaflet");
        store(folder, "Leaflet", "made by someone else meanwhile");
        before = snapshot(folder);
        window->views().okButton->performClick();
        ASSERT_EQ(ui.alerts.size(), 1u);
        EXPECT_THAT(ui.alerts[0].message, HasSubstr("\"Brochure\" could not be stored"));
        EXPECT_THAT(ui.alerts[0].informative, HasSubstr("already exists"));
        window->views().cancelButton->performClick();
    });
    EXPECT_EQ(snapshot(folder), before);
    EXPECT_EQ(commentOf(folder + "/Brochure.pfj"), "Coated, booklet");
    EXPECT_EQ(commentOf(folder + "/Leaflet.pfj"), "made by someone else meanwhile");
    EXPECT_TRUE(std::filesystem::exists(folder + "/Flyer.pfj"));
}

TEST_F(FavoriteWindowsTest, AfterAFailedOkWhatWasStoredStaysAndOkCanBeRetried) {
    std::string outside = store(dir.path(), "Poster", "A2 matte");
    ui.panelAnswer = [&](ui::SavePanel& panel) {
        dynamic_cast<ui::OpenPanel&>(panel).setUrl(outside);
        return ui::kFileHandlingPanelOKButton;
    };
    long code = run([&] {
        window->views().importButton->performClick();
        select("Flyer");
        typeInto(*window->views().nameEditField, "Leaflet");
        select("Poster");
        store(folder, "Leaflet", "taken meanwhile");
        window->views().okButton->performClick(); // the copy is made, the rename is refused
        ASSERT_EQ(ui.alerts.size(), 1u);
        EXPECT_TRUE(std::filesystem::exists(folder + "/Poster.pfj"));
        std::filesystem::remove(folder + "/Leaflet.pfj");
        window->views().okButton->performClick(); // tried again: only the rename is left
    });
    EXPECT_EQ(code, FavoriteWindowController::kOK);
    EXPECT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(commentOf(folder + "/Leaflet.pfj"), "A5 two-sided");
    EXPECT_EQ(commentOf(folder + "/Poster.pfj"), "A2 matte");
    EXPECT_FALSE(std::filesystem::exists(folder + "/Flyer.pfj"));
}

TEST_F(FavoriteWindowsTest, ExportCarriesTheCommentAsEdited) {
    std::string target = dir / "Exported.pfj";
    ui.panelAnswer = [&](ui::SavePanel& panel) {
        EXPECT_EQ(panel.nameFieldStringValue(), "Flyer.pfj");
        panel.setUrl(target);
        return ui::kFileHandlingPanelOKButton;
    };
    run([&] {
        select("Flyer");
        typeInto(*window->views().commentEditField, "For the trade fair");
        select("Brochure"); // leaving the row takes the comment
        select("Flyer");
        window->views().exportButton->performClick();
        window->views().cancelButton->performClick();
    });
    EXPECT_EQ(commentOf(target), "For the trade fair");
    EXPECT_EQ(commentOf(folder + "/Flyer.pfj"), "A5 two-sided");
}

TEST_F(FavoriteWindowsTest, SaveDialogChecksTheNameAndReturnsTheTexts) {
    auto& save = SaveFavoriteWindowController::sharedInstance();
    std::string name = FavoriteItem::defaultFavoriteName(), comment = "ignored";
    ui.interaction = [&](ui::Window& shown) {
        EXPECT_EQ(save.views().favoriteName->stringValue(), "")
            << "the default name is not offered";
        shown.makeFirstResponder(save.views().favoriteName.get());
        save.views().favoriteName->currentEditor()->typeText("a/b");
        save.views().ok->performClick();
        ASSERT_EQ(ui.alerts.size(), 1u);
        EXPECT_EQ(shown.firstResponder(), save.views().favoriteName->currentEditor())
            << "the focus returns to the name";
        save.views().favoriteName->currentEditor()->selectAll();
        save.views().favoriteName->currentEditor()->typeText("Proofs");
        shown.makeFirstResponder(save.views().comment.get());
        save.views().comment->currentEditor()->typeText("Matte, 170 g");
        save.views().ok->performClick();
    };
    EXPECT_TRUE(ShowSaveFavoriteModalDialog(&name, &comment));
    EXPECT_EQ(name, "Proofs");
    EXPECT_EQ(comment, "Matte, 170 g");
}

TEST_F(FavoriteWindowsTest, BothWindowsAreTidyInEnglishAndJapanese) {
    for (const char* language : {"en", "ja"}) {
        auto bundle = Bundle::open(VELMORA_PLUGIN_DIR);
        bundle->setPreferredLanguages({language});
        SetNSBundleForLocalizedString(bundle);
        FavoriteWindowController favorites(*manager);
        SaveFavoriteWindowController save;
        for (auto* shown : {favorites.window().get(), save.window().get()}) {
            ASSERT_TRUE(shown);
            EXPECT_THAT(test::windowLayoutProblems(*shown), ::testing::IsEmpty())
                << language << " " << shown->title();
        }
    }
}

// ---- The settings tree ----

class SettingsTreeTest : public FavoriteWindowsTest {
protected:
    ui::OutlineView outline{ui::Rect::make(0, 0, 200, 300)};
    std::unique_ptr<PrintOptionTreeDataSource> source;

    void load(const std::string& tree) {
        window.reset(); // it holds the manager that is replaced below
        plugin.resource("PanesTree.plist", tree)
            .pane("Page", "BasicPane", "BasicPane", "<key>VelmoraTestKeys</key><array/>");
        manager = std::make_unique<PanePlugInMgr>(Bundle::open(plugin.path()));
        manager->loadPlugIns();
        auto column = std::make_shared<ui::TableColumn>("name");
        column->setWidth(180);
        outline.addTableColumn(column);
        outline.setOutlineTableColumn(column.get());
        source = std::make_unique<PrintOptionTreeDataSource>(*manager);
        source->setOutlineView(&outline, true);
    }
    std::vector<std::string> rows() {
        std::vector<std::string> titles;
        for (long row = 0; row < outline.numberOfRows(); ++row)
            titles.push_back(std::string(outline.levelForRow(row) * 2, ' ') +
                             source->display(outline.itemAtRow(row)).title);
        return titles;
    }
};

std::string group(const std::string& name, const std::string& children, bool differs = false) {
    return "<dict><key>itemName</key><string>" + name + "</string>" +
           (differs ? "<key>differedWithDefault</key><true/>" : "") + "<key>items</key><array>" +
           children + "</array></dict>";
}
std::string leaf(const std::string& alias, bool differs = false) {
    return "<dict><key>mainAlias</key><string>" + alias + "</string>" +
           (differs ? "<key>differedWithDefault</key><true/>" : "") + "</dict>";
}

TEST_F(SettingsTreeTest, OnlyTheBranchesLeadingToChangesAreOpen) {
    load("<plist><dict><key>items</key><array>" +
         group("CurrentSetting",
               group("Paper", leaf("Media") + group("Tray", leaf("Bypass", true))) +
                   group("Finishing", leaf("Staple")) + test::paneNode("Page") +
                   test::paneNode("Missing")) +
         group("Other", leaf("x")) + "</array></dict></plist>");
    source->refresh();
    EXPECT_THAT(rows(), ElementsAre("Paper", "  Media", "  Tray", "    Bypass", "Finishing", "Page",
                                    "Missing"))
        << "only the CurrentSetting subtree, with the way to the change open";
    auto missing = outline.itemAtRow(6);
    EXPECT_TRUE(source->display(missing).greyed);
    // What the screen is given for each row: the pane that is not loaded dimmed, the change
    // marked by its own icon, folders and settings by theirs.
    EXPECT_TRUE(outline.lookOfRow(6).dimmed);
    EXPECT_FALSE(outline.lookOfRow(5).dimmed);
    auto iconName = [&](long row) {
        auto icon = outline.lookOfRow(row).icon;
        return icon ? icon->name() : std::string("<none>");
    };
    EXPECT_EQ(iconName(0), "icon:fldr");
    EXPECT_EQ(iconName(1), "icon:unfs");
    EXPECT_EQ(iconName(3), "icon:note");
    EXPECT_FALSE(outline.clickRow(6)) << "a pane that is not loaded cannot be selected";
    EXPECT_TRUE(outline.clickRow(5));

    outline.expandItem(outline.itemAtRow(4));
    source->refresh();
    EXPECT_EQ(rows().size(), 7u) << "a refresh closes what was opened by hand";
}

TEST_F(SettingsTreeTest, ALongTitleWidensTheColumn) {
    std::string title(60, 'W');
    load("<plist><dict><key>items</key><array>" + group("Paper", leaf(title, true)) +
         "</array></dict></plist>");
    source->refresh();
    ASSERT_EQ(outline.numberOfRows(), 2);
    int reloads = outline.reloadCount();
    source->display(outline.itemAtRow(1));
    double needed = outline.indentationPerLevel() + outline.font().widthOfString(title);
    EXPECT_DOUBLE_EQ(outline.tableColumnWithIdentifier("name")->width(), needed + 40);
    EXPECT_DOUBLE_EQ(outline.tableColumnWithIdentifier("name")->maxWidth(), needed + 40);
    RunLoop::current().runPending();
    EXPECT_EQ(outline.reloadCount(), reloads + 1) << "redrawn on the next turn";
}

} // namespace
} // namespace velmora
