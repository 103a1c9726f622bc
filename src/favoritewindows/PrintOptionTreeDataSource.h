#pragma once

#include "platform/foundation/Value.h"
#include "platform/ui/OutlineView.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora {

class PanePlugInMgr;
namespace ui {
class Image;
}

// Feeds the "Setting list" outline of the favorites window: the tree of setting panes from the
// panes-tree resource, one title and icon per node, with the branches that lead to settings
// marked as differing from the default opened.
class PrintOptionTreeDataSource : public ui::OutlineViewDataSource, public ui::OutlineViewDelegate {
public:
    // What a row shows.
    struct NodeDisplay {
        std::string title;
        std::shared_ptr<ui::Image> icon;
        bool greyed = false;
    };

    explicit PrintOptionTreeDataSource(PanePlugInMgr& manager);
    ~PrintOptionTreeDataSource() override;

    void setOutlineView(ui::OutlineView* outlineView, bool expandDependency);
    void updatePrintOption(const std::optional<Dictionary>& printOption, bool finish);
    void updateProfilePath(const std::optional<std::string>& profilePath, bool finish);
    // Shows what settings hold: under each pane's node a row per option the pane shows ("Title:
    // Choice"), marked, with its pane, where it differs from the default settings. Both in the
    // panel's own form. The view is reloaded; a refresh opens the marked branches.
    void showSettings(const Dictionary& settings, const Dictionary& defaults);
    void refresh();

    const Dictionary& treeDictionary() const { return _treeDictionary; }
    const std::optional<Dictionary>& currentPrintOption() const { return _currentPrintOption; }
    const std::optional<Dictionary>& profileDictionary() const { return _profileDictionary; }
    NodeDisplay display(ui::OutlineItem item);

    long outlineViewNumberOfChildrenOfItem(ui::OutlineView&, ui::OutlineItem item) override;
    ui::OutlineItem outlineViewChildOfItem(ui::OutlineView&, long index,
                                           ui::OutlineItem item) override;
    bool outlineViewIsItemExpandable(ui::OutlineView&, ui::OutlineItem item) override;
    Value outlineViewObjectValue(ui::OutlineView&, ui::TableColumn* column,
                                 ui::OutlineItem item) override;
    bool outlineViewShouldSelectItem(ui::OutlineView&, ui::OutlineItem item) override;
    ui::RowLook outlineViewLookOfItem(ui::OutlineView&, ui::OutlineItem item) override;

    static const Dictionary* node(ui::OutlineItem item) {
        return static_cast<const Dictionary*>(item);
    }

private:
    PanePlugInMgr& _manager;
    ui::OutlineView* _outlineView = nullptr;
    Dictionary _treeDictionary;
    std::map<ui::OutlineItem, NodeDisplay> _settingTreeCache;
    std::optional<Dictionary> _currentPrintOption;
    std::optional<Dictionary> _profileDictionary;
    bool _isExpandDependency = false;
    std::shared_ptr<ui::Image> _folderIcon, _normalItemIcon, _differWithDefaultIcon;
    // Redraws queued for later run only while the data source (and so its view) lives.
    std::shared_ptr<bool> _alive = std::make_shared<bool>(true);

    void loadTree();
    const Array* children(ui::OutlineItem item) const;
    NodeDisplay makeDisplay(const Dictionary& node);
    void widenColumnFor(ui::OutlineItem item, const std::string& title);
    void collapseWithDescendants(const Dictionary& entry);
    bool collectDiffering(const Dictionary& node, std::vector<const Dictionary*>& collected,
                          std::set<const Dictionary*>& seen) const;
};

} // namespace velmora
