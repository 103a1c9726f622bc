#pragma once

#include "platform/foundation/Value.h"
#include "platform/ui/Cell.h"
#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Formatter.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora::ui {

enum class TextAlignment { Natural, Left, Right, Center };

// A view the user acts on. A user action sends the control's action (a name such as
// "collatedSelected:") to its target.
class Control : public View {
public:
    using Target = std::function<void(Control& sender)>;

    explicit Control(Rect frame = {});
    std::string className() const override { return "NSControl"; }

    virtual bool isEnabled() const { return _enabled; }
    virtual void setEnabled(bool enabled) { _enabled = enabled; }

    const std::string& action() const { return _action; }
    void setAction(std::string action) { _action = std::move(action); }
    void setTarget(Target target) { _target = std::move(target); }
    bool hasTarget() const { return static_cast<bool>(_target); }
    // Sends the action to the target; false when there is none.
    bool sendAction();

    // The control's cell; its represented object carries, for option controls, the control's
    // description.
    Cell& cell() { return *_cell; }
    const Cell& cell() const { return *_cell; }

    std::shared_ptr<Formatter> formatter() const { return _formatter; }
    void setFormatter(std::shared_ptr<Formatter> formatter) { _formatter = std::move(formatter); }
    const Font& font() const { return _cell->font(); }
    void setFont(Font font) { _cell->setFont(std::move(font)); }
    TextAlignment alignment() const { return _alignment; }
    void setAlignment(TextAlignment alignment) { _alignment = alignment; }

    // The object value and its text (through the formatter when there is one).
    const Value& objectValue() const { return _objectValue; }
    virtual void setObjectValue(Value value) { _objectValue = std::move(value); }
    virtual std::string stringValue() const;
    virtual void setStringValue(const std::string& text) { setObjectValue(Value(text)); }
    double doubleValue() const;
    int intValue() const;
    virtual void setDoubleValue(double value) { setObjectValue(Value(value)); }
    virtual void setIntValue(int value) { setObjectValue(Value(value)); }

protected:
    std::unique_ptr<Cell> _cell;

private:
    bool _enabled = true;
    std::string _action;
    Target _target;
    std::shared_ptr<Formatter> _formatter;
    TextAlignment _alignment = TextAlignment::Natural;
    Value _objectValue;
};

} // namespace velmora::ui
