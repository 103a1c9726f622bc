#pragma once

#include "platform/ui/Control.h"

namespace velmora::ui {

class Image;

enum class ButtonType { Push, Switch, Radio };

// Push button, check box (Switch) or single radio button.
class Button : public Control {
public:
    explicit Button(Rect frame = {}, ButtonType type = ButtonType::Push);
    static std::shared_ptr<Button> checkBox(Rect frame, std::string title);
    static std::shared_ptr<Button> pushButton(Rect frame, std::string title);
    std::string className() const override { return "NSButton"; }

    ButtonType buttonType() const { return _type; }
    void setButtonType(ButtonType type) { _type = type; }
    const std::string& title() const { return _cell->title(); }
    void setTitle(std::string title) { _cell->setTitle(std::move(title)); }
    int state() const { return _cell->state(); }
    void setState(int state);
    bool allowsMixedState() const { return _allowsMixedState; }
    void setAllowsMixedState(bool allows) { _allowsMixedState = allows; }
    bool isTransparent() const { return _transparent; }
    void setTransparent(bool transparent) { _transparent = transparent; }
    std::shared_ptr<Image> image() const { return _cell->image(); }
    void setImage(std::shared_ptr<Image> image) { _cell->setImage(std::move(image)); }
    const std::string& keyEquivalent() const { return _keyEquivalent; }
    void setKeyEquivalent(std::string key) { _keyEquivalent = std::move(key); }

    // A user click: a check box steps to its next state (off, on, then mixed when allowed), a
    // radio button turns on; then the action is sent. Nothing happens while disabled.
    bool performClick();

    std::string stringValue() const override { return std::to_string(state()); }

private:
    ButtonType _type;
    bool _allowsMixedState = false;
    bool _transparent = false;
    std::string _keyEquivalent;
};

} // namespace velmora::ui
