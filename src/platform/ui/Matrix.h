#pragma once

#include "platform/ui/Control.h"

#include <vector>

namespace velmora::ui {

// A grid of button cells; in radio mode exactly one enabled cell is on at a time.
class Matrix : public Control {
public:
    enum class Mode { Radio, Highlight };

    Matrix(Rect frame, int rows, int columns, Mode mode = Mode::Radio);
    std::string className() const override { return "NSMatrix"; }

    int numberOfRows() const { return _rows; }
    int numberOfColumns() const { return _columns; }
    // Resizes the grid, keeping the cells that still fit and adding new empty ones.
    void renewRows(int rows, int columns);
    Cell* cellAt(int row, int column) const;
    const std::vector<std::unique_ptr<Cell>>& cells() const { return _cells; }
    Cell* cellWithTag(long tag) const;

    // Selects the cell (turning the others off in radio mode); -1, -1 clears the selection.
    void selectCellAt(int row, int column);
    bool selectCellWithTag(long tag);
    void setState(int state, int row, int column);
    int selectedRow() const { return _selectedRow; }
    int selectedColumn() const { return _selectedColumn; }
    Cell* selectedCell() const { return cellAt(_selectedRow, _selectedColumn); }

    // A user click on a cell: ignored when the matrix or the cell is disabled.
    bool clickCellAt(int row, int column);

private:
    int _rows, _columns;
    Mode _mode;
    std::vector<std::unique_ptr<Cell>> _cells;
    int _selectedRow = -1, _selectedColumn = -1;

    bool inside(int row, int column) const;
};

} // namespace velmora::ui
