#pragma once

#include "platform/qt/MirroredView.h"
#include "platform/ui/Slider.h"

#include <QSlider>

namespace velmora::qt {

// A slider; Qt's integer steps stand for the range (one step per tick mark when the value must
// lie on one). Letting go of the knob is the toolkit's slideTo.
class MirroredSlider : public QSlider, public MirroredView {
public:
    MirroredSlider(std::shared_ptr<ui::Slider> slider, QWidget* parent);
    QWidget* widget() override { return this; }
    void pull() override;

private:
    std::weak_ptr<ui::Slider> _slider;

    int steps(const ui::Slider& slider) const;
    double valueOfStep(const ui::Slider& slider, int step) const;
};

} // namespace velmora::qt
