#include "platform/ui/Window.h"

#include "platform/ui/Button.h"
#include "platform/ui/FieldEditor.h"
#include "platform/ui/TextField.h"

#include <map>

namespace velmora::ui {
namespace {

std::map<std::string, Rect>& savedFrames() {
    static std::map<std::string, Rect> frames;
    return frames;
}

constexpr Size kScreenSize{1440, 900};

} // namespace

Window::Window(Rect frame, std::string title)
    : _frame(frame), _title(std::move(title)),
      _contentView(std::make_shared<View>(Rect{{0, 0}, frame.size})) {
    _contentView->setWindowOfRoot(this);
}

Window::~Window() {
    if (_sheetParent)
        _sheetParent->detachSheet();
    if (_attachedSheet)
        _attachedSheet->_sheetParent = nullptr;
    if (_contentView)
        _contentView->setWindowOfRoot(nullptr);
}

void Window::setContentView(std::shared_ptr<View> view) {
    endEditingFor(nullptr);
    _firstResponder = nullptr;
    if (_contentView)
        _contentView->setWindowOfRoot(nullptr);
    _contentView = std::move(view);
    if (_contentView)
        _contentView->setWindowOfRoot(this);
}

void Window::setFrame(Rect frame) {
    _frame = frame;
    // The content view fills the window, as the toolkit's windows keep it.
    if (_contentView)
        _contentView->setFrame(Rect{{0, 0}, frame.size});
    if (!_autosaveName.empty())
        savedFrames()[_autosaveName] = frame;
}

void Window::setFrameAutosaveName(std::string name) {
    _autosaveName = std::move(name);
    if (_autosaveName.empty())
        return;
    auto it = savedFrames().find(_autosaveName);
    if (it != savedFrames().end())
        _frame = it->second;
    else
        savedFrames()[_autosaveName] = _frame;
}

void Window::center() {
    setFrame(Rect{
        {(kScreenSize.width - _frame.width()) / 2, (kScreenSize.height - _frame.height()) * 2 / 3},
        _frame.size});
}

void Window::makeKeyAndOrderFront() {
    _visible = true;
    _key = canBecomeKeyWindow();
    display();
}

void Window::orderOut() {
    _visible = false;
    _key = false;
}

void Window::close() {
    if (_delegate)
        _delegate->windowWillClose(*this);
    endEditingFor(nullptr);
    orderOut();
}

void Window::performClose() {
    if (!_delegate || _delegate->windowShouldClose(*this))
        close();
}

TextField* Window::editingField() const {
    auto* editor = dynamic_cast<FieldEditor*>(_firstResponder);
    return editor ? editor->delegate() : nullptr;
}

FieldEditor* Window::fieldEditor(bool create, View* object) {
    if (_delegate)
        if (FieldEditor* own = _delegate->windowWillReturnFieldEditor(*this, object))
            return own;
    if (!_sharedEditor && create)
        _sharedEditor = std::make_unique<FieldEditor>();
    return _sharedEditor.get();
}

bool Window::endCurrentEditing(bool ask) {
    auto* editor = dynamic_cast<FieldEditor*>(_firstResponder);
    TextField* field = editor ? editor->delegate() : nullptr;
    if (!field)
        return true;
    if (ask && (!editor->resignFirstResponder() || !field->textShouldEndEditing(*editor)))
        return false;
    _firstResponder = nullptr;
    field->commitEditing();
    field->textDidEndEditing();
    return true;
}

void Window::viewWillLeave(const View& view) {
    if (!_firstResponder)
        return;
    TextField* field = editingField();
    View* focused = field ? field : _firstResponder;
    if (!focused->isDescendantOf(&view))
        return;
    _firstResponder = nullptr;
    if (field)
        field->commitEditing(); // the field keeps what was typed and lets go of the editor
}

bool Window::beginEditing(TextField& field) {
    FieldEditor* editor = fieldEditor(true, &field);
    if (!editor)
        return false;
    std::string text = field.stringValue();
    editor->setDelegate(&field);
    editor->setString(text);
    editor->selectAll();
    field.attachEditor(editor);
    _firstResponder = editor;
    return true;
}

bool Window::makeFirstResponder(View* responder) {
    if (responder == _firstResponder)
        return true;
    if (auto* editor = dynamic_cast<FieldEditor*>(_firstResponder);
        editor && responder == editor->delegate())
        return true; // the field is already being edited
    if (!endCurrentEditing(true))
        return false;
    if (_firstResponder && !_firstResponder->resignFirstResponder())
        return false;
    _firstResponder = nullptr;
    if (!responder)
        return true;
    if (auto* field = dynamic_cast<TextField*>(responder)) {
        if (!field->acceptsFirstResponder())
            return false;
        return beginEditing(*field);
    }
    if (!responder->acceptsFirstResponder() || !responder->becomeFirstResponder())
        return false;
    _firstResponder = responder;
    return true;
}

void Window::endEditingFor(View*) {
    endCurrentEditing(false);
}

namespace {

Button* defaultButtonIn(View& view) {
    for (const auto& child : view.subviews()) {
        auto* button = dynamic_cast<Button*>(child.get());
        if (button && button->keyEquivalent() == "\r" && button->isEnabled() &&
            !button->isHidden())
            return button;
        if (Button* inner = defaultButtonIn(*child))
            return inner;
    }
    return nullptr;
}

} // namespace

bool Window::performDefaultButton() {
    Button* button = _contentView ? defaultButtonIn(*_contentView) : nullptr;
    return button && button->performClick();
}

void Window::attachSheet(Window* sheet) {
    _attachedSheet = sheet;
    if (sheet)
        sheet->_sheetParent = this;
}

void Window::detachSheet() {
    if (_attachedSheet)
        _attachedSheet->_sheetParent = nullptr;
    _attachedSheet = nullptr;
}

} // namespace velmora::ui
