#include "platform/ui/TableView.h"

#include <algorithm>

namespace velmora::ui {

void TableColumn::setWidth(double width) {
    _width = std::clamp(width, _minWidth, std::max(_minWidth, _maxWidth));
}

void TableColumn::setMaxWidth(double width) {
    _maxWidth = width;
    setWidth(_width);
}

void TableView::addTableColumn(std::shared_ptr<TableColumn> column) {
    if (!column)
        return;
    column->_tableView = this;
    _columns.push_back(std::move(column));
}

void TableView::removeTableColumn(const TableColumn* column) {
    auto it = std::find_if(_columns.begin(), _columns.end(),
                           [&](const auto& c) { return c.get() == column; });
    if (it != _columns.end()) {
        (*it)->_tableView = nullptr;
        _columns.erase(it);
    }
}

TableColumn* TableView::tableColumnWithIdentifier(const std::string& identifier) const {
    for (const auto& column : _columns)
        if (column->identifier() == identifier)
            return column.get();
    return nullptr;
}

void TableView::reloadData() {
    ++_reloads;
    _rows = _dataSource ? std::max(0L, _dataSource->numberOfRowsInTableView(*this)) : 0;
    if (_selectedRow >= _rows)
        _selectedRow = -1;
}

Value TableView::objectValueAt(TableColumn* column, long row) {
    if (!_dataSource || row < 0 || row >= numberOfRows())
        return {};
    return _dataSource->objectValueForTableColumn(*this, column, row);
}

RowLook TableView::lookOfRow(long row) {
    if (!_delegate || row < 0 || row >= numberOfRows())
        return {};
    return _delegate->lookOfRow(*this, row);
}

void TableView::selectRow(long row) {
    long next = row >= 0 && row < numberOfRows() ? row : -1;
    if (next == _selectedRow)
        return;
    _selectedRow = next;
    selectionDidChange();
}

bool TableView::shouldSelectRow(long row) {
    return !_delegate || _delegate->shouldSelectRow(*this, row);
}

void TableView::selectionDidChange() {
    if (_delegate)
        _delegate->selectionDidChange(*this);
}

bool TableView::clickRow(long row) {
    if (!isEnabled() || row < 0 || row >= numberOfRows() || !shouldSelectRow(row))
        return false;
    selectRow(row);
    sendAction();
    return true;
}

} // namespace velmora::ui
