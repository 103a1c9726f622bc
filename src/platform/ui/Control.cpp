#include "platform/ui/Control.h"

#include "platform/foundation/NumberText.h"

namespace velmora::ui {

Control::Control(Rect frame) : View(frame), _cell(std::make_unique<Cell>()) {}

bool Control::sendAction() {
    if (!_target)
        return false;
    _target(*this);
    return true;
}

std::string Control::stringValue() const {
    if (_formatter && !_objectValue.isNull())
        return _formatter->stringForObjectValue(_objectValue);
    return _objectValue.stringValue();
}

double Control::doubleValue() const {
    return _objectValue.isString() ? NumberText::leadingReal(*_objectValue.string())
                                   : _objectValue.doubleValue();
}

int Control::intValue() const {
    return static_cast<int>(doubleValue());
}

} // namespace velmora::ui
