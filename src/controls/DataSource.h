#pragma once

#include "controls/TabViewItem.h"
#include "platform/ui/OutlineView.h"

#include <map>
#include <memory>

namespace velmora {

namespace ui {
class TabView;
}

// Feeds the navigation outline from the nested tab views of a pane and checks that the shown
// pane has no empty required field.
class DataSource : public ui::OutlineViewDataSource, public ui::OutlineViewDelegate {
public:
    long outlineViewNumberOfChildrenOfItem(ui::OutlineView& outline, ui::OutlineItem item) override;
    ui::OutlineItem outlineViewChildOfItem(ui::OutlineView& outline, long index,
                                           ui::OutlineItem item) override;
    bool outlineViewIsItemExpandable(ui::OutlineView& outline, ui::OutlineItem item) override;
    Value outlineViewObjectValue(ui::OutlineView& outline, ui::TableColumn* column,
                                 ui::OutlineItem item) override;
    bool outlineViewShouldSelectItem(ui::OutlineView& outline, ui::OutlineItem item) override;
    bool outlineViewShouldEditTableColumn(ui::OutlineView&, ui::TableColumn*,
                                          ui::OutlineItem) override {
        return false;
    }
    void outlineViewDidClickTableColumn(ui::OutlineView&, ui::TableColumn*) override {}
    bool selectionShouldChangeInOutlineView(ui::OutlineView&) override { return true; }

    // False when the selected tab's view (or a tab view nested in it) holds an option control
    // with an enabled, empty text field.
    static bool checkNoEmptyField(const ui::TabView& tabView);

    // The row of the page the tab views show: the row last chosen while its page is still the
    // one shown, else the row of the shown top-level tab; -1 before the tree is built.
    long rowOfShownPage(ui::OutlineView& outline);

private:
    ui::TabView* _rootTabView = nullptr;
    ui::OutlineItem _chosen = nullptr;
    bool _askedOnce = false;
    std::map<long, TabViewItem::Node> _roots;

    static ui::TabView* findRootTabView(const ui::OutlineView& outline);
    static TabViewItem* node(ui::OutlineItem item) {
        return const_cast<TabViewItem*>(static_cast<const TabViewItem*>(item));
    }
};

} // namespace velmora
