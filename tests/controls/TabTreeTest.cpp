#include "controls/DataSource.h"
#include "controls/LayoutUtil.h"
#include "controls/TabViewItem.h"
#include "controls/ZEMATextField.h"
#include "controls/ZEMAUI.h"
#include "platform/ui/OutlineView.h"
#include "platform/ui/TabView.h"

#include "support/Descriptions.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

std::shared_ptr<ui::TabViewItem> tab(const std::string& label, const std::string& identifier = "") {
    auto item = std::make_shared<ui::TabViewItem>(Value(identifier.empty() ? label : identifier));
    item->setLabel(label);
    return item;
}

// Adds a tab view with the given tabs into a tab's view and returns it.
std::shared_ptr<ui::TabView> nest(const std::shared_ptr<ui::TabViewItem>& into,
                                  std::vector<std::shared_ptr<ui::TabViewItem>> tabs) {
    auto tabs_ = std::make_shared<ui::TabView>(ui::Rect::make(0, 0, 300, 200));
    for (auto& t : tabs)
        tabs_->addTabViewItem(t);
    into->view()->addSubview(tabs_);
    return tabs_;
}

// Paper | Finishing{ parent_main, Staple, Punch, TabNotSupport{Fold, Crease, Trim} } | Color
class TabTreeTest : public ::testing::Test {
protected:
    std::shared_ptr<ui::TabView> root =
        std::make_shared<ui::TabView>(ui::Rect::make(0, 0, 400, 300));
    std::shared_ptr<ui::TabViewItem> paper = tab("Paper"), finishing = tab("Finishing"),
                                     color = tab("Color");
    std::shared_ptr<ui::TabViewItem> mainTab = tab("Finishing main", "parent_main"),
                                     staple = tab("Staple"), punch = tab("Punch"),
                                     more = tab("More", "TabNotSupport");
    std::shared_ptr<ui::TabView> finishingTabs, moreTabs;

    void SetUp() override {
        for (auto& t : {paper, finishing, color})
            root->addTabViewItem(t);
        finishingTabs = nest(finishing, {mainTab, staple, punch, more});
        moreTabs = nest(more, {tab("Fold"), tab("Crease"), tab("Trim")});
    }
};

TEST_F(TabTreeTest, ChildrenComeFromTheNestedTabView) {
    auto node = TabViewItem::setTabViewItem(*finishing, root.get());
    EXPECT_EQ(node->titleName(), "Finishing");
    root->selectTabViewItem(color.get());
    ASSERT_EQ(node->numberOfChildren(), 5);        // Staple, Punch and three flattened leaves
    EXPECT_EQ(root->selectedTabViewItem(), color); // exploring puts the selection back
    EXPECT_EQ(finishingTabs->tabViewType(), ui::TabViewType::NoTabsNoBorder);
    ASSERT_NE(node->child_main(), nullptr);
    EXPECT_EQ(node->child_main()->titleName(), "Finishing main");

    const auto& children = *node->children();
    ASSERT_EQ(children.size(), 6u); // the hidden main child is kept but not counted
    EXPECT_TRUE(children[0]->isHidden());
    EXPECT_EQ(node->childAtIndex(0)->titleName(), "Staple"); // the hidden child is skipped
    EXPECT_EQ(node->childAtIndex(1)->titleName(), "Punch");
    auto fold = node->childAtIndex(2);
    EXPECT_TRUE(fold->isLeafNode());
    EXPECT_EQ(fold->subTitleName(), "Fold");
    EXPECT_EQ(node->childAtIndex(4)->subTitleName(), "Trim");
    EXPECT_EQ(node->childAtIndex(4)->index(), 3);
    EXPECT_EQ(fold->numberOfChildren(), -1);
}

TEST_F(TabTreeTest, FlattenedTabsListOnlyTheirVisibleTabsAndShowNoTabRow) {
    auto hiddenTab = tab("Hidden");
    hiddenTab->view()->setHidden(true);
    moreTabs->addTabViewItem(hiddenTab);
    moreTabs->addTabViewItem(tab("Main of more", "parent_main"));
    moreTabs->addTabViewItem(tab("Perforate"));
    auto node = TabViewItem::setTabViewItem(*finishing, root.get());
    ASSERT_EQ(node->numberOfChildren(), 6); // Staple, Punch, Fold, Crease, Trim, Perforate
    auto perforate = node->childAtIndex(5);
    EXPECT_EQ(perforate->subTitleName(), "Perforate");
    EXPECT_EQ(perforate->index(), 6); // its place in the tab view, which selecting it uses
    EXPECT_EQ(moreTabs->tabViewType(), ui::TabViewType::NoTabsNoBorder);
    perforate->selectme();
    EXPECT_EQ(moreTabs->selectedTabViewItem()->label(), "Perforate");

    // Children set from outside are kept.
    node->setChildren(std::vector<TabViewItem::Node>{perforate});
    EXPECT_EQ(node->numberOfChildren(), 1);
    EXPECT_EQ(node->childAtIndex(0), perforate);
}

TEST_F(TabTreeTest, NodeWithoutNestedTabViewHasNoChildren) {
    auto node = TabViewItem::setTabViewItem(*paper, root.get());
    EXPECT_EQ(node->numberOfChildren(), -1);
    EXPECT_FALSE(node->children().has_value());
}

