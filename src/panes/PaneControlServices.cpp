// The services every pane and the panel use on plain controls: finding the option controls of a
// view, menu items that carry their option keyword, the value a control stands for.
#include "panes/PaneControlServices.h"

#include "common/ControlHelpers.h"
#include "controls/ZEMAUI.h"
#include "favorites/Scrambling.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/NumberText.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Matrix.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TabView.h"
#include "platform/ui/TextField.h"
#include "validation/MaxBytesFormatter.h"
#include "validation/MaxLengthFormatter.h"

namespace velmora {
namespace {

const Array* representedKeywords(const ui::Control& control) {
    const Dictionary* represented = control.cell().representedObject().dictionary();
    return represented ? represented->get("optionKeywords").array() : nullptr;
}

// The index of a string in an array of values, or -1.
int indexOf(const Array& array, const std::string& text) {
    for (std::size_t i = 0; i < array.size(); ++i) {
        if (const std::string* entry = array[i].string(); entry && *entry == text)
            return static_cast<int>(i);
    }
    return -1;
}

bool escapesItsText(const ui::Control& field) {
    auto formatter = field.formatter();
    return std::dynamic_pointer_cast<MaxBytesFormatterWithEscape>(formatter) ||
           std::dynamic_pointer_cast<MaxLengthFormatterWithEscape>(formatter);
}

} // namespace

namespace {

void collectZEMAUIControls(const ui::View& view, std::vector<std::shared_ptr<ZEMAUI>>& found) {
    for (const auto& subview : view.subviews()) {
        if (subview->className().find("ZEMAUI") != std::string::npos) {
            if (auto control = std::dynamic_pointer_cast<ZEMAUI>(subview))
                found.push_back(control);
        } else if (auto* tabView = dynamic_cast<const ui::TabView*>(subview.get())) {
            for (const auto& item : tabView->tabViewItems()) {
                if (item->view())
                    collectZEMAUIControls(*item->view(), found);
            }
        }
    }
}

} // namespace

std::vector<std::shared_ptr<ZEMAUI>> PaneControlServices::getZEMAUIControls(const ui::View* view) {
    std::vector<std::shared_ptr<ZEMAUI>> found;
    if (view)
        collectZEMAUIControls(*view, found);
    return found;
}

std::shared_ptr<ZEMAUI>
PaneControlServices::getZEMAUIOneControl(const std::vector<std::shared_ptr<ZEMAUI>>& controls,
                                         const std::string& key) {
    for (const auto& control : controls) {
        if (control && control->mainKeyword() == key)
            return control;
    }
    return nullptr;
}

std::shared_ptr<ui::Image> PaneControlServices::imageWithName(const std::string& name,
                                                              const Bundle* bundle) {
    return bundle ? ui::Image::named(*bundle, name) : nullptr;
}

void PaneControlServices::setHidden(bool hidden, const std::vector<ui::View*>& conrtols) {
    for (ui::View* view : conrtols) {
        if (view)
            view->setHidden(hidden);
    }
}

void PaneControlServices::setEnabled(bool enabled,
                                     const std::vector<ui::Control*>& dependentConrtols) {
    setEnabledConrtols(enabled, dependentConrtols);
}

void PaneControlServices::addMenuItem(ui::PopUpButton* menu,
                                      const std::optional<std::string>& mainKeyword,
                                      const std::optional<std::string>& optionAlias,
                                      const std::optional<std::string>& optionKeyword) {
    if (!menu)
        return;
    auto item = std::make_shared<ui::MenuItem>();
    setMenuItem(item.get(), mainKeyword, optionAlias, optionKeyword);
    menu->addItem(std::move(item));
}

void PaneControlServices::setMenuItem(ui::MenuItem* item,
                                      const std::optional<std::string>& mainKeyword,
                                      const std::optional<std::string>& optionAlias,
                                      const std::optional<std::string>& optionKeyword) {
    if (!item || !mainKeyword || !optionAlias || !optionKeyword)
        return;
    item->setTitle(*optionAlias);
    Dictionary represented;
    represented.set("optionKeyword", *optionKeyword);
    represented.set("mainKeyword", *mainKeyword);
    item->setRepresentedObject(Value(std::move(represented)));
}

Value PaneControlServices::representedObjectOfMenuItem(const ui::MenuItem* item,
                                                       const std::string& key) {
    const Dictionary* represented = item ? item->representedObject().dictionary() : nullptr;
    return represented ? represented->get(key) : Value();
}

Value PaneControlServices::representedObject(const ui::Control* object, const std::string& key) {
    return representedObjectForKey(object, key);
}

// Queued for the default mode as well: a pane that is not inside a modal window would otherwise
// wait for the next one that opens.
void PaneControlServices::delayedAction(const std::shared_ptr<ui::Control>& sender) {
    if (!sender || !sender->hasTarget() || sender->action().empty())
        return;
    RunLoop::current().perform([sender] { sender->sendAction(); },
                               {RunLoop::kDefaultMode, RunLoop::kModalPanelMode});
}

Value PaneControlServices::getValueFromControl(const ui::Control* control) {
    if (auto* popUp = dynamic_cast<const ui::PopUpButton*>(control)) {
        auto item = popUp->selectedItem();
        return representedObjectOfMenuItem(item.get(), "optionKeyword");
    }
    if (auto* slider = dynamic_cast<const ui::Slider*>(control)) {
        const Array* keywords = representedKeywords(*slider);
        long index = keywords ? static_cast<long>(keywords->size()) - slider->intValue() - 1 : -1;
        if (index < 0 || !keywords || index >= static_cast<long>(keywords->size()))
            return Value();
        return (*keywords)[static_cast<std::size_t>(index)];
    }
    if (auto* button = dynamic_cast<const ui::Button*>(control)) {
        bool on = button->state() == ui::kOnState;
        if (const Array* keywords = representedKeywords(*button))
            return keywords->size() < 2 ? Value() : (*keywords)[on ? 1 : 0];
        return Value(on);
    }
    if (auto* field = dynamic_cast<const ui::TextField*>(control)) {
        if (field->isSecure())
            return Value(encryptString(kScramblingKey, field->stringValue()));
        if (const std::string* text = field->objectValue().string())
            return Value(*text);
        return Value(field->stringValue());
    }
    if (auto* matrix = dynamic_cast<const ui::Matrix*>(control)) {
        const ui::Cell* cell = matrix->selectedCell();
        return cell ? cell->representedObject() : Value();
    }
    return Value();
}

namespace {

void writePopUp(ui::PopUpButton& popUp, const Value& value) {
    std::string wanted = PaneControlServices::textOf(value);
    for (int i = 0; i < popUp.numberOfItems(); ++i) {
        const Value keyword = PaneControlServices::representedObjectOfMenuItem(
            popUp.itemAtIndex(i).get(), "optionKeyword");
        if (const std::string* text = keyword.string(); text && *text == wanted) {
            popUp.selectItemAtIndex(i);
            return;
        }
    }
}

void writeSlider(ui::Slider& slider, const Value& value) {
    const Array* keywords = representedKeywords(slider);
    const std::string* text = value.string();
    int index = keywords && text ? indexOf(*keywords, *text) : -1;
    if (index >= 0)
        slider.setIntValue(static_cast<int>(keywords->size()) - index - 1);
}

void writeButton(ui::Button& button, const Value& value) {
    if (const Array* keywords = representedKeywords(button)) {
        const std::string* text = value.string();
        int index = keywords->size() >= 2 && text ? indexOf(*keywords, *text) : -1;
        button.setState(index > 0 ? ui::kOnState : ui::kOffState);
        return;
    }
    bool on = value.string() ? *value.string() == "True" : value.boolValue();
    button.setState(on ? ui::kOnState : ui::kOffState);
}

void writeTextField(ui::TextField& field, const Value& value) {
    if (field.isSecure()) {
        if (const std::string* text = value.string())
            field.setStringValue(decryptString(kScramblingKey, *text));
        return;
    }
    if (const std::string* text = value.string()) {
        if (escapesItsText(field))
            field.setObjectValue(Value(*text));
        else
            field.setStringValue(*text);
    } else if (value.isInteger()) {
        field.setStringValue(std::to_string(value.integerValue()));
    } else if (value.isReal()) {
        field.setStringValue(NumberText::shortest(value.doubleValue()));
    }
}

void writeMatrix(ui::Matrix& matrix, const Value& value) {
    for (int row = 0; row < matrix.numberOfRows(); ++row) {
        for (int column = 0; column < matrix.numberOfColumns(); ++column) {
            const ui::Cell* cell = matrix.cellAt(row, column);
            if (cell && cell->representedObject() == value) {
                matrix.selectCellAt(row, column);
                return;
            }
        }
    }
}

} // namespace

void PaneControlServices::setValueToControl(ui::Control* control, const Value& value) {
    if (!control || value.isNull())
        return;
    if (auto* popUp = dynamic_cast<ui::PopUpButton*>(control))
        writePopUp(*popUp, value);
    else if (auto* slider = dynamic_cast<ui::Slider*>(control))
        writeSlider(*slider, value);
    else if (auto* button = dynamic_cast<ui::Button*>(control))
        writeButton(*button, value);
    else if (auto* field = dynamic_cast<ui::TextField*>(control))
        writeTextField(*field, value);
    else if (auto* matrix = dynamic_cast<ui::Matrix*>(control))
        writeMatrix(*matrix, value);
}

std::string PaneControlServices::plugInString(const Bundle& bundle, const std::string& key) {
    const std::string* text = bundle.findLocalizedString(key, "Localizable");
    return text ? *text : key;
}

std::string PaneControlServices::textOf(const Value& value) {
    if (const std::string* text = value.string())
        return *text;
    return value.boolValue() ? "True" : "False";
}

} // namespace velmora
