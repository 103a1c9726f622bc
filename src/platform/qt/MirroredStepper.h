#pragma once

#include "platform/qt/MirroredView.h"
#include "platform/ui/Slider.h"

#include <QWidget>

class QToolButton;

namespace velmora::qt {

// The two arrows of a stepper; each click is the toolkit's clickUp or clickDown.
class MirroredStepper : public QWidget, public MirroredView {
public:
    MirroredStepper(std::shared_ptr<ui::Stepper> stepper, QWidget* parent);
    QWidget* widget() override { return this; }
    void pull() override;

private:
    std::weak_ptr<ui::Stepper> _stepper;
    QToolButton* _up;
    QToolButton* _down;
};

} // namespace velmora::qt
