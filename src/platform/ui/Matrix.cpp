#include "platform/ui/Matrix.h"

#include <algorithm>

namespace velmora::ui {

Matrix::Matrix(Rect frame, int rows, int columns, Mode mode)
    : Control(frame), _rows(0), _columns(0), _mode(mode) {
    renewRows(rows, columns);
}

bool Matrix::inside(int row, int column) const {
    return row >= 0 && column >= 0 && row < _rows && column < _columns;
}

void Matrix::renewRows(int rows, int columns) {
    rows = std::max(rows, 0);
    columns = std::max(columns, 0);
    std::vector<std::unique_ptr<Cell>> cells;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            bool kept = r < _rows && c < _columns;
            cells.push_back(kept ? std::move(_cells[static_cast<std::size_t>(r * _columns + c)])
                                 : std::make_unique<Cell>());
        }
    _cells = std::move(cells);
    _rows = rows;
    _columns = columns;
    if (!inside(_selectedRow, _selectedColumn))
        _selectedRow = _selectedColumn = -1;
}

Cell* Matrix::cellAt(int row, int column) const {
    return inside(row, column) ? _cells[static_cast<std::size_t>(row * _columns + column)].get()
                               : nullptr;
}

Cell* Matrix::cellWithTag(long tag) const {
    for (const auto& cell : _cells)
        if (cell->tag() == tag)
            return cell.get();
    return nullptr;
}

void Matrix::selectCellAt(int row, int column) {
    if (!inside(row, column)) {
        _selectedRow = _selectedColumn = -1;
        if (_mode == Mode::Radio)
            for (auto& cell : _cells)
                cell->setState(kOffState);
        return;
    }
    setState(kOnState, row, column);
}

bool Matrix::selectCellWithTag(long tag) {
    for (int r = 0; r < _rows; ++r)
        for (int c = 0; c < _columns; ++c)
            if (cellAt(r, c)->tag() == tag) {
                selectCellAt(r, c);
                return true;
            }
    return false;
}

void Matrix::setState(int state, int row, int column) {
    Cell* target = cellAt(row, column);
    if (!target)
        return;
    if (_mode == Mode::Radio && state == kOnState)
        for (auto& cell : _cells)
            cell->setState(kOffState);
    target->setState(state);
    if (state == kOnState) {
        _selectedRow = row;
        _selectedColumn = column;
    } else if (row == _selectedRow && column == _selectedColumn && _mode == Mode::Radio) {
        _selectedRow = _selectedColumn = -1;
    }
}

bool Matrix::clickCellAt(int row, int column) {
    Cell* cell = cellAt(row, column);
    if (!cell || !isEnabled() || !cell->isEnabled() || isHidden())
        return false;
    if (_mode == Mode::Radio)
        setState(kOnState, row, column);
    else
        setState(cell->state() == kOnState ? kOffState : kOnState, row, column);
    sendAction();
    return true;
}

} // namespace velmora::ui
