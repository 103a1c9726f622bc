#include "validation/ValidatingTextFields.h"

#include "common/ControlHelpers.h"
#include "common/Localization.h"
#include "platform/foundation/StringFormat.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Window.h"

namespace velmora {

bool EmptyRefusingFieldEditor::resignFirstResponder() {
    ui::TextField* field = delegate();
    ui::Window* window = field ? field->window() : nullptr;
    if (!field || !window || !window->isVisible() || !string().empty())
        return true;
    ui::Alert alert;
    alert.setMessageText(emptyMessage(*field));
    alert.addButtonWithTitle(BSLocalizedStringOrKey("OK"));
    alert.beginSheetModalForWindow(window, nullptr);
    return false;
}

std::string NoEmptyFieldEditor::emptyMessage(const ui::TextField& field) const {
    Value title = representedObjectForKey(&field, "title");
    return StringFormat::format(BSLocalizedStringOrKey("Enter the %@."),
                                {Value(title.isString() ? *title.string() : std::string("--"))});
}

std::string MailAddressFieldEditor::emptyMessage(const ui::TextField&) const {
    return BSLocalizedStringOrKey("Enter a valid E-mail address.");
}

} // namespace velmora
