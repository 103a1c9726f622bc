#pragma once

#include "platform/ui/Control.h"

namespace velmora::ui {

// A slider with a range and optional tick marks; its value always lies in the range and, when
// restricted to tick marks, on one of them.
class Slider : public Control {
public:
    explicit Slider(Rect frame = {});
    std::string className() const override { return "NSSlider"; }

    double minValue() const { return _min; }
    double maxValue() const { return _max; }
    void setMinValue(double min);
    void setMaxValue(double max);
    int numberOfTickMarks() const { return _ticks; }
    void setNumberOfTickMarks(int ticks);
    bool allowsTickMarkValuesOnly() const { return _ticksOnly; }
    void setAllowsTickMarkValuesOnly(bool only);
    double tickMarkValueAtIndex(int index) const;

    double value() const { return _value; }
    void setObjectValue(Value value) override;
    std::string stringValue() const override;

    // The user drags the knob to a value; the action is sent.
    bool slideTo(double value);

private:
    double _min = 0, _max = 1, _value = 0;
    int _ticks = 0;
    bool _ticksOnly = false;

    double constrained(double value) const;
};

// Arrows that step a number up and down within a range.
class Stepper : public Control {
public:
    explicit Stepper(Rect frame = {}) : Control(frame) {}
    std::string className() const override { return "NSStepper"; }

    double minValue() const { return _min; }
    double maxValue() const { return _max; }
    void setMinValue(double min) { _min = min; }
    void setMaxValue(double max) { _max = max; }
    double increment() const { return _increment; }
    void setIncrement(double increment) { _increment = increment; }
    bool valueWraps() const { return _wraps; }
    void setValueWraps(bool wraps) { _wraps = wraps; }

    double value() const { return _value; }
    void setObjectValue(Value value) override;
    std::string stringValue() const override;

    // User clicks on the arrows; the action is sent.
    bool clickUp();
    bool clickDown();

private:
    double _min = 0, _max = 59, _increment = 1, _value = 0;
    bool _wraps = false;

    bool step(double delta);
};

} // namespace velmora::ui
