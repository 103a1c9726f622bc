#pragma once

#include <functional>
#include <memory>
#include <string>

namespace velmora::ui {

class Window;

// Loads a window description. Descriptions are C++ functions that build the view tree; after
// building, the host application is told that an interface was loaded (its awake handler).
namespace InterfaceLoader {

using WindowLayout = std::function<std::shared_ptr<Window>()>;

// Throws ToolkitException when there is no layout or it builds no window.
std::shared_ptr<Window> load(const std::string& name, const WindowLayout& layout);

} // namespace InterfaceLoader
} // namespace velmora::ui
