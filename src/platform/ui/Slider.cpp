#include "platform/ui/Slider.h"

#include "platform/foundation/NumberText.h"

#include <algorithm>
#include <cmath>

namespace velmora::ui {

Slider::Slider(Rect frame) : Control(frame) {
    Control::setObjectValue(Value(0.0));
}

void Slider::setMinValue(double min) {
    _min = min;
    setObjectValue(Value(_value));
}

void Slider::setMaxValue(double max) {
    _max = max;
    setObjectValue(Value(_value));
}

void Slider::setNumberOfTickMarks(int ticks) {
    _ticks = std::max(ticks, 0);
    setObjectValue(Value(_value));
}

void Slider::setAllowsTickMarkValuesOnly(bool only) {
    _ticksOnly = only;
    setObjectValue(Value(_value));
}

double Slider::tickMarkValueAtIndex(int index) const {
    if (_ticks <= 1)
        return _min;
    return _min + (_max - _min) * index / (_ticks - 1);
}

double Slider::constrained(double value) const {
    if (!std::isfinite(value))
        value = _min;
    value = std::clamp(value, std::min(_min, _max), std::max(_min, _max));
    if (_ticksOnly && _ticks > 1) {
        double step = (_max - _min) / (_ticks - 1);
        if (step != 0)
            value = _min + std::round((value - _min) / step) * step;
    }
    return value;
}

void Slider::setObjectValue(Value value) {
    double number =
        value.isString() ? NumberText::leadingReal(*value.string()) : value.doubleValue();
    _value = constrained(number);
    Control::setObjectValue(Value(_value));
}

std::string Slider::stringValue() const {
    return NumberText::shortest(_value);
}

bool Slider::slideTo(double value) {
    if (!isEnabled() || isHidden())
        return false;
    setObjectValue(Value(value));
    sendAction();
    return true;
}

void Stepper::setObjectValue(Value value) {
    double number =
        value.isString() ? NumberText::leadingReal(*value.string()) : value.doubleValue();
    _value = std::isfinite(number) ? std::clamp(number, _min, std::max(_min, _max)) : _min;
    Control::setObjectValue(Value(_value));
}

std::string Stepper::stringValue() const {
    return NumberText::shortest(_value);
}

bool Stepper::step(double delta) {
    if (!isEnabled() || isHidden())
        return false;
    double next = _value + delta;
    if (_wraps && next > _max)
        next = _min;
    else if (_wraps && next < _min)
        next = _max;
    setObjectValue(Value(next));
    sendAction();
    return true;
}

bool Stepper::clickUp() {
    return step(_increment);
}
bool Stepper::clickDown() {
    return step(-_increment);
}

} // namespace velmora::ui
