#include "controls/TabViewItem.h"

#include "platform/ui/TabView.h"

namespace velmora {
namespace {
constexpr const char* kMainChild = "parent_main";
constexpr const char* kFlattened = "TabNotSupport";
} // namespace

TabViewItem::Node TabViewItem::setTabViewItem(const ui::TabViewItem& tab, ui::TabView* view) {
    auto node = std::make_shared<TabViewItem>(tab, nullptr);
    node->_tabView = view;
    return node;
}

TabViewItem::TabViewItem(const ui::TabViewItem& tab, TabViewItem* parent)
    : _titleName(tab.label()), _tabView(tab.tabView()), _parent(parent) {}

TabViewItem::TabViewItem(const TabViewItem& other)
    : _titleName(other._titleName), _tabView(other._tabView), _index(other._index),
      _parent(other._parent), _childMain(other._childMain) {}

ui::TabView* TabViewItem::nestedTabView(const ui::TabViewItem& tab) {
    ui::TabView* found = nullptr;
    if (auto view = tab.view())
        for (const auto& sub : view->subviews())
            if (sub->className() == "NSTabView") {
                auto* tabs = static_cast<ui::TabView*>(sub.get());
                if (tabs->focusRingType() != ui::FocusRingType::None)
                    found = tabs; // the last one counts
            }
    return found;
}

ui::TabViewItem* TabViewItem::ownTab() const {
    if (!_tabView)
        return nullptr;
    for (const auto& tab : _tabView->tabViewItems())
        if (tab->label() == _titleName)
            return tab.get();
    return nullptr;
}

void TabViewItem::tabBackup() {
    _backedUpTabs.clear();
    _backedUpSelections.clear();
    for (TabViewItem* node = this; node; node = node->_parent)
        if (node->_tabView) {
            _backedUpTabs.push_back(node->_tabView);
            _backedUpSelections.push_back(node->_tabView->selectedTabViewItem());
        }
}

void TabViewItem::tabRestore() {
    for (std::size_t i = 0; i < _backedUpTabs.size(); ++i)
        _backedUpTabs[i]->selectTabViewItem(_backedUpSelections[i].get());
}

void TabViewItem::selectme() {
    if (_parent)
        _parent->selectme();
    ui::TabViewItem* tab = ownTab();
    if (!tab)
        return;
    _tabView->selectTabViewItem(tab);
    _tabView->setNeedsDisplay();
    if (_index > 0)
        if (ui::TabView* nested = nestedTabView(*tab))
            nested->selectTabViewItemAtIndex(static_cast<int>(_index - 1));
}

namespace {

// A tab the tree shows: not the main child (selected with its parent) and not hidden.
bool isVisibleTab(const ui::TabViewItem& tab) {
    return tab.identifier().stringValue() != kMainChild && !(tab.view() && tab.view()->isHidden());
}

} // namespace

// The visible tabs of a flattened tab become leaves of its parent; the index is the tab's
// position in its tab view, which selecting the leaf selects. The flattened tab view shows no
// row of tabs of its own: the tree stands for it.
void TabViewItem::appendFlattenedLeaves(const TabViewItem& flattened, const ui::TabViewItem& tab,
                                        std::vector<Node>& list) {
    ui::TabView* inner = nestedTabView(tab);
    if (!inner)
        return;
    inner->setTabViewType(ui::TabViewType::NoTabsNoBorder);
    std::int64_t position = 0;
    for (const auto& innerTab : inner->tabViewItems()) {
        ++position;
        if (!isVisibleTab(*innerTab))
            continue;
        auto leaf = std::make_shared<TabViewItem>(flattened);
        leaf->_index = position;
        leaf->_subTitleName = innerTab->label();
        leaf->_leaf = true;
        list.push_back(leaf);
    }
}

std::optional<std::vector<TabViewItem::Node>> TabViewItem::buildChildren() {
    if (!_tabView)
        return std::nullopt;
    auto remembered = _tabView->selectedTabViewItem();
    tabBackup();
    selectme();
    auto selected = _tabView->selectedTabViewItem();
    ui::TabView* nested = selected ? nestedTabView(*selected) : nullptr;
    std::optional<std::vector<Node>> result;
    if (nested) {
        nested->setTabViewType(ui::TabViewType::NoTabsNoBorder);
        result.emplace();
        for (const auto& tab : nested->tabViewItems()) {
            auto node = std::make_shared<TabViewItem>(*tab, this);
            node->_tabView = nested;
            std::string identifier = tab->identifier().stringValue();
            if (identifier == kMainChild) {
                node->_hidden = true;
                _childMain = node;
            } else if (identifier == kFlattened) {
                appendFlattenedLeaves(*node, *tab, *result);
                continue;
            }
            result->push_back(node);
        }
    }
    tabRestore();
    _tabView->selectTabViewItem(remembered.get());
    return result;
}

const std::optional<std::vector<TabViewItem::Node>>& TabViewItem::children() {
    if (!_childrenBuilt && !_leaf) {
        _children = buildChildren();
        _childrenBuilt = true;
    }
    return _children;
}

long TabViewItem::numberOfChildren() {
    if (_leaf)
        return -1;
    const auto& list = children();
    if (!list)
        return -1;
    long count = 0;
    for (const auto& child : *list)
        count += child->isHidden() ? 0 : 1;
    return count;
}

TabViewItem::Node TabViewItem::childAtIndex(std::size_t index) {
    const auto& list = children();
    if (!list || index >= list->size())
        return nullptr;
    for (std::size_t i = 0; i <= index; ++i)
        if ((*list)[i]->isHidden())
            return index + 1 < list->size() ? (*list)[index + 1]
                                            : nullptr; // one hidden child skipped
    return (*list)[index];
}

} // namespace velmora
