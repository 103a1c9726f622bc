#include "platform/ui/Button.h"

namespace velmora::ui {

Button::Button(Rect frame, ButtonType type) : Control(frame), _type(type) {}

std::shared_ptr<Button> Button::checkBox(Rect frame, std::string title) {
    auto button = std::make_shared<Button>(frame, ButtonType::Switch);
    button->setTitle(std::move(title));
    return button;
}

std::shared_ptr<Button> Button::pushButton(Rect frame, std::string title) {
    auto button = std::make_shared<Button>(frame, ButtonType::Push);
    button->setTitle(std::move(title));
    return button;
}

void Button::setState(int state) {
    if (state == kMixedState && !_allowsMixedState)
        state = kOnState;
    _cell->setState(state);
}

bool Button::performClick() {
    if (!isEnabled() || isHidden())
        return false;
    if (_type == ButtonType::Switch) {
        int next = state() == kOffState                       ? kOnState
                   : state() == kOnState && _allowsMixedState ? kMixedState
                                                              : kOffState;
        _cell->setState(next);
    } else if (_type == ButtonType::Radio) {
        _cell->setState(kOnState);
    }
    sendAction();
    return true;
}

} // namespace velmora::ui
