#pragma once

#include <memory>
#include <string>

namespace velmora {

namespace ui {
class Window;
}

// Base of the plug-in's window controllers: loads the window from its description once. The
// plug-in's windows are loaded inside the host application, whose own handler for loaded
// interfaces must not run for them, so it is replaced by a no-op while the window loads.
class TDWindowController {
public:
    explicit TDWindowController(std::string windowNibName);
    virtual ~TDWindowController();
    TDWindowController(const TDWindowController&) = delete;
    TDWindowController& operator=(const TDWindowController&) = delete;

    const std::string& windowNibName() const { return _windowNibName; }
    // The window, loaded on first use; null when it could not be loaded.
    std::shared_ptr<ui::Window> window();
    bool isWindowLoaded() const { return _loaded; }

    // Loads the window with the host's handler out of the way; a toolkit exception while
    // loading is swallowed (the window stays null).
    virtual void loadWindow();
    virtual void windowDidLoad() {}

protected:
    // Builds the window of the description; subclasses provide their layout.
    virtual std::shared_ptr<ui::Window> buildWindow() = 0;
    std::shared_ptr<ui::Window> _window;

private:
    std::string _windowNibName;
    bool _loaded = false;
};

} // namespace velmora
