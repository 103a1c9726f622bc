#include "ScreenshotTour.h"

#include "PrintDialogWindow.h"

#include "panel/DetailedSettingsWinController.h"
#include "panel/LornPDEByCocoa.h"
#include "panel/PanelLayout.h"
#include "platform/qt/LayoutInspector.h"
#include "platform/qt/MirroredView.h"
#include "platform/qt/QtToolkit.h"
#include "platform/qt/QtWindow.h"
#include "platform/qt/ViewMirror.h"
#include "platform/ui/Button.h"
#include "platform/ui/PopUpButton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QPixmap>

#include <filesystem>

namespace velmora::app {
namespace {

// The widget that shows a toolkit view in a window, if it is shown.
QWidget* widgetIn(qt::QtWindow& window, const ui::View* view) {
    return window.mirror().widgetFor(view);
}

void clickWidget(QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->click();
}

// Picks the item with the tag in a pop-up as a person would.
void chooseTag(qt::QtWindow& window, ui::PopUpButton& popUp, long tag) {
    auto* combo = qobject_cast<QComboBox*>(widgetIn(window, &popUp));
    int index = popUp.indexOfItemWithTag(tag);
    if (!combo || index < 0)
        return;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

} // namespace

ScreenshotTour::ScreenshotTour(PrintDialogWindow& dialog, std::string folder)
    : _dialog(dialog), _folder(std::move(folder)) {}

void ScreenshotTour::capture(QWidget& widget, const std::string& name) {
    qt::QtToolkit::shared().refreshAll();
    QApplication::processEvents();
    std::string path = (std::filesystem::path(_folder) / (name + ".png")).string();
    if (widget.grab().save(qt::toQString(path)))
        _written.push_back(path);
    else
        _problems.push_back(name + ": cannot write " + path);
    for (const auto& problem : qt::layoutProblems(widget))
        _problems.push_back(name + ": " + problem);
}

ScreenshotTour::Step ScreenshotTour::captureAndClose(const std::string& name) {
    return [this, name](qt::QtWindow& window) {
        capture(window, name);
        window.reject();
    };
}

ScreenshotTour::Step ScreenshotTour::detailedSettings() {
    return [this](qt::QtWindow& window) {
        auto panel = _dialog.panel();
        auto& views = panel->detailedSettingsWinController()->views();
        chooseTag(window, *views.viewStyle, 1);
        capture(window, "detailed-settings-tabs");
        chooseTag(window, *views.viewStyle, 2);
        capture(window, "detailed-settings-outline");
        chooseTag(window, *views.viewStyle, 1);
        _steps.insert(_steps.begin(), captureAndClose("about"));
        clickWidget(widgetIn(window, views.versionInfo.get()));
        window.reject();
    };
}

void ScreenshotTour::openFromPanel(const void* button, std::vector<Step> steps) {
    _steps = std::move(steps);
    auto* widget = _dialog.mirror()->widgetFor(static_cast<const ui::View*>(button));
    if (!widget || !widget->isVisibleTo(&_dialog)) {
        _steps.clear();
        return;
    }
    clickWidget(widget);
    _steps.clear();
}

void ScreenshotTour::openByPanel(const std::function<void()>& open, std::vector<Step> steps) {
    _steps = std::move(steps);
    open();
    _steps.clear();
}

std::vector<std::string> ScreenshotTour::run() {
    std::error_code code;
    std::filesystem::create_directories(_folder, code);
    auto& toolkit = qt::QtToolkit::shared();
    toolkit.setWindowShownHook([this](qt::QtWindow& window) {
        if (_steps.empty()) {
            window.reject();
            return;
        }
        Step step = std::move(_steps.front());
        _steps.erase(_steps.begin());
        step(window);
    });
    _dialog.show();
    _dialog.refreshSummary();
    capture(_dialog, "print-dialog");

    auto panel = _dialog.panel();
    const PanelViews& views = panel->views();
    openFromPanel(views.showDetailedSettingsButton.get(), {detailedSettings()});
    openFromPanel(views.jobNameButton.get(), {captureAndClose("job-name")});
    openFromPanel(views.automaticPaperTraySelectionButton.get(),
                  {captureAndClose("paper-tray-selection")});
    // The bypass tray's button is enabled only for the bypass tray, and the favorites strip
    // may be hidden: these windows are opened the way their buttons would open them.
    openByPanel(
        [&] {
            panel->clickedSelectPaperTraySelectionButton(
                views.bypassPaperTraySelectionButton->tag());
        },
        {captureAndClose("bypass-tray-selection")});
    openByPanel([&] { panel->clickedSaveFavoriteButton(); }, {captureAndClose("save-favorite")});
    openByPanel([&] { panel->clickedBrowseFavoriteButton(); }, {captureAndClose("favorites")});
    toolkit.setWindowShownHook(nullptr);
    return _problems;
}

} // namespace velmora::app
