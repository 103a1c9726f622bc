#include "platform/ui/TabView.h"

#include <algorithm>

namespace velmora::ui {

void TabView::addTabViewItem(std::shared_ptr<TabViewItem> item) {
    insertTabViewItem(std::move(item), numberOfTabViewItems());
}

void TabView::insertTabViewItem(std::shared_ptr<TabViewItem> item, int index) {
    if (!item)
        return;
    item->_tabView = this;
    index = std::clamp(index, 0, numberOfTabViewItems());
    _items.insert(_items.begin() + index, item);
    if (!_selected)
        show(item);
}

void TabView::removeTabViewItem(const TabViewItem* item) {
    int index = indexOfTabViewItem(item);
    if (index < 0)
        return;
    auto removed = _items[static_cast<std::size_t>(index)];
    _items.erase(_items.begin() + index);
    removed->_tabView = nullptr;
    if (removed == _selected) {
        if (removed->view())
            removed->view()->removeFromSuperview();
        _selected.reset();
        if (!_items.empty())
            show(_items.front());
    }
}

std::shared_ptr<TabViewItem> TabView::tabViewItemAtIndex(int index) const {
    return index >= 0 && index < numberOfTabViewItems() ? _items[static_cast<std::size_t>(index)]
                                                        : nullptr;
}

int TabView::indexOfTabViewItem(const TabViewItem* item) const {
    for (int i = 0; i < numberOfTabViewItems(); ++i)
        if (_items[static_cast<std::size_t>(i)].get() == item)
            return i;
    return -1;
}

int TabView::indexOfTabViewItemWithIdentifier(const Value& identifier) const {
    for (int i = 0; i < numberOfTabViewItems(); ++i)
        if (_items[static_cast<std::size_t>(i)]->identifier() == identifier)
            return i;
    return -1;
}

void TabView::show(std::shared_ptr<TabViewItem> item) {
    if (_selected == item)
        return;
    if (_selected && _selected->view())
        _selected->view()->removeFromSuperview();
    _selected = std::move(item);
    if (_selected && _selected->view()) {
        placeSelectedPage();
        addSubview(_selected->view());
    }
    setNeedsDisplay();
}

double TabView::headerHeight() const {
    return _type == TabViewType::TopTabsBezelBorder ? kTabHeaderHeight : 0;
}

// The page shown spans the tab view's width and keeps its own height, its top right under the
// row of tabs (y grows upwards: stretched to the tab view's height, a short page would show its
// content at the foot, under an empty band).
void TabView::placeSelectedPage() {
    View& page = *_selected->view();
    double height = page.frame().height();
    page.setFrame(
        Rect::make(0, bounds().height() - headerHeight() - height, bounds().width(), height));
}

void TabView::setTabViewType(TabViewType type) {
    _type = type;
    if (_selected && _selected->view())
        placeSelectedPage();
}

void TabView::selectTabViewItem(const TabViewItem* item) {
    if (auto found = tabViewItemAtIndex(indexOfTabViewItem(item)))
        show(found);
}

void TabView::selectTabViewItemAtIndex(int index) {
    if (auto found = tabViewItemAtIndex(index))
        show(found);
}

void TabView::selectTabViewItemWithIdentifier(const Value& identifier) {
    selectTabViewItemAtIndex(indexOfTabViewItemWithIdentifier(identifier));
}

} // namespace velmora::ui
