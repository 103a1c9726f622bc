#include "UserAction.h"

#include "controls/ZEMATextField.h"
#include "controls/ZEMAUI.h"
#include "platform/foundation/NumberText.h"
#include "platform/ui/Button.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/FieldEditor.h"
#include "platform/ui/Matrix.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace velmora::app {
namespace {

std::string choiceList(const ZEMAUI& control) {
    std::string list;
    for (const auto& choice : control.description().choices())
        if (!choice.choice.empty())
            list += (list.empty() ? "" : ", ") + choice.choice;
    return list;
}

std::string cannotTake(const ZEMAUI& control, const std::string& value, const std::string& why) {
    return control.mainKeyword() + ": cannot take \"" + value + "\": " + why;
}

std::optional<std::string> pickPopUpItem(ZEMAUI& control, const std::string& value) {
    auto popUp = control.popUpButton();
    int index = popUp->indexOfItemWithRepresentedObject(Value(value));
    if (index < 0) {
        std::string offered;
        for (const auto& item : popUp->itemArray())
            if (!item->isSeparatorItem())
                offered += (offered.empty() ? "" : ", ") + item->representedObject().stringValue();
        return cannotTake(control, value, "the menu offers " + offered);
    }
    if (!popUp->selectItemByUser(index))
        return cannotTake(control, value, "that item is disabled");
    return std::nullopt;
}

std::optional<std::string> clickCheckBox(ZEMAUI& control, const std::string& value) {
    auto choices = control.description().choices();
    if (choices.size() < 2 || (value != choices[0].choice && value != choices[1].choice))
        return cannotTake(control, value, "a check box takes " + choiceList(control));
    bool wantChecked = value == choices[0].choice;
    bool checked = control.checkBoxState() == ui::kOnState;
    if (wantChecked != checked)
        control.checkBox()->performClick();
    return std::nullopt;
}

std::optional<std::string> clickRadioCell(ZEMAUI& control, const std::string& value) {
    auto matrix = control.radioMatrix();
    for (int row = 0; row < matrix->numberOfRows(); ++row)
        if (matrix->cellAt(row, 0)->representedObject().stringValue() == value) {
            if (!matrix->clickCellAt(row, 0))
                return cannotTake(control, value, "that choice is disabled");
            return std::nullopt;
        }
    return cannotTake(control, value, "the choices are " + choiceList(control));
}

std::optional<std::string> moveSlider(ZEMAUI& control, const std::string& value) {
    auto choices = control.description().choices();
    if (control.description().hasChoices() && !choices.empty()) {
        auto it = std::find_if(choices.begin(), choices.end(),
                               [&](const ControlChoice& c) { return c.choice == value; });
        if (it == choices.end())
            return cannotTake(control, value, "the choices are " + choiceList(control));
        control.slider()->slideTo(static_cast<double>(it - choices.begin()));
        return std::nullopt;
    }
    control.slider()->slideTo(NumberText::leadingReal(value));
    return std::nullopt;
}

std::optional<std::string> typeIntoField(ZEMAUI& control, const std::string& value,
                                         ui::Window& window) {
    auto field = control.textField();
    std::string typed = value;
    if (field->isNum() && field->rules().usesDecimalComma())
        std::replace(typed.begin(), typed.end(), '.', ',');
    if (auto refused = typeAsUser(*field, typed, window))
        return cannotTake(control, value, *refused);
    return std::nullopt;
}

} // namespace

ZEMAUI* findOptionControl(const std::vector<std::shared_ptr<ZEMAUI>>& controls,
                          const std::string& key) {
    for (const auto& control : controls) {
        if (control->mainKeyword() == key)
            return control.get();
        if (ZEMAUI* child = findOptionControl(control->childControls(), key))
            return child;
    }
    return nullptr;
}

std::optional<std::string> typeAsUser(ui::TextField& field, const std::string& text,
                                      ui::Window& window) {
    if (!window.makeFirstResponder(&field))
        return "the field cannot be edited";
    ui::FieldEditor* editor = field.currentEditor();
    editor->selectAll();
    if (editor->length() > 0)
        editor->deleteBackward();
    bool allTyped = editor->typeText(text);
    std::string shown = editor->string();
    window.makeFirstResponder(nullptr);
    if (!allTyped)
        return "the field refused some of the keys; it shows \"" + shown + "\"";
    // A field that shortens or drops what it is given does so without refusing a key: from the
    // command line that is an error, not a value silently changed.
    if (shown != text)
        return "the field keeps \"" + shown + "\" of it";
    return std::nullopt;
}

std::optional<std::string> actAsUser(ZEMAUI& control, const std::string& value,
                                     ui::Window& window) {
    if (!control.isEnabled())
        return control.mainKeyword() + ": the control is disabled";
    if (control.isHidden())
        return control.mainKeyword() + ": the control is hidden";
    ControlKind kind = control.kind();
    if (kind == ControlKind::PopupButton)
        return pickPopUpItem(control, value);
    if (kind == ControlKind::CheckBox)
        return clickCheckBox(control, value);
    if ((kind == ControlKind::RadioButton || kind == ControlKind::HRadioButton) &&
        control.radioMatrix())
        return clickRadioCell(control, value);
    if (kind == ControlKind::Slider)
        return moveSlider(control, value);
    if (control.textField())
        return typeIntoField(control, value, window);
    if (kind == ControlKind::DatePicker && !control.datePickers().empty()) {
        control.datePickers().front()->pickDate(NumberText::leadingReal(value));
        return std::nullopt;
    }
    return control.mainKeyword() + ": a control of kind \"" + control.kindName() +
           "\" has nothing to set";
}

} // namespace velmora::app
