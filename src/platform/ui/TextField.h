#pragma once

#include "platform/ui/Control.h"

#include <optional>

namespace velmora::ui {

class FieldEditor;
class TextField;

// Receives the editing events of a text field.
class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate() = default;
    virtual void controlTextDidBeginEditing(TextField&, FieldEditor&) {}
    virtual void controlTextDidChange(TextField&, FieldEditor&) {}
    // False keeps the focus in the field.
    virtual bool controlTextShouldEndEditing(TextField&, FieldEditor&) { return true; }
    virtual void controlTextDidEndEditing(TextField&) {}
};

// How editing of a field ended: by Return (or Enter), or any other way.
enum class TextMovement { Other, Return };

// A label (not editable) or an editable text field. While the field has the focus its text
// is edited in its window's field editor; the field is the editor's delegate.
class TextField : public Control {
public:
    explicit TextField(Rect frame = {});
    // A label: not editable, not selectable, no border, no background.
    static std::shared_ptr<TextField> label(Rect frame, std::string text);
    std::string className() const override { return "NSTextField"; }

    bool isEditable() const { return _editable; }
    void setEditable(bool editable) { _editable = editable; }
    bool isSelectable() const { return _selectable; }
    void setSelectable(bool selectable) { _selectable = selectable; }
    bool isBordered() const { return _bordered; }
    void setBordered(bool bordered) { _bordered = bordered; }
    bool drawsBackground() const { return _drawsBackground; }
    void setDrawsBackground(bool draws) { _drawsBackground = draws; }
    const Color& textColor() const { return _textColor; }
    void setTextColor(Color color) { _textColor = std::move(color); }
    const std::string& placeholderString() const { return _placeholder; }
    void setPlaceholderString(std::string text) { _placeholder = std::move(text); }
    bool scrollsHorizontally() const { return _scrolls; }
    void setScrollsHorizontally(bool scrolls) { _scrolls = scrolls; }
    virtual bool isSecure() const { return false; }

    TextFieldDelegate* delegate() const { return _delegate; }
    void setDelegate(TextFieldDelegate* delegate) { _delegate = delegate; }

    // While editing, the text in the editor.
    std::string stringValue() const override;
    FieldEditor* currentEditor() const { return _editor; }
    // How the last editing ended; the delegate may ask while it is told of the end.
    TextMovement lastTextMovement() const { return _textMovement; }
    void setLastTextMovement(TextMovement movement) { _textMovement = movement; }

    bool acceptsFirstResponder() const override;

    // The field as the delegate of its editor; subclasses refine these. By default a change
    // is taken when the field is editable and its formatter accepts the text it makes.
    virtual bool textShouldChange(FieldEditor& editor, Range range, const std::string& replacement);
    virtual void textDidBeginEditing(FieldEditor& editor);
    virtual void textDidChange(FieldEditor& editor);
    virtual bool textShouldEndEditing(FieldEditor& editor);
    virtual void textDidEndEditing();

    // Used by the window when editing starts and ends.
    void attachEditor(FieldEditor* editor) { _editor = editor; }
    // Takes the editor's text as the field's value (through the formatter) and detaches it.
    void commitEditing();

private:
    bool _editable = true;
    bool _selectable = true;
    bool _bordered = true;
    bool _drawsBackground = true;
    bool _scrolls = false;
    Color _textColor = Color::controlText();
    std::string _placeholder;
    TextFieldDelegate* _delegate = nullptr;
    FieldEditor* _editor = nullptr;
    TextMovement _textMovement = TextMovement::Other;
};

// A text field whose characters are not shown.
class SecureTextField : public TextField {
public:
    using TextField::TextField;
    std::string className() const override { return "NSSecureTextField"; }
    bool isSecure() const override { return true; }
};

} // namespace velmora::ui
