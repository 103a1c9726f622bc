#pragma once

#include "platform/ui/FieldEditor.h"
#include "platform/ui/TextField.h"

#include <memory>
#include <string>

namespace velmora {

// A field editor that will not give up the focus while its text is empty: it shows a sheet on
// the field's window and keeps the focus, unless that window is hidden.
class EmptyRefusingFieldEditor : public ui::FieldEditor {
public:
    bool resignFirstResponder() override;

protected:
    virtual std::string emptyMessage(const ui::TextField& field) const = 0;
};

class NoEmptyFieldEditor : public EmptyRefusingFieldEditor {
protected:
    // "Enter the %@." with the field's "title", or "--".
    std::string emptyMessage(const ui::TextField& field) const override;
};

class MailAddressFieldEditor : public EmptyRefusingFieldEditor {
protected:
    std::string emptyMessage(const ui::TextField& field) const override;
};

// Text fields that own their field editor, for the window to hand out when it asks which
// editor to use for them.
template <typename Editor> class OwnEditorTextField : public ui::TextField {
public:
    explicit OwnEditorTextField(ui::Rect frame = {})
        : ui::TextField(frame), _fieldEditor(std::make_unique<Editor>()) {
        _fieldEditor->setDelegate(this);
    }
    ui::FieldEditor* fieldEditor() const { return _fieldEditor.get(); }

private:
    std::unique_ptr<Editor> _fieldEditor;
};

class NoEmptyTextField : public OwnEditorTextField<NoEmptyFieldEditor> {
public:
    using OwnEditorTextField::OwnEditorTextField;
    std::string className() const override { return "NoEmptyTextField"; }
};

class MailAddressTextField : public OwnEditorTextField<MailAddressFieldEditor> {
public:
    using OwnEditorTextField::OwnEditorTextField;
    std::string className() const override { return "MailAddressTextField"; }
};

} // namespace velmora
