#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

namespace ui {
class TabView;
class TabViewItem;
} // namespace ui

// One node of the navigation tree that stands in for nested tab views: a tab, the tabs nested
// in it as children (built on first request), and the selection state saved while the tree is
// explored.
class TabViewItem {
public:
    using Node = std::shared_ptr<TabViewItem>;

    // The root node for a tab of a tab view.
    static Node setTabViewItem(const ui::TabViewItem& tab, ui::TabView* view);
    TabViewItem(const ui::TabViewItem& tab, TabViewItem* parent);
    TabViewItem(const TabViewItem& other);
    TabViewItem& operator=(const TabViewItem&) = delete;

    const std::string& titleName() const { return _titleName; }
    void setTitleName(std::string title) { _titleName = std::move(title); }
    const std::optional<std::string>& subTitleName() const { return _subTitleName; }
    void setSubTitleName(std::optional<std::string> subtitle) {
        _subTitleName = std::move(subtitle);
    }
    TabViewItem* parent() const { return _parent; }
    void setParent(TabViewItem* parent) { _parent = parent; }
    Node child_main() const { return _childMain; }
    void setChild_main(Node child) { _childMain = std::move(child); }
    ui::TabView* tabview() const { return _tabView; }
    void setTabView(ui::TabView* view) { _tabView = view; }
    std::int64_t index() const { return _index; }
    void setIndex(std::int64_t index) { _index = index; }
    bool isHidden() const { return _hidden; }
    void setHidden(bool hidden) { _hidden = hidden; }
    bool isLeafNode() const { return _leaf; }
    void setLeafNode(bool leaf) { _leaf = leaf; }
    // Children set from outside stand: they are not built again on the next request.
    void setChildren(std::optional<std::vector<Node>> children) {
        _children = std::move(children);
        _childrenBuilt = true;
    }
    bool needsResolving() const { return _needsResolving; }
    void changedDeviceList() { _needsResolving = true; }

    // The listed children; null ("none") for a tab without a nested tab view.
    const std::optional<std::vector<Node>>& children();
    // -1 stands for "none": a leaf, or a node without nested tab view.
    long numberOfChildren();
    Node childAtIndex(std::size_t index);
    // Selects this node's tab (its parents' first), and for a flattened leaf the child tab it
    // stands for.
    void selectme();
    void tabBackup();
    void tabRestore();

private:
    std::string _titleName;
    std::optional<std::string> _subTitleName;
    ui::TabView* _tabView = nullptr;
    std::int64_t _index = 0;
    bool _hidden = false;
    bool _leaf = false;
    TabViewItem* _parent = nullptr;
    Node _childMain;
    std::optional<std::vector<Node>> _children;
    bool _childrenBuilt = false;
    std::vector<ui::TabView*> _backedUpTabs;
    std::vector<std::shared_ptr<ui::TabViewItem>> _backedUpSelections;
    bool _needsResolving = true;

    std::optional<std::vector<Node>> buildChildren();
    void appendFlattenedLeaves(const TabViewItem& flattened, const ui::TabViewItem& tab,
                               std::vector<Node>& list);
    static ui::TabView* nestedTabView(const ui::TabViewItem& tab);
    ui::TabViewItem* ownTab() const;
};

} // namespace velmora
