#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/FilePanel.h"
#include "platform/ui/OutlineView.h"
#include "platform/ui/TabView.h"
#include "platform/ui/Window.h"

#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

#include <map>

namespace velmora::ui {
namespace {

TEST(TabViewTest, OnlyTheSelectedTabsViewIsShown) {
    TabView tabs(Rect::make(0, 0, 400, 300));
    std::vector<std::shared_ptr<TabViewItem>> items;
    for (const char* id : {"paper", "finishing", "color"}) {
        auto item = std::make_shared<TabViewItem>(Value(id));
        item->setLabel(std::string(id) + " tab");
        tabs.addTabViewItem(item);
        items.push_back(item);
    }
    EXPECT_EQ(tabs.selectedTabViewItem(), items[0]); // the first tab is selected on its own
    ASSERT_EQ(tabs.subviews().size(), 1u);
    EXPECT_EQ(tabs.subviews()[0], items[0]->view());

    tabs.selectTabViewItemWithIdentifier(Value("color"));
    EXPECT_EQ(tabs.selectedTabViewItem(), items[2]);
    ASSERT_EQ(tabs.subviews().size(), 1u);
    EXPECT_EQ(tabs.subviews()[0], items[2]->view());
    EXPECT_EQ(items[0]->view()->superview(), nullptr);

    tabs.selectTabViewItemAtIndex(7); // no such tab: nothing changes
    EXPECT_EQ(tabs.selectedTabViewItem(), items[2]);
    tabs.removeTabViewItem(items[2].get());
    EXPECT_EQ(tabs.selectedTabViewItem(), items[0]);
    EXPECT_EQ(items[2]->tabView(), nullptr);
    EXPECT_EQ(tabs.indexOfTabViewItemWithIdentifier(Value("finishing")), 1);
}

// A tree given as parent → children, with item addresses taken from the names.
class TreeSource : public OutlineViewDataSource, public OutlineViewDelegate {
public:
    std::map<std::string, std::vector<std::string>> children;
    std::vector<std::string> names; // owns the strings the items point to
    bool allowSelection = true;

