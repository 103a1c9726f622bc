#pragma once

#include "platform/foundation/RunLoop.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora {
class Bundle;
}

namespace velmora::ui {

class Alert;
class SavePanel;
class Window;

// Modal responses.
inline constexpr long kModalResponseStop = -1000;
inline constexpr long kModalResponseAbort = -1001;

// A modal run that ended without anyone stopping it: the interaction script is wrong.
class ModalRunError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// The exception type of the toolkit itself (for example a layout that cannot be loaded).
class ToolkitException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The application: runs modal windows, sheets, alerts and file panels. A headless toolkit
// cannot wait for a person, so whoever drives it installs an *interaction*, called with every
// window that is run modally or shown as a sheet, which clicks, types and finally stops the
// run; an *alert presenter*, which answers alerts with a button index; and a *panel
// presenter*, which answers open and save panels. A modal run that the interaction leaves
// running ends with ModalRunError instead of hanging.
class Application {
public:
    using Interaction = std::function<void(Window& window)>;
    // Returns the index of the button that answers the alert; sheetParent is the window the
    // alert is attached to, or null for a modal alert.
    using AlertPresenter = std::function<std::size_t(const Alert& alert, Window* sheetParent)>;
    using PanelPresenter = std::function<long(SavePanel& panel)>;

    static Application& shared();
    Application() = default;

    Interaction setInteraction(Interaction interaction);
    AlertPresenter setAlertPresenter(AlertPresenter presenter);
    PanelPresenter setPanelPresenter(PanelPresenter presenter);

    long runModalForWindow(Window& window);
    void stopModal() { stopModalWithCode(kModalResponseStop); }
    void stopModalWithCode(long code);
    void abortModal() { stopModalWithCode(kModalResponseAbort); }
    Window* modalWindow() const;
    // Whether the innermost modal run has been told to stop (it ends when its caller returns).
    bool isModalStopped() const { return !_sessions.empty() && _sessions.back().stopped; }

    // Attaches the sheet to the window and hands it to the interaction; endSheet detaches it
    // and reports the code to the handler given here.
    void beginSheet(Window& sheet, Window& parent, std::function<void(long code)> didEnd = {});
    void endSheet(Window& sheet, long code = kModalResponseStop);

    // Shows an alert and returns its response (kAlertFirstButtonReturn + index). Without a
    // presenter the first button answers.
    long runAlert(Alert& alert, Window* sheetParent);
    // Without a presenter the panel is cancelled.
    long runPanel(SavePanel& panel);

    void beep() { ++_beeps; }
    int beepCount() const { return _beeps; }

    // Becoming active or inactive posts NSApplicationDidBecomeActiveNotification or
    // NSApplicationDidResignActiveNotification on the default notification centre.
    bool isActive() const { return _active; }
    void setActive(bool active);

    RunLoop& runLoop() { return *_runLoop; }
    void setRunLoop(RunLoop* loop) { _runLoop = loop ? loop : &RunLoop::main(); }

    // The host application's handler that runs when an interface description is loaded.
    std::function<void()> setAwakeFromNibHandler(std::function<void()> handler);
    void awakeFromNib();

    // The toolkit's version number; the platform reports a modern toolkit.
    static constexpr double kCurrentToolkitVersion = 2299.0;
    double toolkitVersion() const { return _toolkitVersion; }
    void setToolkitVersion(double version) { _toolkitVersion = version; }

    // The host application's bundle (its information dictionary), when there is one.
    std::shared_ptr<Bundle> mainBundle() const { return _mainBundle; }
    void setMainBundle(std::shared_ptr<Bundle> bundle) { _mainBundle = std::move(bundle); }

private:
    struct ModalSession {
        Window* window;
        bool stopped = false;
        long code = 0;
    };
    struct Sheet {
        Window* sheet;
        std::function<void(long)> didEnd;
    };

    Interaction _interaction;
    AlertPresenter _alertPresenter;
    PanelPresenter _panelPresenter;
    std::vector<ModalSession> _sessions;
    std::vector<Sheet> _sheets;
    RunLoop* _runLoop = &RunLoop::main();
    std::function<void()> _awakeFromNib;
    std::shared_ptr<Bundle> _mainBundle;
    double _toolkitVersion = kCurrentToolkitVersion;
    int _beeps = 0;
    bool _active = true;
};

} // namespace velmora::ui
