#include "platform/ui/InterfaceLoader.h"

#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

namespace velmora::ui::InterfaceLoader {

std::shared_ptr<Window> load(const std::string& name, const WindowLayout& layout) {
    std::shared_ptr<Window> window = layout ? layout() : nullptr;
    if (!window)
        throw ToolkitException("could not load the window description \"" + name + "\"");
    Application::shared().awakeFromNib();
    return window;
}

} // namespace velmora::ui::InterfaceLoader
