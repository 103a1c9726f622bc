#pragma once

#include "platform/ui/TableView.h"

#include <set>
#include <vector>

namespace velmora::ui {

class OutlineView;

// Items are the data source's own objects, passed by address; null is the root.
using OutlineItem = const void*;

class OutlineViewDataSource {
public:
    virtual ~OutlineViewDataSource() = default;
    virtual long outlineViewNumberOfChildrenOfItem(OutlineView&, OutlineItem item) = 0;
    virtual OutlineItem outlineViewChildOfItem(OutlineView&, long index, OutlineItem item) = 0;
    virtual bool outlineViewIsItemExpandable(OutlineView&, OutlineItem item) = 0;
    virtual Value outlineViewObjectValue(OutlineView&, TableColumn* column, OutlineItem item) = 0;
};

class OutlineViewDelegate {
public:
    virtual ~OutlineViewDelegate() = default;
    virtual bool outlineViewShouldSelectItem(OutlineView&, OutlineItem) { return true; }
    virtual bool selectionShouldChangeInOutlineView(OutlineView&) { return true; }
    virtual bool outlineViewShouldEditTableColumn(OutlineView&, TableColumn*, OutlineItem) {
        return true;
    }
    virtual void outlineViewDidClickTableColumn(OutlineView&, TableColumn*) {}
    virtual void outlineViewSelectionDidChange(OutlineView&) {}
    virtual RowLook outlineViewLookOfItem(OutlineView&, OutlineItem) { return {}; }
};

// A table whose rows form a tree: the children of an expanded item follow it, one level
// deeper. Expansion is remembered per item across reloads.
class OutlineView : public TableView {
public:
    explicit OutlineView(Rect frame = {}) : TableView(frame) {}
    std::string className() const override { return "NSOutlineView"; }

    void setOutlineDataSource(OutlineViewDataSource* source) { _source = source; }
    void setOutlineDelegate(OutlineViewDelegate* delegate) { _outlineDelegate = delegate; }

    void reloadData() override;
    long numberOfRows() const override { return static_cast<long>(_visible.size()); }
    Value objectValueAt(TableColumn* column, long row) override;
    RowLook lookOfRow(long row) override;

    void expandItem(OutlineItem item, bool expandChildren = false);
    void collapseItem(OutlineItem item);
    bool isItemExpanded(OutlineItem item) const { return _expanded.count(item) != 0; }
    bool isExpandable(OutlineItem item);
    OutlineItem itemAtRow(long row) const;
    long rowForItem(OutlineItem item) const;
    int levelForItem(OutlineItem item) const;
    int levelForRow(long row) const;
    OutlineItem selectedItem() const { return itemAtRow(selectedRow()); }

    double indentationPerLevel() const { return _indentation; }
    void setIndentationPerLevel(double indentation) { _indentation = indentation; }
    TableColumn* outlineTableColumn() const { return _outlineColumn; }
    void setOutlineTableColumn(TableColumn* column) { _outlineColumn = column; }

    // A click on a column header.
    void clickColumnHeader(TableColumn* column);

protected:
    bool shouldSelectRow(long row) override;
    void selectionDidChange() override;

private:
    struct Row {
        OutlineItem item;
        int level;
    };
    OutlineViewDataSource* _source = nullptr;
    OutlineViewDelegate* _outlineDelegate = nullptr;
    std::vector<Row> _visible;
    std::set<OutlineItem> _expanded;
    double _indentation = 16;
    TableColumn* _outlineColumn = nullptr;

    void appendChildren(OutlineItem parent, int level, int depthLimit);
    void rebuildRows();
};

} // namespace velmora::ui
