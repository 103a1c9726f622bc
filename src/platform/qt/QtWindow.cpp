#include "platform/qt/QtWindow.h"

#include "platform/qt/QtFonts.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Window.h"

#include <QCloseEvent>

namespace velmora::qt {

QtWindow::QtWindow(std::shared_ptr<ui::Window> window, QWidget* parent)
    : QDialog(parent), _window(window), _address(window.get()), _content(new QWidget(this)),
      _mirror(window->contentView(), _content) {
    setFont(toQFont(ui::Font::systemFont()));
    setObjectName(toQString(window->title()));
    refresh();
}

QtWindow::~QtWindow() = default;

void QtWindow::refresh() {
    auto window = _window.lock();
    if (!window || !window->contentView())
        return;
    ui::Size size = window->contentView()->frame().size;
    QSize wanted(static_cast<int>(size.width), static_cast<int>(size.height));
    if (_content->size() != wanted) {
        _content->setGeometry(0, 0, wanted.width(), wanted.height());
        setFixedSize(wanted);
    }
    QString title = toQString(window->title());
    if (windowTitle() != title)
        setWindowTitle(title);
    _mirror.refresh();
}

ui::Button* QtWindow::cancelButton() const {
    auto window = _window.lock();
    if (!window || !window->contentView())
        return nullptr;
    for (const auto& button : window->contentView()->descendantsOfType<ui::Button>())
        if (button->keyEquivalent() == "\x1b" && !button->isHiddenOrHasHiddenAncestor())
            return button.get();
    return nullptr;
}

void QtWindow::reject() {
    auto window = _window.lock();
    if (ui::Button* cancel = cancelButton())
        cancel->performClick();
    else if (window && ui::Application::shared().modalWindow() == window.get())
        ui::Application::shared().abortModal();
    else if (window)
        window->performClose();
    MirroredView::actionDone();
}

void QtWindow::closeEvent(QCloseEvent* event) {
    // The toolkit decides whether the window goes; the toolkit refresh hides it when it does.
    event->ignore();
    reject();
}

} // namespace velmora::qt
