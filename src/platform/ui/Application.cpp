#include "platform/ui/Application.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Alert.h"
#include "platform/ui/FilePanel.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace velmora::ui {

Application& Application::shared() {
    static Application application;
    return application;
}

Application::Interaction Application::setInteraction(Interaction interaction) {
    return std::exchange(_interaction, std::move(interaction));
}

Application::AlertPresenter Application::setAlertPresenter(AlertPresenter presenter) {
    return std::exchange(_alertPresenter, std::move(presenter));
}

Application::PanelPresenter Application::setPanelPresenter(PanelPresenter presenter) {
    return std::exchange(_panelPresenter, std::move(presenter));
}

long Application::runModalForWindow(Window& window) {
    _sessions.push_back(ModalSession{&window});
    std::size_t depth = _sessions.size();
    window.makeKeyAndOrderFront();
    try {
        _runLoop->runPending(RunLoop::kModalPanelMode);
        if (_interaction && !_sessions[depth - 1].stopped)
            _interaction(window);
        while (!_sessions[depth - 1].stopped &&
               _runLoop->runPending(RunLoop::kModalPanelMode) > 0) {
        }
    } catch (...) {
        _sessions.resize(depth - 1);
        throw;
    }
    ModalSession session = _sessions[depth - 1];
    _sessions.resize(depth - 1);
    if (!session.stopped)
        throw ModalRunError("the modal run of window \"" + window.title() +
                            "\" ended without being stopped");
    return session.code;
}

void Application::stopModalWithCode(long code) {
    if (_sessions.empty())
        return;
    _sessions.back().stopped = true;
    _sessions.back().code = code;
}

Window* Application::modalWindow() const {
    return _sessions.empty() ? nullptr : _sessions.back().window;
}

void Application::beginSheet(Window& sheet, Window& parent, std::function<void(long)> didEnd) {
    parent.attachSheet(&sheet);
    sheet.makeKeyAndOrderFront();
    _sheets.push_back(Sheet{&sheet, std::move(didEnd)});
    if (_interaction)
        _interaction(sheet);
}

void Application::endSheet(Window& sheet, long code) {
    auto it = std::find_if(_sheets.begin(), _sheets.end(),
                           [&](const Sheet& s) { return s.sheet == &sheet; });
    if (it == _sheets.end())
        return;
    auto didEnd = std::move(it->didEnd);
    _sheets.erase(it);
    if (Window* parent = sheet.sheetParent())
        parent->detachSheet();
    if (didEnd)
        didEnd(code);
}

long Application::runAlert(Alert& alert, Window* sheetParent) {
    if (alert.buttons().empty())
        alert.addButtonWithTitle("OK");
    std::size_t index = _alertPresenter ? _alertPresenter(alert, sheetParent) : 0;
    index = std::min(index, alert.buttons().size() - 1);
    return kAlertFirstButtonReturn + static_cast<long>(index);
}

long Application::runPanel(SavePanel& panel) {
    return _panelPresenter ? _panelPresenter(panel) : kFileHandlingPanelCancelButton;
}

void Application::setActive(bool active) {
    if (_active == active)
        return;
    _active = active;
    NotificationCenter::defaultCenter().post(active ? "NSApplicationDidBecomeActiveNotification"
                                                    : "NSApplicationDidResignActiveNotification",
                                             this);
}

std::function<void()> Application::setAwakeFromNibHandler(std::function<void()> handler) {
    return std::exchange(_awakeFromNib, std::move(handler));
}

void Application::awakeFromNib() {
    if (_awakeFromNib)
        _awakeFromNib();
}

long Alert::runModal() {
    return Application::shared().runAlert(*this, nullptr);
}

void Alert::beginSheetModalForWindow(Window* window, std::function<void(long)> handler) {
    long response = Application::shared().runAlert(*this, window);
    if (handler)
        handler(response);
}

long SavePanel::runModal() {
    makeKeyAndOrderFront();
    long response = Application::shared().runPanel(*this);
    orderOut();
    return response;
}

void OpenPanel::setUrls(std::vector<std::string> paths) {
    _urls = std::move(paths);
    setUrl(_urls.empty() ? std::string() : _urls.front());
}

} // namespace velmora::ui