    OutlineItem item(const std::string& name) const {
        for (const auto& n : names)
            if (n == name)
                return &n;
        return nullptr;
    }
    const std::string& name(OutlineItem item) const {
        static const std::string root = "root";
        return item ? *static_cast<const std::string*>(item) : root;
    }
    long outlineViewNumberOfChildrenOfItem(OutlineView&, OutlineItem i) override {
        auto it = children.find(name(i));
        return it == children.end() ? 0 : static_cast<long>(it->second.size());
    }
    OutlineItem outlineViewChildOfItem(OutlineView&, long index, OutlineItem i) override {
        return item(children[name(i)][static_cast<std::size_t>(index)]);
    }
    bool outlineViewIsItemExpandable(OutlineView&, OutlineItem i) override {
        return children.count(name(i)) != 0;
    }
    Value outlineViewObjectValue(OutlineView&, TableColumn*, OutlineItem i) override {
        return Value(name(i));
    }
    bool outlineViewShouldSelectItem(OutlineView&, OutlineItem) override { return allowSelection; }
};

TEST(OutlineViewTest, ExpansionShowsChildrenOneLevelDeeper) {
    TreeSource source;
    source.names = {"Paper", "Tray", "Media", "Finishing", "Staple"};
    source.children = {
        {"root", {"Paper", "Finishing"}}, {"Paper", {"Tray", "Media"}}, {"Finishing", {"Staple"}}};
    OutlineView outline;
    auto column = std::make_shared<TableColumn>("name");
    outline.addTableColumn(column);
    outline.setOutlineDataSource(&source);
    outline.setOutlineDelegate(&source);
    outline.reloadData();
    EXPECT_EQ(outline.numberOfRows(), 2);

    outline.expandItem(source.item("Paper"));
    EXPECT_EQ(outline.numberOfRows(), 4);
    EXPECT_EQ(outline.objectValueAt(column.get(), 2), Value("Media"));
    EXPECT_EQ(outline.levelForItem(source.item("Media")), 1);
    EXPECT_TRUE(outline.isItemExpanded(source.item("Paper")));

    outline.expandItem(source.item("Tray")); // not expandable: nothing happens
    EXPECT_FALSE(outline.isItemExpanded(source.item("Tray")));

    EXPECT_TRUE(outline.clickRow(3)); // Finishing
    EXPECT_EQ(outline.selectedItem(), source.item("Finishing"));
    outline.collapseItem(source.item("Paper"));
    EXPECT_EQ(outline.numberOfRows(), 2);
    EXPECT_EQ(outline.selectedRow(), 1); // the selection follows its item
    outline.reloadData();
    EXPECT_FALSE(outline.isItemExpanded(source.item("Paper")));

    source.allowSelection = false;
    EXPECT_FALSE(outline.clickRow(0));
    EXPECT_EQ(outline.selectedItem(), source.item("Finishing"));
}

TEST(ModalRunTest, InteractionStopsTheRunWithACode) {
    test::ScriptedUi ui;
    Window window(Rect::make(0, 0, 200, 100), "Favorites");
    ui.interaction = [](Window& w) {
        EXPECT_EQ(w.title(), "Favorites");
        Application::shared().stopModalWithCode(42);
    };
    EXPECT_EQ(Application::shared().runModalForWindow(window), 42);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(Application::shared().modalWindow(), nullptr);
}

TEST(ModalRunTest, RunThatNobodyStopsIsAnErrorNotAHang) {
    test::ScriptedUi ui;
    Window window(Rect::make(0, 0, 200, 100), "Job Name");
    ui.interaction = [](Window&) {};
    EXPECT_THROW(Application::shared().runModalForWindow(window), ModalRunError);
    EXPECT_EQ(Application::shared().modalWindow(), nullptr);
}

TEST(ModalRunTest, DeferredActionsRunDuringTheModalRun) {
    test::ScriptedUi ui;
    RunLoop loop;
    Application::shared().setRunLoop(&loop);
    Window window(Rect::make(0, 0, 200, 100));
    std::vector<std::string> order;
    loop.perform([&] { order.push_back("queued before"); }, {RunLoop::kModalPanelMode});
    ui.interaction = [&](Window&) {
        order.push_back("interaction");
        // The interaction queues the stop; the run ends on the next pass.
        loop.perform(
            [&] {
                order.push_back("deferred stop");
                Application::shared().stopModal();
            },
            {RunLoop::kModalPanelMode});
    };
    EXPECT_EQ(Application::shared().runModalForWindow(window), kModalResponseStop);
    Application::shared().setRunLoop(nullptr);
    EXPECT_EQ(order, (std::vector<std::string>{"queued before", "interaction", "deferred stop"}));
}

TEST(ModalRunTest, NestedRunsStopInnermostFirst) {
    test::ScriptedUi ui;
    Window outer(Rect::make(0, 0, 200, 100), "outer"), inner(Rect::make(0, 0, 100, 50), "inner");
    long innerCode = 0;
    ui.interaction = [&](Window& w) {
        if (&w == &outer)
            innerCode = Application::shared().runModalForWindow(inner);
        Application::shared().stopModalWithCode(&w == &outer ? 1 : 2);
    };
    EXPECT_EQ(Application::shared().runModalForWindow(outer), 1);
    EXPECT_EQ(innerCode, 2);
}

TEST(AlertTest, PresenterAnswersModalAlertsAndSheets) {
    test::ScriptedUi ui;
    ui.answers = {1};
    Alert alert;
    alert.setMessageText("Conflict");
    alert.setInformativeText("Staple cannot be used with Booklet.");
    alert.addButtonWithTitle("Yes");
    alert.addButtonWithTitle("No");
    EXPECT_EQ(alert.runModal(), kAlertSecondButtonReturn);

    Window window(Rect::make(0, 0, 200, 100));
    Alert sheet;
    sheet.setMessageText("Enter the name.");
    long response = 0;
    sheet.beginSheetModalForWindow(&window, [&](long r) { response = r; });
    EXPECT_EQ(response, kAlertFirstButtonReturn);

    ASSERT_EQ(ui.alerts.size(), 2u);
    EXPECT_EQ(ui.alerts[0].buttons, (std::vector<std::string>{"Yes", "No"}));
    EXPECT_FALSE(ui.alerts[0].asSheet);
    EXPECT_EQ(ui.alerts[1].buttons, (std::vector<std::string>{"OK"})); // default button
    EXPECT_TRUE(ui.alerts[1].asSheet);
}

TEST(SheetTest, EndingASheetReportsItsCodeAndDetachesIt) {
    test::ScriptedUi ui;
    Window parent(Rect::make(0, 0, 400, 300)), sheet(Rect::make(0, 0, 200, 100), "Save");
    long ended = 0;
    Application::shared().beginSheet(sheet, parent, [&](long code) { ended = code; });
    EXPECT_EQ(parent.attachedSheet(), &sheet);
    EXPECT_EQ(ui.interactions, 1);
    Application::shared().endSheet(sheet, 7);
    EXPECT_EQ(ended, 7);
    EXPECT_EQ(parent.attachedSheet(), nullptr);
}

TEST(FilePanelTest, PresenterChoosesTheFile) {
    test::ScriptedUi ui;
    ui.panelAnswer = [](SavePanel& panel) {
        panel.setUrl(panel.directory() + "/" + panel.nameFieldStringValue());
        return kFileHandlingPanelOKButton;
    };
    SavePanel save;
    save.setDirectory("/tmp/export");
    save.setNameFieldStringValue("Fine Art.pfj");
    EXPECT_EQ(save.runModal(), kFileHandlingPanelOKButton);
    EXPECT_EQ(save.url(), "/tmp/export/Fine Art.pfj");

    ui.panelAnswer = nullptr;
    OpenPanel open;
    EXPECT_EQ(open.runModal(), kFileHandlingPanelCancelButton);
    EXPECT_TRUE(open.urls().empty());
}

TEST(WindowTest, AutosaveNameRemembersTheFrame) {
    {
        Window first(Rect::make(10, 10, 300, 200));
        first.setFrameAutosaveName("DetailedSettings-test");
        first.setFrame(Rect::make(50, 60, 640, 480));
    }
    Window second(Rect::make(0, 0, 100, 100));
    second.setFrameAutosaveName("DetailedSettings-test");
    EXPECT_EQ(second.frame(), Rect::make(50, 60, 640, 480));
}

} // namespace
} // namespace velmora::ui
