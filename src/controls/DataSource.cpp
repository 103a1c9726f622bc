#include "controls/DataSource.h"

#include "controls/ZEMAUI.h"
#include "platform/ui/TabView.h"

namespace velmora {

ui::TabView* DataSource::findRootTabView(const ui::OutlineView& outline) {
    const ui::View* third = outline.superview();
    for (int i = 0; i < 2 && third; ++i)
        third = third->superview();
    if (!third)
        return nullptr;
    ui::TabView* found = nullptr;
    for (const auto& sub : third->subviews())
        if (sub->className() == "NSTabView")
            found = static_cast<ui::TabView*>(sub.get());
    return found;
}

long DataSource::outlineViewNumberOfChildrenOfItem(ui::OutlineView& outline, ui::OutlineItem item) {
    if (item)
        return std::max(0L, node(item)->numberOfChildren());
    if (!_askedOnce) {
        _askedOnce = true; // the outline asks before its window is assembled
        return 0;
    }
    if (!_rootTabView)
        _rootTabView = findRootTabView(outline);
    return _rootTabView ? _rootTabView->numberOfTabViewItems() : 0;
}

ui::OutlineItem DataSource::outlineViewChildOfItem(ui::OutlineView&, long index,
                                                   ui::OutlineItem item) {
    if (item)
        return node(item)->childAtIndex(static_cast<std::size_t>(index)).get();
    auto& root = _roots[index];
    if (!root && _rootTabView)
        if (auto tab = _rootTabView->tabViewItemAtIndex(static_cast<int>(index)))
            root = TabViewItem::setTabViewItem(*tab, _rootTabView);
    return root.get();
}

bool DataSource::outlineViewIsItemExpandable(ui::OutlineView&, ui::OutlineItem item) {
    return item && node(item)->numberOfChildren() >= 0;
}

Value DataSource::outlineViewObjectValue(ui::OutlineView&, ui::TableColumn*, ui::OutlineItem item) {
    if (!item)
        return Value("item Unknown");
    TabViewItem* n = node(item);
    return Value(n->subTitleName().value_or(n->titleName()));
}

bool DataSource::outlineViewShouldSelectItem(ui::OutlineView&, ui::OutlineItem item) {
    _chosen = item;
    if (item) {
        node(item)->selectme();
        if (auto main = node(item)->child_main())
            main->selectme();
    }
    return true;
}

long DataSource::rowOfShownPage(ui::OutlineView& outline) {
    if (!_rootTabView)
        return -1;
    int shown = _rootTabView->indexOfTabViewItem(_rootTabView->selectedTabViewItem().get());
    if (shown < 0)
        return -1;
    ui::OutlineItem root = outlineViewChildOfItem(outline, shown, nullptr);
    if (_chosen) {
        const TabViewItem* top = node(_chosen);
        while (top->parent())
            top = top->parent();
        // The tabs view may have shown another page since.
        if (top == root)
            if (long row = outline.rowForItem(_chosen); row >= 0)
                return row;
    }
    return outline.rowForItem(root);
}

bool DataSource::checkNoEmptyField(const ui::TabView& tabView) {
    auto selected = tabView.selectedTabViewItem();
    if (!selected || !selected->view())
        return true;
    for (const auto& sub : selected->view()->subviews()) {
        if (auto* control = dynamic_cast<ZEMAUI*>(sub.get())) {
            if (!control->isEmptycheck())
                return false;
        } else if (auto* nested = dynamic_cast<ui::TabView*>(sub.get())) {
            if (!checkNoEmptyField(*nested))
                return false;
        }
    }
    return true;
}

} // namespace velmora
