#pragma once

#include "platform/foundation/Value.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class Bundle;
class ZEMAUI;
namespace ui {
class Control;
class Image;
class MenuItem;
class PopUpButton;
class View;
} // namespace ui

// What the panes and the panel do with plain controls, whoever owns them: find the option
// controls placed in a view, fill pop-ups with items that carry their option keyword, read and
// write the value a control stands for, hide or disable several at once, act later. None of it
// needs the manager's state.
class PaneControlServices {
public:
    // The text a value stands for in a control: its string, or "True"/"False".
    static std::string textOf(const Value& value);
    // A pane bundle's string for key (its Localizable table), the key itself when it has none.
    static std::string plugInString(const Bundle& bundle, const std::string& key);
    static std::vector<std::shared_ptr<ZEMAUI>> getZEMAUIControls(const ui::View* view);
    static std::shared_ptr<ZEMAUI>
    getZEMAUIOneControl(const std::vector<std::shared_ptr<ZEMAUI>>& controls,
                        const std::string& key);
    static std::shared_ptr<ui::Image> imageWithName(const std::string& name, const Bundle* bundle);
    static void setHidden(bool hidden, const std::vector<ui::View*>& conrtols);
    static void setEnabled(bool enabled, const std::vector<ui::Control*>& dependentConrtols);
    static void addMenuItem(ui::PopUpButton* menu, const std::optional<std::string>& mainKeyword,
                            const std::optional<std::string>& optionAlias,
                            const std::optional<std::string>& optionKeyword);
    static void setMenuItem(ui::MenuItem* item, const std::optional<std::string>& mainKeyword,
                            const std::optional<std::string>& optionAlias,
                            const std::optional<std::string>& optionKeyword);
    static Value representedObjectOfMenuItem(const ui::MenuItem* item, const std::string& key);
    static Value representedObject(const ui::Control* object, const std::string& key);
    // Sends the sender's action to its target on the next pass of the run loop, also while a
    // modal window is up.
    static void delayedAction(const std::shared_ptr<ui::Control>& sender);
    static Value getValueFromControl(const ui::Control* control);
    static void setValueToControl(ui::Control* control, const Value& value);
};

} // namespace velmora
