#pragma once

#include <optional>
#include <string>

namespace velmora {
class ZEMAUI;
namespace ui {
class Window;
}
} // namespace velmora

namespace velmora::app {

// Sets an option the way a user would on its control: picks the pop-up item, clicks the check
// box or radio cell, moves the slider, picks the date, or types into the field and leaves it.
// Returns an error message when the control cannot take the value.
std::optional<std::string> actAsUser(ZEMAUI& control, const std::string& value, ui::Window& window);

} // namespace velmora::app
