#include "common/TDWindowController.h"

#include "platform/ui/Application.h"
#include "platform/ui/InterfaceLoader.h"
#include "platform/ui/Window.h"

namespace velmora {
namespace {

void pseudo_awakeFromNib() {}

// Puts the host's handler back however the load ends.
class AwakeHandlerSwap {
public:
    AwakeHandlerSwap()
        : _saved(ui::Application::shared().setAwakeFromNibHandler(pseudo_awakeFromNib)) {}
    ~AwakeHandlerSwap() { ui::Application::shared().setAwakeFromNibHandler(std::move(_saved)); }
    AwakeHandlerSwap(const AwakeHandlerSwap&) = delete;
    AwakeHandlerSwap& operator=(const AwakeHandlerSwap&) = delete;

private:
    std::function<void()> _saved;
};

} // namespace

TDWindowController::TDWindowController(std::string windowNibName)
    : _windowNibName(std::move(windowNibName)) {}

TDWindowController::~TDWindowController() = default;

std::shared_ptr<ui::Window> TDWindowController::window() {
    if (!_loaded) {
        _loaded = true;
        loadWindow();
        if (_window)
            windowDidLoad();
    }
    return _window;
}

void TDWindowController::loadWindow() {
    AwakeHandlerSwap swap;
    try {
        _window = ui::InterfaceLoader::load(_windowNibName, [this] { return buildWindow(); });
    } catch (const ui::ToolkitException&) {
        _window.reset();
    }
}

} // namespace velmora
