#include "platform/ui/OutlineView.h"

namespace velmora::ui {
namespace {
// Data sources whose items contain themselves must not hang the view.
constexpr int kMaxDepth = 64;
} // namespace

void OutlineView::appendChildren(OutlineItem parent, int level, int depthLimit) {
    if (!_source || level >= depthLimit)
        return;
    long count = _source->outlineViewNumberOfChildrenOfItem(*this, parent);
    for (long i = 0; i < count; ++i) {
        OutlineItem child = _source->outlineViewChildOfItem(*this, i, parent);
        _visible.push_back(Row{child, level});
        if (isItemExpanded(child))
            appendChildren(child, level + 1, depthLimit);
    }
}

void OutlineView::rebuildRows() {
    OutlineItem selected = itemAtRow(selectedRow());
    _visible.clear();
    appendChildren(nullptr, 0, kMaxDepth);
    long row = selected ? rowForItem(selected) : -1;
    if (row != selectedRow())
        selectRow(row);
}

void OutlineView::reloadData() {
    ++_reloads;
    rebuildRows();
}

Value OutlineView::objectValueAt(TableColumn* column, long row) {
    if (!_source || row < 0 || row >= numberOfRows())
        return {};
    return _source->outlineViewObjectValue(*this, column, itemAtRow(row));
}

RowLook OutlineView::lookOfRow(long row) {
    if (!_outlineDelegate || row < 0 || row >= numberOfRows())
        return {};
    return _outlineDelegate->outlineViewLookOfItem(*this, itemAtRow(row));
}

bool OutlineView::isExpandable(OutlineItem item) {
    return _source && _source->outlineViewIsItemExpandable(*this, item);
}

void OutlineView::expandItem(OutlineItem item, bool expandChildren) {
    if (!isExpandable(item))
        return;
    _expanded.insert(item);
    if (expandChildren && _source) {
        long count = _source->outlineViewNumberOfChildrenOfItem(*this, item);
        for (long i = 0; i < count; ++i) {
            OutlineItem child = _source->outlineViewChildOfItem(*this, i, item);
            if (child != item && !isItemExpanded(child))
                expandItem(child, true);
        }
    }
    rebuildRows();
}

void OutlineView::collapseItem(OutlineItem item) {
    if (_expanded.erase(item))
        rebuildRows();
}

OutlineItem OutlineView::itemAtRow(long row) const {
    return row >= 0 && row < numberOfRows() ? _visible[static_cast<std::size_t>(row)].item
                                            : nullptr;
}

long OutlineView::rowForItem(OutlineItem item) const {
    for (std::size_t i = 0; i < _visible.size(); ++i)
        if (_visible[i].item == item)
            return static_cast<long>(i);
    return -1;
}

int OutlineView::levelForRow(long row) const {
    return row >= 0 && row < numberOfRows() ? _visible[static_cast<std::size_t>(row)].level : -1;
}

int OutlineView::levelForItem(OutlineItem item) const {
    return levelForRow(rowForItem(item));
}

bool OutlineView::shouldSelectRow(long row) {
    if (!_outlineDelegate)
        return true;
    return _outlineDelegate->selectionShouldChangeInOutlineView(*this) &&
           _outlineDelegate->outlineViewShouldSelectItem(*this, itemAtRow(row));
}

void OutlineView::selectionDidChange() {
    if (_outlineDelegate)
        _outlineDelegate->outlineViewSelectionDidChange(*this);
}

void OutlineView::clickColumnHeader(TableColumn* column) {
    if (_outlineDelegate)
        _outlineDelegate->outlineViewDidClickTableColumn(*this, column);
}

} // namespace velmora::ui
