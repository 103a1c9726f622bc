#include "platform/qt/MirroredMatrix.h"

#include <QRadioButton>

namespace velmora::qt {

MirroredMatrix::MirroredMatrix(std::shared_ptr<ui::Matrix> matrix, QWidget* parent)
    : QWidget(parent), MirroredView(matrix), _matrix(matrix) {}

void MirroredMatrix::makeCells(const ui::Matrix& matrix) {
    if (matrix.numberOfRows() == _rows && matrix.numberOfColumns() == _columns)
        return;
    for (auto* cell : _cells)
        delete cell;
    _cells.clear();
    _rows = matrix.numberOfRows();
    _columns = matrix.numberOfColumns();
    for (int row = 0; row < _rows; ++row)
        for (int column = 0; column < _columns; ++column) {
            auto* cell = new QRadioButton(this);
            cell->setAutoExclusive(false);
            connect(cell, &QAbstractButton::clicked, this, [this, row, column] {
                if (auto shown = _matrix.lock())
                    shown->clickCellAt(row, column);
                actionDone();
            });
            _cells.push_back(cell);
        }
}

void MirroredMatrix::pull() {
    auto matrix = _matrix.lock();
    if (!matrix)
        return;
    pullCommon(*this);
    makeCells(*matrix);
    int cellWidth = width() / std::max(1, _columns);
    int cellHeight = height() / std::max(1, _rows);
    for (int row = 0; row < _rows; ++row)
        for (int column = 0; column < _columns; ++column) {
            auto* button = _cells[static_cast<std::size_t>(row * _columns + column)];
            const ui::Cell* cell = matrix->cellAt(row, column);
            button->setGeometry(column * cellWidth, row * cellHeight, cellWidth, cellHeight);
            button->setText(cell ? toQString(cell->title()) : QString());
            button->setEnabled(matrix->isEnabled() && cell && cell->isEnabled());
            button->setChecked(cell && cell->state() == ui::kOnState);
            button->setFont(font());
        }
}

} // namespace velmora::qt
