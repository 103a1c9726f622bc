#include "platform/qt/MirroredMatrix.h"

#include <QRadioButton>
#include <QStyle>

namespace velmora::qt {

MirroredMatrix::MirroredMatrix(std::shared_ptr<ui::Matrix> matrix, QWidget* parent)
    : QWidget(parent), MirroredView(matrix), _matrix(matrix) {}

void MirroredMatrix::makeCells(const ui::Matrix& matrix) {
    if (matrix.numberOfRows() == _rows && matrix.numberOfColumns() == _columns)
        return;
    // A cell may be the one whose click is running.
    for (auto* cell : _cells) {
        cell->hide();
        cell->deleteLater();
    }
    _cells.clear();
    _rows = matrix.numberOfRows();
    _columns = matrix.numberOfColumns();
    for (int row = 0; row < _rows; ++row)
        for (int column = 0; column < _columns; ++column) {
            auto* cell = new QRadioButton(this);
            // One group per matrix, as the toolkit's matrix is: assistive technology then
            // announces radio buttons, and the pull keeps the states the toolkit's.
            cell->setAutoExclusive(true);
            connect(cell, &QAbstractButton::clicked, this, [this, row, column] {
                if (auto shown = _matrix.lock())
                    shown->clickCellAt(row, column);
                actionDone();
            });
            _cells.push_back(cell);
        }
}

// A control may give its radio rows less height than the matrix frame asks for; a parent widget
// clips what overflows, so the rows close up to fit the part the parent shows, as long as a
// radio button still fits in a row.
int MirroredMatrix::fittedCellHeight() const {
    int rows = std::max(1, _rows);
    int cellHeight = height() / rows;
    if (!parentWidget() || _cells.empty())
        return cellHeight;
    int shown = std::min(height(), parentWidget()->height() - y());
    int fitted = shown / rows;
    int needed = std::max(style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight),
                          _cells.front()->fontMetrics().height());
    return fitted >= needed ? std::min(cellHeight, fitted) : cellHeight;
}

void MirroredMatrix::pull() {
    auto matrix = _matrix.lock();
    if (!matrix)
        return;
    pullCommon(*this);
    makeCells(*matrix);
    int cellWidth = width() / std::max(1, _columns);
    int cellHeight = fittedCellHeight();
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
