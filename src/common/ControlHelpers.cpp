#include "common/ControlHelpers.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/PropertyList.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace velmora {
namespace {

std::optional<ui::Color>& cachedDisabledColor() {
    static std::optional<ui::Color> color;
    return color;
}

constexpr double kFirstToolkitWithDisabledTextColor = 909;

} // namespace

bool selectWithTitle(ui::PopUpButton* popUp, const std::optional<std::string>& title,
                     int fallbackIndex) {
    if (!popUp || !title)
        return false;
    int index = popUp->indexOfItemWithTitle(*title);
    if (index >= 0) {
        popUp->selectItemAtIndex(index);
        return true;
    }
    if (fallbackIndex >= 0 && fallbackIndex < popUp->numberOfItems())
        popUp->selectItemAtIndex(fallbackIndex);
    return false;
}

Value representedObjectOfSelectedItem(const ui::PopUpButton* popUp) {
    if (!popUp)
        return {};
    auto item = popUp->selectedItem();
    return item ? item->representedObject() : Value();
}

bool isOnAndEnabled(const ui::Button* button) {
    return button && button->state() == ui::kOnState && button->isEnabled();
}

std::string controlTitleString(const std::string& title) {
    return title + ":";
}

void setTitleString(ui::TextField* field, const std::string& title) {
    if (field)
        field->setStringValue(controlTitleString(title));
}

std::string stringByDeletingControlTitleSuffix(const std::string& title) {
    if (!title.empty() && title.back() == ':')
        return title.substr(0, title.size() - 1);
    return title;
}

Value representedObjectForKey(const ui::Control* control, const std::string& key) {
    if (!control)
        return {};
    const Dictionary* description = control->cell().representedObject().dictionary();
    return description ? description->get(key) : Value();
}

ui::Color disabledTextColor() {
    auto& cached = cachedDisabledColor();
    if (!cached) {
        bool modern =
            ui::Application::shared().toolkitVersion() >= kFirstToolkitWithDisabledTextColor;
        cached = modern ? ui::Color::disabledControlText() : ui::Color::secondarySelectedControl();
        if (cached->name.empty())
            cached = ui::Color::lightGray();
    }
    return *cached;
}

void resetDisabledTextColor() {
    cachedDisabledColor().reset();
}

void setEnabledWithColor(ui::TextField* field, bool enabled) {
    if (!field)
        return;
    field->setEnabled(enabled);
    field->setTextColor(enabled ? ui::Color::controlText() : disabledTextColor());
}

void setEnabledConrtols(bool enabled, const std::vector<ui::Control*>& controls) {
    for (ui::Control* control : controls) {
        auto* field = dynamic_cast<ui::TextField*>(control);
        if (field && !field->isEditable())
            setEnabledWithColor(field, enabled);
        else if (control)
            control->setEnabled(enabled);
    }
}

bool setEnabledConrtolsByCheckBox(const ui::Button* checkBox,
                                  const std::vector<ui::Control*>& controls) {
    bool enabled = isOnAndEnabled(checkBox);
    setEnabledConrtols(enabled, controls);
    return enabled;
}

void SetIfObjectForKey(Dictionary& dictionary, const std::optional<Value>& object,
                       const std::string& key) {
    if (object && !object->isNull())
        dictionary.set(key, *object);
}

std::optional<Dictionary> DictionaryNamed(const std::optional<std::string>& name,
                                          const Bundle* bundle) {
    if (!name || !bundle)
        return std::nullopt;
    auto path = bundle->pathForResource(*name, "plist");
    if (!path)
        return std::nullopt;
    auto value = PropertyList::readFile(*path);
    if (!value || !value->dictionary())
        return std::nullopt;
    return *value->dictionary();
}

std::shared_ptr<ui::BrowserCell> setBrowserCellToColumn(ui::TableView* table,
                                                        const std::string& identifier) {
    ui::TableColumn* column = table ? table->tableColumnWithIdentifier(identifier) : nullptr;
    if (!column)
        return nullptr;
    auto cell = std::make_shared<ui::BrowserCell>();
    cell->setLeaf(true);
    cell->setWraps(true);
    column->setDataCell(cell);
    return cell;
}

} // namespace velmora
