#include "platform/qt/MirroredStepper.h"

#include <QToolButton>

namespace velmora::qt {

MirroredStepper::MirroredStepper(std::shared_ptr<ui::Stepper> stepper, QWidget* parent)
    : QWidget(parent), MirroredView(stepper), _stepper(stepper), _up(new QToolButton(this)),
      _down(new QToolButton(this)) {
    _up->setArrowType(Qt::UpArrow);
    _down->setArrowType(Qt::DownArrow);
    _up->setAccessibleName("Up");
    _down->setAccessibleName("Down");
    connect(_up, &QToolButton::clicked, this, [this] {
        if (auto shown = _stepper.lock())
            shown->clickUp();
        actionDone();
    });
    connect(_down, &QToolButton::clicked, this, [this] {
        if (auto shown = _stepper.lock())
            shown->clickDown();
        actionDone();
    });
}

void MirroredStepper::pull() {
    if (!_stepper.lock())
        return;
    pullCommon(*this);
    int half = height() / 2;
    _up->setGeometry(0, 0, width(), half);
    _down->setGeometry(0, half, width(), height() - half);
}

} // namespace velmora::qt
