#include "platform/qt/QtWindow.h"

#include "platform/qt/QtFonts.h"
#include "platform/qt/ScrolledSize.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>

#include <algorithm>

namespace velmora::qt {

QtWindow::QtWindow(std::shared_ptr<ui::Window> window, QWidget* parent)
    : QDialog(parent), _window(window), _address(window.get()), _content(new QWidget(this)),
      _mirror(window->contentView(), _content), _scroll(new QScrollArea(this)) {
    setFont(toQFont(ui::Font::systemFont()));
    setObjectName(toQString(window->title()));
    _scroll->setFrameShape(QFrame::NoFrame);
    _scroll->setWidget(_content);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(_scroll, 1);
    refresh();
}

QtWindow::~QtWindow() = default;

void QtWindow::setCompanion(QWidget* companion) {
    _companion = companion;
    _companion->setParent(this);
    layout()->addWidget(_companion);
    fitToScreen(_content->size());
}

void QtWindow::refresh() {
    auto window = _window.lock();
    if (!window || !window->contentView())
        return;
    ui::Size size = window->contentView()->frame().size;
    QSize wanted(static_cast<int>(size.width), static_cast<int>(size.height));
    if (_content->size() != wanted) {
        _content->setFixedSize(wanted);
        fitToScreen(wanted);
    }
    QString title = toQString(window->title());
    if (windowTitle() != title)
        setWindowTitle(title);
    _mirror.refresh();
}

// As large as the content where the screen allows, never larger; a person may make it smaller.
// What does not fit scrolls, so that every control (and OK) can be reached on a small screen or
// at a large scale.
namespace {

// The narrowest the content may become for a companion to be shown beside it.
constexpr int kContentWidthBesideCompanion = 640;

} // namespace

void QtWindow::fitToScreen(QSize content) {
    QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    // Room for the title bar and the frame the window manager adds.
    QSize room = shown ? shown->availableGeometry().size() - QSize(16, 48) : content;
    int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // A companion keeps its width, and is shown only where the content keeps room beside it: on
    // a small screen the window's own controls come first.
    int side = _companion ? _companion->sizeHint().width() + layout()->spacing() : 0;
    if (_companion) {
        bool roomy = room.width() - side >= std::min(content.width(), kContentWidthBesideCompanion);
        _companion->setVisible(roomy);
        side = roomy ? side : 0;
    }
    setMinimumSize(content.boundedTo(QSize(240, 160)) + QSize(side, 0));
    setMaximumSize(content + QSize(bar + side, bar));
    resize(scrolledSize(content, room - QSize(side, 0), bar) + QSize(side, 0));
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
