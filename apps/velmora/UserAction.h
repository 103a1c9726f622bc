#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {
class ZEMAUI;
namespace ui {
class TextField;
class Window;
} // namespace ui
} // namespace velmora

namespace velmora::app {

// Sets an option the way a user would on its control: picks the pop-up item, clicks the check
// box or radio cell, moves the slider, picks the date, or types into the field and leaves it.
// Returns an error message when the control cannot take the value.
std::optional<std::string> actAsUser(ZEMAUI& control, const std::string& value, ui::Window& window);

// The option control of a key among the controls, their children included; null when none.
ZEMAUI* findOptionControl(const std::vector<std::shared_ptr<ZEMAUI>>& controls,
                          const std::string& key);

// Types the text into the field key by key, replacing what it held, and leaves it; says why
// when the field refused keys.
std::optional<std::string> typeAsUser(ui::TextField& field, const std::string& text,
                                      ui::Window& window);

} // namespace velmora::app
