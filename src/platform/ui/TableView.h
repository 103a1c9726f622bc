#pragma once

#include "platform/foundation/Value.h"
#include "platform/ui/Cell.h"
#include "platform/ui/Control.h"

#include <memory>
#include <string>
#include <vector>

namespace velmora::ui {

class Image;
class TableView;

class TableColumn {
public:
    explicit TableColumn(std::string identifier) : _identifier(std::move(identifier)) {}

    const std::string& identifier() const { return _identifier; }
    double width() const { return _width; }
    // The width stays within the minimum and maximum widths.
    void setWidth(double width);
    double minWidth() const { return _minWidth; }
    void setMinWidth(double width) { _minWidth = width; }
    double maxWidth() const { return _maxWidth; }
    void setMaxWidth(double width);
    const std::string& headerTitle() const { return _headerTitle; }
    void setHeaderTitle(std::string title) { _headerTitle = std::move(title); }
    std::shared_ptr<Cell> dataCell() const { return _dataCell; }
    void setDataCell(std::shared_ptr<Cell> cell) { _dataCell = std::move(cell); }
    bool isEditable() const { return _editable; }
    void setEditable(bool editable) { _editable = editable; }
    TableView* tableView() const { return _tableView; }

private:
    friend class TableView;
    std::string _identifier;
    double _width = 100, _minWidth = 10, _maxWidth = 1e9;
    std::string _headerTitle;
    std::shared_ptr<Cell> _dataCell = std::make_shared<Cell>();
    bool _editable = true;
    TableView* _tableView = nullptr;
};

class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual long numberOfRowsInTableView(TableView& table) = 0;
    virtual Value objectValueForTableColumn(TableView& table, TableColumn* column, long row) = 0;
    virtual void setObjectValue(TableView&, const Value&, TableColumn*, long) {}
};

// How a row shows beside its values: an icon before the first column's text, and whether the
// text is dimmed (a row that stands for something not available).
struct RowLook {
    std::shared_ptr<Image> icon;
    bool dimmed = false;
};

class TableViewDelegate {
public:
    virtual ~TableViewDelegate() = default;
    virtual bool shouldSelectRow(TableView&, long) { return true; }
    virtual void selectionDidChange(TableView&) {}
    virtual RowLook lookOfRow(TableView&, long) { return {}; }
};

// Rows and columns whose contents come from a data source.
class TableView : public Control {
public:
    explicit TableView(Rect frame = {}) : Control(frame) {}
    std::string className() const override { return "NSTableView"; }

    void addTableColumn(std::shared_ptr<TableColumn> column);
    void removeTableColumn(const TableColumn* column);
    const std::vector<std::shared_ptr<TableColumn>>& tableColumns() const { return _columns; }
    TableColumn* tableColumnWithIdentifier(const std::string& identifier) const;

    void setDataSource(TableViewDataSource* source) { _dataSource = source; }
    void setTableDelegate(TableViewDelegate* delegate) { _delegate = delegate; }

    virtual void reloadData();
    int reloadCount() const { return _reloads; }
    virtual long numberOfRows() const { return _rows; }
    virtual Value objectValueAt(TableColumn* column, long row);
    virtual RowLook lookOfRow(long row);

    long selectedRow() const { return _selectedRow; }
    // Selects without asking the delegate; an invalid row clears the selection.
    void selectRow(long row);
    void deselectAll() { selectRow(-1); }
    // A user click on a row: the delegate may refuse it; then the action is sent.
    bool clickRow(long row);

protected:
    virtual bool shouldSelectRow(long row);
    virtual void selectionDidChange();
    int _reloads = 0;

private:
    std::vector<std::shared_ptr<TableColumn>> _columns;
    TableViewDataSource* _dataSource = nullptr;
    TableViewDelegate* _delegate = nullptr;
    long _rows = 0;
    long _selectedRow = -1;
};

} // namespace velmora::ui