TEST_F(TabTreeTest, SelectingALeafSelectsItsWholeChain) {
    auto node = TabViewItem::setTabViewItem(*finishing, root.get());
    auto crease = node->childAtIndex(3);
    root->selectTabViewItem(paper.get());
    crease->selectme();
    EXPECT_EQ(root->selectedTabViewItem(), finishing);
    EXPECT_EQ(finishingTabs->selectedTabViewItem(), more);
    EXPECT_EQ(moreTabs->selectedTabViewItem()->label(), "Crease");
}

TEST_F(TabTreeTest, SelectmePicksTheFirstTabWithTheLabel) {
    auto twin = tab("Paper", "second-paper");
    root->addTabViewItem(twin);
    auto node = TabViewItem::setTabViewItem(*twin, root.get());
    root->selectTabViewItem(color.get());
    node->selectme();
    EXPECT_EQ(root->selectedTabViewItem(), paper);
}

TEST_F(TabTreeTest, OutlineListsTheTreeAndSelectsTabs) {
    // outline → clip view → scroll view → pane view, which holds the root tab view
    auto pane = std::make_shared<ui::View>(ui::Rect::make(0, 0, 600, 400));
    auto scroll = std::make_shared<ui::View>(), clip = std::make_shared<ui::View>();
    auto outline = std::make_shared<ui::OutlineView>();
    pane->addSubview(root);
    pane->addSubview(scroll);
    scroll->addSubview(clip);
    clip->addSubview(outline);
    DataSource source;
    outline->setOutlineDataSource(&source);
    outline->setOutlineDelegate(&source);
    outline->reloadData();
    EXPECT_EQ(outline->numberOfRows(), 0); // the first question comes before the window is built
    outline->reloadData();
    ASSERT_EQ(outline->numberOfRows(), 3);
    EXPECT_EQ(outline->objectValueAt(nullptr, 1), Value("Finishing"));
    EXPECT_FALSE(outline->isExpandable(outline->itemAtRow(0)));
    outline->expandItem(outline->itemAtRow(1));
    EXPECT_EQ(outline->numberOfRows(), 8);
    EXPECT_EQ(outline->objectValueAt(nullptr, 4), Value("Fold"));

    root->selectTabViewItem(paper.get());
    EXPECT_TRUE(outline->clickRow(3)); // Punch
    EXPECT_EQ(root->selectedTabViewItem(), finishing);
    EXPECT_EQ(finishingTabs->selectedTabViewItem(), punch);
    EXPECT_TRUE(outline->clickRow(1)); // Finishing, then its main child
    EXPECT_EQ(finishingTabs->selectedTabViewItem(), mainTab);
    EXPECT_EQ(source.outlineViewObjectValue(*outline, nullptr, nullptr), Value("item Unknown"));
    EXPECT_FALSE(source.outlineViewShouldEditTableColumn(*outline, nullptr, nullptr));
}

TEST(DataSourceTest, RequiredFieldsAreCheckedThroughNestedTabs) {
    auto outer = std::make_shared<ui::TabView>();
    auto page = tab("Job");
    outer->addTabViewItem(page);
    auto inner = nest(page, {tab("Account")});
    auto field = test::buildControl("<key>mainKeyword</key><string>AccountName</string>"
                                    "<key>control_type</key><string>TextField_text</string>");
    inner->tabViewItemAtIndex(0)->view()->addSubview(field);
    EXPECT_FALSE(DataSource::checkNoEmptyField(*outer));
    field->textField()->setStringValue("Studio");
    EXPECT_TRUE(DataSource::checkNoEmptyField(*outer));
    field->textField()->setStringValue("");
    field->setEnabled(false);
    EXPECT_TRUE(DataSource::checkNoEmptyField(*outer)); // a disabled field may stay empty
}

TEST(LayoutUtilTest, GeometryHelpers) {
    ui::View container(ui::Rect::make(0, 0, 400, 300));
    auto view = [&](double y, double h) {
        auto v = std::make_shared<ui::View>(ui::Rect::make(10, y, 100, h));
        container.addSubview(v);
        return v;
    };
    auto top = view(250, 30), middle = view(150, 40), hidden = view(200, 20), bottom = view(20, 30);
    hidden->setHidden(true);

    EXPECT_EQ(LayoutUtil::visibleSubViews(container).size(), 3u);
    EXPECT_EQ(LayoutUtil::viewReversePosi(container, *middle), (ui::Point{10, 300 - 190}));
    EXPECT_EQ(LayoutUtil::visibleNearNorthView(container, *middle), top); // hidden one skipped
    EXPECT_EQ(LayoutUtil::visibleNearNorthView(container, *top), nullptr);
    EXPECT_EQ(LayoutUtil::visibleRangeViews(container, *middle, *bottom),
              (LayoutUtil::Views{middle, bottom}));
    EXPECT_EQ(LayoutUtil::visibleSouthViews(container, *middle),
              (LayoutUtil::Views{middle, bottom}));

    LayoutUtil::closeViewsToView({middle, bottom}, *top, 8); // highest top 190 moves to 242
    EXPECT_DOUBLE_EQ(middle->frame().top(), 242);
    EXPECT_DOUBLE_EQ(bottom->frame().minY(), 72);
    LayoutUtil::closeViewsToView({}, *top, 8); // nothing to move: every frame stays
    EXPECT_DOUBLE_EQ(middle->frame().top(), 242);
    EXPECT_DOUBLE_EQ(top->frame().minY(), 250);
    LayoutUtil::moveViews({top}, 5, -10);
    EXPECT_EQ(top->frame().origin, (ui::Point{15, 240}));
}

} // namespace
} // namespace velmora
