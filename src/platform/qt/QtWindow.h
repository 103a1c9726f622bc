#pragma once

#include "platform/qt/ViewMirror.h"

#include <QDialog>

class QScrollArea;

#include <memory>

namespace velmora::ui {
class Button;
class Window;
} // namespace velmora::ui

namespace velmora::qt {

// A toolkit window on screen: a dialog of the window's content size (at most the screen's, the
// content then scrolls) and title whose content mirrors the window's content view. Return presses
// the default button (through Qt's default push button); Escape and the title bar's close button
// press the button whose key equivalent is Escape, or else ask the window to close, as the toolkit
// would.
class QtWindow : public QDialog {
public:
    explicit QtWindow(std::shared_ptr<ui::Window> window, QWidget* parent = nullptr);
    ~QtWindow() override;

    std::shared_ptr<ui::Window> window() const { return _window.lock(); }
    ui::Window* address() const { return _address; }
    ViewMirror& mirror() { return _mirror; }
    // Brings title, size and every widget up to date with the toolkit window.
    void refresh();
    // Shows a widget of the host's beside the content, at the width it asks for.
    void setCompanion(QWidget* companion);
    QWidget* companion() const { return _companion; }

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::weak_ptr<ui::Window> _window;
    ui::Window* _address;
    QWidget* _content;
    ViewMirror _mirror;
    QScrollArea* _scroll;
    QWidget* _companion = nullptr;

    ui::Button* cancelButton() const;
    void fitToScreen(QSize content);
};

} // namespace velmora::qt
