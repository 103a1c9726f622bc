#include "common/TDWindowController.h"

#include "common/AwakeHandlerSwap.h"
#include "platform/ui/Application.h"
#include "platform/ui/InterfaceLoader.h"
#include "platform/ui/Window.h"

namespace velmora {

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
