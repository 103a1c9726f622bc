#pragma once

#include "platform/foundation/Value.h"
#include "platform/ui/Color.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class Bundle;
namespace ui {
class BrowserCell;
class Button;
class Control;
class PopUpButton;
class TableView;
class TextField;
} // namespace ui

// Selects the item titled exactly title and answers true. Otherwise selects the item at the
// fallback index when there is one, and answers false; false for no title at all.
bool selectWithTitle(ui::PopUpButton* popUp, const std::optional<std::string>& title,
                     int fallbackIndex);
// The represented object of the selected item; null when nothing is selected.
Value representedObjectOfSelectedItem(const ui::PopUpButton* popUp);
bool isOnAndEnabled(const ui::Button* button);

// "Title" → "Title:"; the reverse removes exactly one trailing colon.
std::string controlTitleString(const std::string& title);
void setTitleString(ui::TextField* field, const std::string& title);
std::string stringByDeletingControlTitleSuffix(const std::string& title);

// The value for key in the dictionary that the control's cell represents; null otherwise.
Value representedObjectForKey(const ui::Control* control, const std::string& key);

// Enables or disables a label and greys its text, since a disabled label does not grey itself.
void setEnabledWithColor(ui::TextField* field, bool enabled);
// The colour disabled labels get: the toolkit's disabled text colour from version 909 on,
// before that the secondary selected-control colour. Worked out once and kept.
ui::Color disabledTextColor();
void resetDisabledTextColor();
// Labels go through setEnabledWithColor, every other control just gets the state.
void setEnabledConrtols(bool enabled, const std::vector<ui::Control*>& controls);
// As setEnabledConrtols with the check box's isOnAndEnabled, which is returned.
bool setEnabledConrtolsByCheckBox(const ui::Button* checkBox,
                                  const std::vector<ui::Control*>& controls);

// Stores the object only when there is one.
void SetIfObjectForKey(Dictionary& dictionary, const std::optional<Value>& object,
                       const std::string& key);
// The dictionary in the bundle's resource name.plist; null when an argument is missing, the
// file is missing or it holds no dictionary.
std::optional<Dictionary> DictionaryNamed(const std::optional<std::string>& name,
                                          const Bundle* bundle);
// Gives the column a leaf browser cell that wraps its text; null when there is no such column.
std::shared_ptr<ui::BrowserCell> setBrowserCellToColumn(ui::TableView* table,
                                                        const std::string& identifier);

} // namespace velmora
