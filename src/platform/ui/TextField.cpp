#include "platform/ui/TextField.h"

#include "platform/ui/FieldEditor.h"

namespace velmora::ui {

TextField::TextField(Rect frame) : Control(frame) {
    Control::setObjectValue(Value(""));
}

std::shared_ptr<TextField> TextField::label(Rect frame, std::string text) {
    auto field = std::make_shared<TextField>(frame);
    field->setEditable(false);
    field->setSelectable(false);
    field->setBordered(false);
    field->setDrawsBackground(false);
    field->setStringValue(text);
    return field;
}

std::string TextField::stringValue() const {
    return _editor ? _editor->string() : Control::stringValue();
}

bool TextField::acceptsFirstResponder() const {
    return isEnabled() && !isHiddenOrHasHiddenAncestor() && (_editable || _selectable);
}

bool TextField::textShouldChange(FieldEditor& editor, Range range, const std::string& replacement) {
    if (!_editable)
        return false;
    auto f = formatter();
    if (!f)
        return true;
    std::string proposed, error;
    return f->isPartialStringValid(editor.stringByReplacing(range, replacement), &proposed, &error);
}

void TextField::textDidBeginEditing(FieldEditor& editor) {
    _textMovement = TextMovement::Other;
    if (_delegate)
        _delegate->controlTextDidBeginEditing(*this, editor);
}

void TextField::textDidChange(FieldEditor& editor) {
    if (_delegate)
        _delegate->controlTextDidChange(*this, editor);
}

bool TextField::textShouldEndEditing(FieldEditor& editor) {
    return !_delegate || _delegate->controlTextShouldEndEditing(*this, editor);
}

void TextField::textDidEndEditing() {
    if (_delegate)
        _delegate->controlTextDidEndEditing(*this);
}

void TextField::commitEditing() {
    if (!_editor)
        return;
    std::string text = _editor->string();
    _editor->setDelegate(nullptr);
    _editor = nullptr;
    Value value(text);
    if (auto f = formatter()) {
        std::string error;
        if (!f->getObjectValue(value, text, &error))
            value = objectValue(); // a refused text leaves the previous value
    }
    setObjectValue(std::move(value));
}

} // namespace velmora::ui
