#pragma once

#include "platform/qt/MirroredView.h"
#include "platform/ui/Matrix.h"

#include <QWidget>

#include <vector>

class QAbstractButton;

namespace velmora::qt {

// A grid of radio buttons, one per cell, row 0 at the top. A click is the toolkit's
// clickCellAt, which ignores disabled cells.
class MirroredMatrix : public QWidget, public MirroredView {
public:
    MirroredMatrix(std::shared_ptr<ui::Matrix> matrix, QWidget* parent);
    QWidget* widget() override { return this; }
    void pull() override;

private:
    std::weak_ptr<ui::Matrix> _matrix;
    std::vector<QAbstractButton*> _cells;
    int _rows = -1, _columns = -1;

    void makeCells(const ui::Matrix& matrix);
    int fittedCellHeight() const;
};

} // namespace velmora::qt
