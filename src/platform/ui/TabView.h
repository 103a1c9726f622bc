#pragma once

#include "platform/foundation/Value.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace velmora::ui {

class TabView;

// One tab: identifier, label and the view shown while the tab is selected.
class TabViewItem {
public:
    explicit TabViewItem(Value identifier = {}) : _identifier(std::move(identifier)) {}

    const Value& identifier() const { return _identifier; }
    void setIdentifier(Value identifier) { _identifier = std::move(identifier); }
    const std::string& label() const { return _label; }
    void setLabel(std::string label) { _label = std::move(label); }
    std::shared_ptr<View> view() const { return _view; }
    void setView(std::shared_ptr<View> view) { _view = std::move(view); }
    TabView* tabView() const { return _tabView; }

private:
    friend class TabView;
    Value _identifier;
    std::string _label;
    std::shared_ptr<View> _view = std::make_shared<View>();
    TabView* _tabView = nullptr;
};

enum class TabViewType { TopTabsBezelBorder, NoTabsBezelBorder, NoTabsLineBorder, NoTabsNoBorder };
enum class FocusRingType { Default, None, Exterior };

// Tabs of which one is selected; only the selected tab's view is a subview.
class TabView : public View {
public:
    explicit TabView(Rect frame = {}) : View(frame) {}
    std::string className() const override { return "NSTabView"; }

    void addTabViewItem(std::shared_ptr<TabViewItem> item);
    void insertTabViewItem(std::shared_ptr<TabViewItem> item, int index);
    void removeTabViewItem(const TabViewItem* item);
    int numberOfTabViewItems() const { return static_cast<int>(_items.size()); }
    const std::vector<std::shared_ptr<TabViewItem>>& tabViewItems() const { return _items; }
    std::shared_ptr<TabViewItem> tabViewItemAtIndex(int index) const;
    int indexOfTabViewItem(const TabViewItem* item) const;
    int indexOfTabViewItemWithIdentifier(const Value& identifier) const;

    void selectTabViewItem(const TabViewItem* item);
    void selectTabViewItemAtIndex(int index);
    void selectTabViewItemWithIdentifier(const Value& identifier);
    std::shared_ptr<TabViewItem> selectedTabViewItem() const { return _selected; }

    TabViewType tabViewType() const { return _type; }
    void setTabViewType(TabViewType type);
    // The room a row of tabs takes at the top; the page shown starts under it.
    static constexpr double kTabHeaderHeight = 34;
    double headerHeight() const;
    FocusRingType focusRingType() const { return _focusRing; }
    void setFocusRingType(FocusRingType type) { _focusRing = type; }

private:
    std::vector<std::shared_ptr<TabViewItem>> _items;
    std::shared_ptr<TabViewItem> _selected;
    TabViewType _type = TabViewType::TopTabsBezelBorder;

    void placeSelectedPage();
    FocusRingType _focusRing = FocusRingType::Default;

    void show(std::shared_ptr<TabViewItem> item);
};

} // namespace velmora::ui
