#include "platform/qt/MirroredTextField.h"

#include "platform/ui/FieldEditor.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace velmora::qt {
namespace {

Qt::Alignment toQtAlignment(ui::TextAlignment alignment) {
    switch (alignment) {
    case ui::TextAlignment::Right: return Qt::AlignRight | Qt::AlignVCenter;
    case ui::TextAlignment::Center: return Qt::AlignHCenter | Qt::AlignVCenter;
    case ui::TextAlignment::Left:
    case ui::TextAlignment::Natural: break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

class Label : public QLabel, public MirroredTextField {
public:
    Label(std::shared_ptr<ui::TextField> field, QWidget* parent)
        : QLabel(parent), MirroredTextField(field), _field(field) {}
    QWidget* widget() override { return this; }

    void pull() override {
        auto field = _field.lock();
        if (!field)
            return;
        pullCommon(*this);
        setWordWrap(field->cell().wraps());
        setAlignment(field->cell().wraps() ? toQtAlignment(field->alignment()) | Qt::AlignTop
                                           : toQtAlignment(field->alignment()));
        const ui::Color& color = field->textColor();
        QString style = color.name == ui::Color::controlText().name
                            ? QString()
                            : QString("color: rgba(%1,%2,%3,%4)")
                                  .arg(int(color.red * 255))
                                  .arg(int(color.green * 255))
                                  .arg(int(color.blue * 255))
                                  .arg(color.alpha);
        if (styleSheet() != style)
            setStyleSheet(style);
        QString text = toQString(field->stringValue());
        if (this->text() != text)
            setText(text);
    }

private:
    std::weak_ptr<ui::TextField> _field;
};

// The editable field: every edit is one call on the field editor.
class Field : public QLineEdit, public MirroredTextField {
public:
    Field(std::shared_ptr<ui::TextField> field, QWidget* parent)
        : QLineEdit(parent), MirroredTextField(field), _field(field) {
        if (field->isSecure())
            setEchoMode(QLineEdit::Password);
        // Every edit goes through the field editor: no menu or drop that would bypass it.
        setContextMenuPolicy(Qt::NoContextMenu);
        setAcceptDrops(false);
    }
    QWidget* widget() override { return this; }

    void pull() override {
        auto field = _field.lock();
        if (!field)
            return;
        pullCommon(*this);
        setAlignment(toQtAlignment(field->alignment()));
        setReadOnly(!field->isEditable());
        setFrame(field->isBordered());
        setPlaceholderText(toQString(field->placeholderString()));
        ui::FieldEditor* editor = field->currentEditor();
        QString text = toQString(editor ? editor->string() : field->stringValue());
        if (this->text() != text)
            setText(text);
        if (editor) {
            ui::Range range = editor->selectedRange();
            if (range.length)
                setSelection(static_cast<int>(range.location), static_cast<int>(range.length));
            else
                setCursorPosition(static_cast<int>(range.location));
        }
    }

protected:
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        focusTaken(event->reason());
    }

    void keyPressEvent(QKeyEvent* event) override {
        auto field = _field.lock();
        if (!field || !field->isEditable()) {
            QLineEdit::keyPressEvent(event);
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            event->ignore(); // the dialog's cancel button
            return;
        }
        ui::FieldEditor* editor = beginEditing(*field);
        // Keys that only move the cursor or select are Qt's; any change Qt would make to the
        // text itself is undone by the refresh, which shows the field editor's text.
        if (!editor || !edit(*editor, *event)) {
            QLineEdit::keyPressEvent(event);
            if (editor)
                takeSelection(*editor);
        }
        actionDone();
    }

    // Tab and Backtab leave the field only when the toolkit lets the editing end.
    bool focusNextPrevChild(bool next) override {
        auto field = _field.lock();
        if (field && field->isEditable() && !endEditing(*field))
            return true;
        return QLineEdit::focusNextPrevChild(next);
    }

    // A click or a drag places the cursor or selects: the field editor keeps the same range.
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLineEdit::mouseReleaseEvent(event);
        auto field = _field.lock();
        if (ui::FieldEditor* editor = field ? field->currentEditor() : nullptr)
            takeSelection(*editor);
    }

    void inputMethodEvent(QInputMethodEvent* event) override {
        auto field = _field.lock();
        ui::FieldEditor* editor = field ? beginEditing(*field) : nullptr;
        if (!editor || event->commitString().isEmpty()) {
            QLineEdit::inputMethodEvent(event);
            return;
        }
        takeSelection(*editor);
        editor->typeText(fromQString(event->commitString()));
        actionDone();
        // What the input method is still composing stays on screen.
        QInputMethodEvent composing(event->preeditString(), event->attributes());
        QLineEdit::inputMethodEvent(&composing);
    }

private:
    std::weak_ptr<ui::TextField> _field;

    // The field editor, editing this field, with the selection the person sees.
    ui::FieldEditor* beginEditing(ui::TextField& field) {
        ui::Window* window = field.window();
        if (!window)
            return nullptr;
        if (field.currentEditor() == nullptr && !window->makeFirstResponder(&field))
            return nullptr;
        return field.currentEditor();
    }

    void takeSelection(ui::FieldEditor& editor) {
        if (hasSelectedText())
            editor.setSelectedRange(ui::Range{static_cast<std::size_t>(selectionStart()),
                                              static_cast<std::size_t>(selectionLength())});
        else
            editor.setSelectedRange(ui::Range{static_cast<std::size_t>(cursorPosition()), 0});
    }

    // True when the key was an edit (taken or refused by the toolkit); false for keys that
    // only move the cursor or the selection.
    bool edit(ui::FieldEditor& editor, QKeyEvent& event) {
        takeSelection(editor);
        if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) {
            editor.insertNewline();
            return true;
        }
        if (event.key() == Qt::Key_Backspace) {
            editor.deleteBackward();
            return true;
        }
        if (event.key() == Qt::Key_Delete) {
            ui::Range range = editor.selectedRange();
            if (range.length == 0 && range.location < editor.length())
                editor.setSelectedRange(ui::Range{range.location, 1});
            editor.insertText("");
            return true;
        }
        if (event.matches(QKeySequence::Paste)) {
            editor.paste(fromQString(QApplication::clipboard()->text()));
            return true;
        }
        if (event.matches(QKeySequence::Cut)) {
            if (echoMode() == QLineEdit::Normal)
                QApplication::clipboard()->setText(selectedText());
            editor.insertText("");
            return true;
        }
        QString text = event.text();
        bool printable = !text.isEmpty() && text.at(0).isPrint() &&
                         !(event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
        if (printable) {
            editor.typeText(fromQString(text));
            return true;
        }
        return false;
    }

    // Leaving the field with Tab: the toolkit ends the editing, which the field may refuse.
    bool endEditing(ui::TextField& field) {
        ui::Window* window = field.window();
        bool left = !window || !field.currentEditor() || window->makeFirstResponder(nullptr);
        actionDone();
        return left;
    }
};

} // namespace

std::string MirroredTextField::kindOf(const ui::TextField& field) {
    if (field.isSecure())
        return "secure";
    if (!field.isEditable() && !field.isBordered())
        return "label";
    return "field";
}

MirroredView* MirroredTextField::make(const std::shared_ptr<ui::TextField>& field,
                                      QWidget* parent) {
    if (kindOf(*field) == "label")
        return new Label(field, parent);
    return new Field(field, parent);
}

} // namespace velmora::qt
