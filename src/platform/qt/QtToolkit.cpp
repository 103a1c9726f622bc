#include "platform/qt/QtToolkit.h"

#include "platform/foundation/RunLoop.h"
#include "platform/qt/MirroredView.h"
#include "platform/qt/QtAlertDialog.h"
#include "platform/qt/QtWindow.h"
#include "platform/qt/ViewMirror.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/FilePanel.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QTimer>

#include <algorithm>

namespace velmora::qt {

// The event loop of one modal run or sheet, and when it is over.
struct QtToolkit::Loop {
    QEventLoop loop;
    std::function<bool()> finished;
};

QtToolkit& QtToolkit::shared() {
    static QtToolkit toolkit;
    return toolkit;
}

void QtToolkit::install() {
    if (_installed)
        return;
    _installed = true;
    auto& app = ui::Application::shared();
    app.setInteraction([this](ui::Window& window) { present(window); });
    app.setAlertPresenter([this](const ui::Alert& alert, ui::Window* sheetParent) {
        return presentAlert(alert, sheetParent);
    });
    app.setPanelPresenter([this](ui::SavePanel& panel) { return presentPanel(panel); });
    MirroredView::setActionDone([this] { refreshAll(); });
    // Actions the toolkit defers run from Qt's event loop.
    _runLoopTimer = new QTimer(qApp);
    QObject::connect(_runLoopTimer, &QTimer::timeout, [this] { runDeferredActions(); });
    _runLoopTimer->start(20);
}

void QtToolkit::uninstall() {
    if (!_installed)
        return;
    _installed = false;
    auto& app = ui::Application::shared();
    app.setInteraction(nullptr);
    app.setAlertPresenter(nullptr);
    app.setPanelPresenter(nullptr);
    MirroredView::setActionDone(nullptr);
    delete _runLoopTimer.data();
}

void QtToolkit::addMirror(ViewMirror* mirror) {
    _mirrors.push_back(mirror);
}

void QtToolkit::removeMirror(ViewMirror* mirror) {
    _mirrors.erase(std::remove(_mirrors.begin(), _mirrors.end(), mirror), _mirrors.end());
}

QtWindow* QtToolkit::windowFor(const ui::Window* window) const {
    for (auto* shown : _windows)
        if (shown->address() == window)
            return shown;
    return nullptr;
}

QWidget* QtToolkit::widgetFor(const ui::View* view) const {
    for (auto* window : _windows)
        if (QWidget* widget = window->mirror().widgetFor(view))
            return widget;
    for (auto* mirror : _mirrors)
        if (QWidget* widget = mirror->widgetFor(view))
            return widget;
    return nullptr;
}

void QtToolkit::refreshAll() {
    if (_refreshing)
        return;
    _refreshing = true;
    for (auto* mirror : std::vector<ViewMirror*>(_mirrors))
        mirror->refresh();
    for (auto* window : std::vector<QtWindow*>(_windows))
        window->refresh();
    _refreshing = false;
    if (_refreshed)
        _refreshed();
    quitFinishedLoops();
}

void QtToolkit::quitFinishedLoops() {
    for (auto* loop : _loops)
        if (loop->finished())
            loop->loop.quit();
}

void QtToolkit::runDeferredActions() {
    auto& app = ui::Application::shared();
    // While an alert or a file panel waits for its answer nothing deferred runs: a pane's
    // deferred step could otherwise re-enter the change the alert is part of. It runs once the
    // person has answered.
    if (_modalPanels > 0)
        return;
    auto mode = app.modalWindow() ? RunLoop::kModalPanelMode : RunLoop::kDefaultMode;
    if (RunLoop::main().runPending(mode) > 0)
        refreshAll();
}

// A sheet belongs to the window that shows its parent: a toolkit window, or the Qt window that
// hosts a mirror of it (the print dialog's panel), so that it blocks that window.
QWidget* QtToolkit::dialogParent(ui::Window* sheetParent) const {
    if (sheetParent) {
        if (QtWindow* parent = windowFor(sheetParent))
            return parent;
        for (auto* mirror : _mirrors)
            if (auto root = mirror->root(); root && root->window() == sheetParent && mirror->host())
                return mirror->host()->window();
    }
    if (!_windows.empty())
        return _windows.back();
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (auto* mirror : _mirrors)
        if (mirror->host())
            return mirror->host()->window();
    return nullptr;
}

void QtToolkit::present(ui::Window& window) {
    auto& app = ui::Application::shared();
    bool modal = app.modalWindow() == &window;
    ui::Window* sheetParent = window.sheetParent();
    auto shared = window.shared_from_this();

    auto* dialog = new QtWindow(shared, dialogParent(sheetParent));
    if (_companion)
        if (QWidget* companion = _companion(window, dialog))
            dialog->setCompanion(companion);
    dialog->setWindowFlag(Qt::Dialog);
    dialog->setWindowModality(modal || !sheetParent ? Qt::ApplicationModal : Qt::WindowModal);
    _windows.push_back(dialog);

    Loop loop;
    // A window run inside this one (About over the detailed settings) does not end this run.
    loop.finished = [&app, &window, modal, shared] {
        if (modal)
            return app.modalWindow() == &window && app.isModalStopped();
        return window.sheetParent() == nullptr;
    };
    _loops.push_back(&loop);
    dialog->show();
    refreshAll();
    if (_windowShown)
        QTimer::singleShot(0, dialog, [this, dialog] {
            if (_windowShown)
                _windowShown(*dialog);
        });
    while (!loop.finished())
        loop.loop.exec();
    _loops.erase(std::find(_loops.begin(), _loops.end(), &loop));
    _windows.erase(std::find(_windows.begin(), _windows.end(), dialog));
    dialog->hide();
    dialog->deleteLater();
    refreshAll();
}

std::size_t QtToolkit::presentAlert(const ui::Alert& alert, ui::Window* sheetParent) {
    QtAlertDialog dialog(alert, dialogParent(sheetParent));
    dialog.setWindowModality(sheetParent ? Qt::WindowModal : Qt::ApplicationModal);
    if (_alertShown)
        QTimer::singleShot(0, &dialog, [this, &dialog] {
            if (_alertShown)
                _alertShown(dialog);
        });
    ModalPanelOpen open(_modalPanels);
    dialog.exec();
    return dialog.answer();
}

long QtToolkit::presentPanel(ui::SavePanel& panel) {
    auto* open = dynamic_cast<ui::OpenPanel*>(&panel);
    QFileDialog dialog(dialogParent(nullptr), toQString(panel.message()),
                       toQString(panel.directory()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QStringList filters;
    for (const auto& type : panel.allowedFileTypes())
        filters << "*." + toQString(type);
    if (!filters.isEmpty())
        dialog.setNameFilter(filters.join(' '));
    if (!panel.prompt().empty())
        dialog.setLabelText(QFileDialog::Accept, toQString(panel.prompt()));
    if (open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(open->canChooseDirectories() && !open->canChooseFiles()
                               ? QFileDialog::Directory
                           : open->allowsMultipleSelection() ? QFileDialog::ExistingFiles
                                                             : QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.selectFile(toQString(panel.nameFieldStringValue()));
    }
    int answer = 0;
    {
        ModalPanelOpen open(_modalPanels);
        answer = dialog.exec();
    }
    if (answer != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return ui::kFileHandlingPanelCancelButton;
    std::vector<std::string> chosen;
    for (const auto& file : dialog.selectedFiles())
        chosen.push_back(fromQString(file));
    panel.setUrl(chosen.front());
    if (open)
        open->setUrls(chosen);
    return ui::kFileHandlingPanelOKButton;
}

} // namespace velmora::qt
