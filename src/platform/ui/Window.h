#pragma once

#include "platform/ui/Event.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>

namespace velmora::ui {

class FieldEditor;
class TextField;
class Window;

class WindowDelegate {
public:
    virtual ~WindowDelegate() = default;
    // A field editor of the delegate's own for object, or null for the window's shared one.
    virtual FieldEditor* windowWillReturnFieldEditor(Window&, View* object) {
        (void)object;
        return nullptr;
    }
    virtual bool windowShouldClose(Window&) { return true; }
    virtual void windowWillClose(Window&) {}
};

// Window levels, as the window server numbers them.
inline constexpr int kNormalWindowLevel = 0;
inline constexpr int kMainMenuWindowLevel = 24;

// A window with a content view, a first responder and an optional attached sheet.
class Window : public std::enable_shared_from_this<Window> {
public:
    explicit Window(Rect frame = {}, std::string title = {});
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    virtual std::string className() const { return "NSWindow"; }

    std::shared_ptr<View> contentView() const { return _contentView; }
    void setContentView(std::shared_ptr<View> view);
    const std::string& title() const { return _title; }
    void setTitle(std::string title) { _title = std::move(title); }
    Rect frame() const { return _frame; }
    void setFrame(Rect frame);
    // Frames are remembered by autosave name for the life of the process: a window given a
    // name that a frame was saved under takes that frame.
    const std::string& frameAutosaveName() const { return _autosaveName; }
    void setFrameAutosaveName(std::string name);
    void center();

    int level() const { return _level; }
    void setLevel(int level) { _level = level; }
    bool hasShadow() const { return _hasShadow; }
    void setHasShadow(bool shadow) { _hasShadow = shadow; }
    bool isBorderless() const { return _borderless; }
    void setBorderless(bool borderless) { _borderless = borderless; }
    virtual bool canBecomeKeyWindow() const { return !_borderless; }
    virtual bool canBecomeMainWindow() const { return !_borderless; }

    bool isVisible() const { return _visible; }
    bool isKeyWindow() const { return _key; }
    void makeKeyAndOrderFront();
    void orderFront() { _visible = true; }
    void orderOut();
    // Closes without asking the delegate; performClose asks it first.
    virtual void close();
    virtual void performClose();
    // Draws the window (counted; a headless toolkit has nothing to draw).
    virtual void display() { ++_displayCount; }
    int displayCount() const { return _displayCount; }

    WindowDelegate* delegate() const { return _delegate; }
    void setDelegate(WindowDelegate* delegate) { _delegate = delegate; }

    // The view that has the focus: while a text field is edited this is the field editor.
    View* firstResponder() const { return _firstResponder; }
    // Moves the focus. Leaving a text field ends its editing, which the field editor, the
    // field and the field's delegate may refuse: then the focus stays and false is returned.
    bool makeFirstResponder(View* responder);
    // Ends the editing of the current text field without asking anyone.
    void endEditingFor(View* object);
    // Presses the enabled button whose key equivalent is Return; false when there is none.
    bool performDefaultButton();
    // The field being edited, if any.
    TextField* editingField() const;
    FieldEditor* fieldEditor(bool create, View* object);
    // A view (with everything below it) is leaving the window: when it holds the focus, the
    // focus is dropped and its editing ends, so that nothing keeps pointing at it.
    void viewWillLeave(const View& view);

    Window* attachedSheet() const { return _attachedSheet; }
    Window* sheetParent() const { return _sheetParent; }
    void attachSheet(Window* sheet);
    void detachSheet();

    // An event reaches the window.
    virtual void sendEvent(const Event& event) { (void)event; }

private:
    Rect _frame;
    std::string _title;
    std::string _autosaveName;
    std::shared_ptr<View> _contentView;
    std::unique_ptr<FieldEditor> _sharedEditor;
    View* _firstResponder = nullptr;
    WindowDelegate* _delegate = nullptr;
    Window* _attachedSheet = nullptr;
    Window* _sheetParent = nullptr;
    int _level = kNormalWindowLevel;
    int _displayCount = 0;
    bool _visible = false;
    bool _key = false;
    bool _hasShadow = true;
    bool _borderless = false;

    bool endCurrentEditing(bool ask);
    bool beginEditing(TextField& field);
};

} // namespace velmora::ui
