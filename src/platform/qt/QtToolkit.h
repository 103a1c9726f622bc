#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QDialog;
class QTimer;
class QWidget;

namespace velmora::ui {
class Alert;
class SavePanel;
class View;
class Window;
} // namespace velmora::ui

namespace velmora::qt {

class QtWindow;
class ViewMirror;

// Puts the toolkit on screen: every window the toolkit runs modally or shows as a sheet becomes
// a dialog (application-modal, or window-modal on its parent), alerts and open and save panels
// become Qt dialogs, and after every action a person takes every window shows the toolkit's
// state. A modal run ends only when the toolkit says so: the dialog's event loop runs until the
// run is stopped or the sheet ended.
class QtToolkit {
public:
    static QtToolkit& shared();

    // Installs the presenters on the toolkit's application (once a QApplication exists).
    void install();
    void uninstall();
    bool isInstalled() const { return _installed; }

    // A mirror that lives outside a toolkit window (the print dialog's panel area).
    void addMirror(ViewMirror* mirror);
    void removeMirror(ViewMirror* mirror);
    void refreshAll();

    // The dialog that shows a toolkit window, when it is on screen.
    QtWindow* windowFor(const ui::Window* window) const;
    const std::vector<QtWindow*>& windows() const { return _windows; }
    // The widget that shows a view in any window or mirror, or null.
    QWidget* widgetFor(const ui::View* view) const;

    // Called with each toolkit window once it is on screen and with each alert dialog once it
    // is shown, inside their event loops (tests and screenshots act there as a person would).
    void setWindowShownHook(std::function<void(QtWindow&)> hook) { _windowShown = std::move(hook); }
    void setAlertShownHook(std::function<void(QDialog&)> hook) { _alertShown = std::move(hook); }
    // Run after every refresh (the print dialog follows the summary this way).
    void setRefreshHook(std::function<void()> hook) { _refreshed = std::move(hook); }
    // Asked for a widget to show beside each toolkit window's content as the window opens (the
    // print dialog's preview beside the detailed settings); null for none. The window owns it.
    using CompanionFactory = std::function<QWidget*(const ui::Window& window, QWidget* parent)>;
    void setCompanionFactory(CompanionFactory factory) { _companion = std::move(factory); }

private:
    QtToolkit() = default;
    struct Loop;

    bool _installed = false;
    std::vector<QtWindow*> _windows;
    std::vector<ViewMirror*> _mirrors;
    std::vector<Loop*> _loops;
    std::function<void(QtWindow&)> _windowShown;
    std::function<void(QDialog&)> _alertShown;
    std::function<void()> _refreshed;
    CompanionFactory _companion;
    QPointer<QTimer> _runLoopTimer;
    bool _refreshing = false;
    int _modalPanels = 0; // alerts and file panels open
    // Counts one open alert or file panel for as long as it runs, however its run ends.
    struct ModalPanelOpen {
        explicit ModalPanelOpen(int& count) : _count(count) { ++_count; }
        ~ModalPanelOpen() { --_count; }
        ModalPanelOpen(const ModalPanelOpen&) = delete;
        ModalPanelOpen& operator=(const ModalPanelOpen&) = delete;
        int& _count;
    };

    void present(ui::Window& window);
    QWidget* dialogParent(ui::Window* sheetParent) const;
    std::size_t presentAlert(const ui::Alert& alert, ui::Window* sheetParent);
    long presentPanel(ui::SavePanel& panel);
    void runDeferredActions();
    void quitFinishedLoops();
};

} // namespace velmora::qt
