#include "platform/qt/MirroredSlider.h"

#include <cmath>

namespace velmora::qt {

MirroredSlider::MirroredSlider(std::shared_ptr<ui::Slider> slider, QWidget* parent)
    : QSlider(Qt::Horizontal, parent), MirroredView(slider), _slider(slider) {
    auto take = [this] {
        if (auto shown = _slider.lock())
            shown->slideTo(valueOfStep(*shown, value()));
        actionDone();
    };
    connect(this, &QSlider::sliderReleased, this, take);
    connect(this, &QSlider::actionTriggered, this, [this, take](int action) {
        if (action != QAbstractSlider::SliderMove)
            QMetaObject::invokeMethod(this, take, Qt::QueuedConnection);
    });
}

int MirroredSlider::steps(const ui::Slider& slider) const {
    if (slider.allowsTickMarkValuesOnly() && slider.numberOfTickMarks() > 1)
        return slider.numberOfTickMarks() - 1;
    return 1000;
}

double MirroredSlider::valueOfStep(const ui::Slider& slider, int step) const {
    return slider.minValue() + (slider.maxValue() - slider.minValue()) * step / steps(slider);
}

void MirroredSlider::pull() {
    auto slider = _slider.lock();
    if (!slider)
        return;
    pullCommon(*this);
    if (isSliderDown()) // the person is dragging: the value is theirs until they let go
        return;
    QSignalBlocker quiet(this);
    int count = steps(*slider);
    setRange(0, count);
    setTickPosition(slider->numberOfTickMarks() > 0 ? QSlider::TicksBelow : QSlider::NoTicks);
    if (slider->numberOfTickMarks() > 1)
        setTickInterval(std::max(1, count / (slider->numberOfTickMarks() - 1)));
    double span = slider->maxValue() - slider->minValue();
    setValue(span > 0 ? static_cast<int>(
                            std::lround((slider->value() - slider->minValue()) / span * count))
                      : 0);
}

} // namespace velmora::qt
