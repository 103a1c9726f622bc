// Values, user actions, enabling and choice restriction of option controls.

#include "controls/ZEMAUI.h"

#include "common/ControlHelpers.h"
#include "common/NotificationNames.h"
#include "common/NotifyUnit.h"
#include "controls/ZEMATextField.h"
#include "platform/foundation/NumberText.h"
#include "platform/foundation/StringFormat.h"
#include "platform/foundation/SystemLog.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Matrix.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextField.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace velmora {
namespace {

constexpr const char* kInvalidCheckBox = "###checkbox object is invalid";
constexpr const char* kLogicalSumSource = "logical_sum_condition";

Dictionary& printOptionSnapshot() {
    static Dictionary snapshot;
    return snapshot;
}

std::size_t decimalPlaces(const std::string& text) {
    std::size_t point = text.find('.');
    return point == std::string::npos ? 0 : text.size() - point - 1;
}

std::string pointed(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

} // namespace

// ---- Showing and reading values ----

std::string ZEMAUI::choiceAt(std::size_t index) const {
    auto choices = _description.choices();
    return index < choices.size() ? choices[index].choice : std::string();
}

void ZEMAUI::setStringValue(const std::optional<std::string>& value) {
    if (value)
        _value = value;
    if (auto enabling = _description.optionalText("other_controls_enable_choice"))
        setEnabledChildControl(_value == enabling);
    if (!_value)
        return;
    const std::string& v = *_value;
    if (_kind == ControlKind::CheckBox) {
        auto choices = _description.choices();
        if (choices.size() >= 1 && v == choices[0].choice)
            setCheckBoxState(ui::kOnState);
        else if (choices.size() >= 2 && v == choices[1].choice)
            setCheckBoxState(ui::kOffState);
    } else if (_kind == ControlKind::PopupButton) {
        showPopUpValue(v);
    } else if (_kind == ControlKind::RadioButton) {
        showRadioValue(v);
    } else if (_kind == ControlKind::Slider && _slider) {
        if (_sliderChoices.empty()) {
            _slider->setStringValue(v);
        } else {
            auto it = std::find(_sliderChoices.begin(), _sliderChoices.end(), v);
            if (it != _sliderChoices.end())
                _slider->setDoubleValue(static_cast<double>(it - _sliderChoices.begin()));
        }
    } else if (_kind == ControlKind::NumberField) {
        showNumber(v);
    } else if ((_kind == ControlKind::TextField || _kind == ControlKind::SecureTextField) &&
               _textField) {
        _textField->setStringValue(v);
    } else if (_kind == ControlKind::DatePicker) {
        double seconds = Value(v).doubleValue();
        for (const auto& picker : _datePickers)
            picker->setDateValue(seconds);
    }
}

void ZEMAUI::showPopUpValue(const std::string& value) {
    if (!_popUp)
        return;
    int match = -1;
    for (int i = 0; i < _popUp->numberOfItems(); ++i) {
        auto item = _popUp->itemAtIndex(i);
        if (!item->isSeparatorItem() && item->representedObject().stringValue() == value)
            match = i; // the last equal item wins
    }
    if (match < 0) {
        _unsupportedValue = value;
        return;
    }
    _unsupportedValue.reset();
    _popUp->selectItemAtIndex(match);
}

void ZEMAUI::showRadioValue(const std::string& value) {
    if (!_matrix)
        return;
    int match = -1;
    for (int r = 0; r < _matrix->numberOfRows(); ++r)
        if (_matrix->cellAt(r, 0)->representedObject().stringValue() == value)
            match = r;
    if (match < 0) {
        _unsupportedValue = value;
        return;
    }
    _unsupportedValue.reset();
    for (int r = 0; r < _matrix->numberOfRows(); ++r)
        _matrix->setState(r == match ? ui::kOnState : ui::kOffState, r, 0);
    // Showing values again before the loop's next pass queues no more: selectMatrix reads the
    // value it finds then, and a loop that does not pass (a command without a window) would
    // otherwise gather an action for every value ever shown.
    std::weak_ptr<ui::View> weak = weak_from_this();
    if (weak.expired() || _matrixSelectionQueued)
        return;
    _matrixSelectionQueued = true;
    auto clearQueued = [](const std::weak_ptr<ui::View>& control) {
        if (auto self = std::static_pointer_cast<ZEMAUI>(control.lock()))
            self->_matrixSelectionQueued = false;
    };
    // Also when the action never runs (the loop drops it, or an action before it in the pass
    // throws), so that the next value shown queues one again.
    std::shared_ptr<void> whenDone(nullptr, [weak, clearQueued](void*) { clearQueued(weak); });
    ui::Application::shared().runLoop().perform(
        [weak, clearQueued, whenDone] {
            clearQueued(weak);
            if (auto self = std::static_pointer_cast<ZEMAUI>(weak.lock()))
                self->selectMatrix();
        },
        {RunLoop::kModalPanelMode});
}

void ZEMAUI::selectMatrix() {
    if (!_matrix || !_value)
        return;
    for (int r = 0; r < _matrix->numberOfRows(); ++r)
        if (_matrix->cellAt(r, 0)->representedObject().stringValue() == *_value)
            for (int other = 0; other < _matrix->numberOfRows(); ++other)
                _matrix->setState(other == r ? ui::kOnState : ui::kOffState, other, 0);
}

void ZEMAUI::showNumber(const std::string& value) {
    if (!_textField)
        return;
    const ZEMAFieldRules& rules = _textField->rules();
    std::string current = pointed(_textField->stringValue());
    bool eitherHasPoint =
        current.find('.') != std::string::npos || value.find('.') != std::string::npos;
    std::string text = value;
    if (eitherHasPoint && decimalPlaces(current) != decimalPlaces(value))
        text = rules.format(Value(value).doubleValue());
    if (rules.usesDecimalComma())
        std::replace(text.begin(), text.end(), '.', ',');
    _textField->setStringValue(text);
    followNumberWithStepper();
}

void ZEMAUI::followNumberWithStepper() {
    if (_stepper && _textField)
        _stepper->setDoubleValue(_textField->rules().numberOf(_textField->stringValue()));
}

std::optional<std::string> ZEMAUI::getStringValue() {
    std::optional<std::string> read = _value;
    if (_kind == ControlKind::CheckBox && _checkBox) {
        int state = checkBoxState();
        auto choices = _description.choices();
        if (state != ui::kMixedState && choices.size() >= 2)
            read = choices[state == ui::kOnState ? 0 : 1].choice;
    } else if (_kind == ControlKind::PopupButton && _popUp) {
        if (auto item = _popUp->selectedItem(); item && item->representedObject().isString())
            read = *item->representedObject().string();
    } else if (_kind == ControlKind::RadioButton && _matrix) {
        if (ui::Cell* cell = _matrix->selectedCell())
            read = cell->representedObject().stringValue();
    } else if (_kind == ControlKind::Slider && _slider) {
        read = _sliderChoices.empty()
                   ? _slider->stringValue()
                   : choiceAt(static_cast<std::size_t>(std::lround(_slider->value())));
    } else if (_kind == ControlKind::NumberField && _textField) {
        std::string text = _textField->stringValue();
        read = _textField->rules().usesDecimalComma() ? pointed(text) : text;
    } else if ((_kind == ControlKind::TextField || _kind == ControlKind::SecureTextField) &&
               _textField) {
        read = _textField->stringValue();
    } else if (_kind == ControlKind::DatePicker && !_datePickers.empty()) {
        read = std::to_string(NumberText::saturatingInteger(_datePickers.front()->dateValue()));
    }
    _value = read;
    return read;
}

void ZEMAUI::updateValue(const std::string& value) {
    if (!_value)
        _value = value;
    else if (*_value != value)
        setStringValue(value);
}

void ZEMAUI::updateOldValue() {
    _oldValue = getStringValue();
}

std::optional<std::string> ZEMAUI::getOptionText(const std::string& value) const {
    auto choices = _description.choices();
    if (_kind == ControlKind::CheckBox) {
        std::size_t index = value == "True" ? 0 : 1;
        return index < choices.size() ? std::optional(choices[index].text) : std::nullopt;
    }
    if (_kind == ControlKind::PopupButton) {
        for (const auto& choice : choices)
            if (choice.choice == value)
                return choice.text;
        return std::nullopt;
    }
    if (_kind == ControlKind::RadioButton) {
        std::optional<std::string> text;
        for (const auto& choice : choices)
            if (choice.choice == value)
                text = choice.text; // the last equal choice
        return text;
    }
    return std::nullopt;
}

std::optional<std::string> ZEMAUI::getSelectedOptionText() {
    auto choices = _description.choices();
    if (_kind == ControlKind::CheckBox && _checkBox) {
        std::size_t index = checkBoxState() == ui::kOnState ? 0 : 1;
        return index < choices.size() ? std::optional(choices[index].text) : std::nullopt;
    }
    if (_kind == ControlKind::PopupButton && _popUp)
        return _popUp->titleOfSelectedItem();
    if (_kind == ControlKind::RadioButton && _matrix) {
        int row = _matrix->selectedRow();
        if (row >= 0 && static_cast<std::size_t>(row) < choices.size())
            return choices[static_cast<std::size_t>(row)].text;
        return std::nullopt;
    }
    if (_textField)
        return _textField->stringValue();
    return std::nullopt;
}

std::size_t ZEMAUI::getChoicesCount() const {
    if (!_description.hasChoices())
        return std::numeric_limits<std::uint32_t>::max();
    return _description.choices().size();
}

int ZEMAUI::checkBoxState() const {
    if (!_checkBox) {
        SystemLog::write(kInvalidCheckBox);
        return ui::kOnState;
    }
    int state = _checkBox->state();
    if (_description.flag("isInvert") && state != ui::kMixedState)
        state = state == ui::kOnState ? ui::kOffState : ui::kOnState;
    return state;
}

void ZEMAUI::setCheckBoxState(int state) {
    if (!_checkBox) {
        SystemLog::write(kInvalidCheckBox);
        return;
    }
    int drawn = state;
    if (_description.flag("isInvert") && state != ui::kMixedState)
        drawn = state == ui::kOnState ? ui::kOffState : ui::kOnState;
    _checkBox->setState(drawn);
    if (_isEnableIcon)
        setIconImage(state == ui::kOnState);
}

void ZEMAUI::setIconImage(bool on) {
    if (_iconTrue)
        _iconTrue->setHidden(!on);
    if (_iconFalse)
        _iconFalse->setHidden(on);
}

void ZEMAUI::setDoubleValue(double value) {
    if (_kind == ControlKind::NumberField && _textField)
        setStringValue(_textField->rules().format(value));
}

void ZEMAUI::updateMin(double minimum, double maximum) {
    if (_kind != ControlKind::NumberField || !_textField)
        return;
    const ZEMAFieldRules& rules = _textField->rules();
    std::string minText = rules.format(minimum), maxText = rules.format(maximum);
    double min = Value(minText).doubleValue(), max = Value(maxText).doubleValue();
    _textField->setMin(min);
    _textField->setMax(max);
    _stepper->setMinValue(min);
    _stepper->setMaxValue(max);
    std::string format = _description.text("desc_text");
    if (_descLabel && format.find("%@") != std::string::npos) {
        std::string desc = StringFormat::format(format, {Value(minText), Value(maxText)});
        if (rules.usesDecimalComma())
            std::replace(desc.begin(), desc.end(), '.', ',');
        _descLabel->setStringValue(desc);
    }
}

bool ZEMAUI::isEmptycheck() const {
    return !(_textField && _textField->isEnabled() && _textField->stringValue().empty());
}

std::shared_ptr<ZEMAUI> ZEMAUI::getChildZEMAUI(const std::string& mainKeyword) const {
    for (const auto& child : _children)
        if (child->mainKeyword() == mainKeyword)
            return child;
    return nullptr;
}

std::string ZEMAUI::getMainKeywordType(const Dictionary& settings, const std::string& keyword) {
    const Dictionary* description = settings.get(keyword).dictionary();
    if (!description)
        return "unknown";
    const Value& defchoice = description->get("defchoice");
    const Array* choices = description->get("choices").array();
    bool booleanChoice =
        defchoice.isString() && (*defchoice.string() == "True" || *defchoice.string() == "False");
    return booleanChoice && choices && choices->size() == 2 ? "checkbox" : "unknown";
}

void ZEMAUI::setUpdateWithPrintOption(Dictionary options) {
    printOptionSnapshot() = std::move(options);
}

const Dictionary& ZEMAUI::updateWithPrintOptionSnapshot() {
    return printOptionSnapshot();
}

bool ZEMAUI::updateWithPrintOption() {
    const Value* entry = printOptionSnapshot().find(_mainKeyword);
    if (!entry)
        return false;
    std::string value = entry->stringValue();
    setStringValue(value);
    _oldValue = value;
    return true;
}

// ---- Enabling, hiding and restricting ----

std::vector<ui::View*> ZEMAUI::inputElements() const {
    std::vector<ui::View*> elements;
    auto add = [&](const std::shared_ptr<ui::View>& v) {
        if (v)
            elements.push_back(v.get());
    };
    add(_checkBox);
    add(_popUp);
    add(_matrix);
    add(_textField);
    add(_stepper);
    add(_slider);
    add(_pushButton);
    for (const auto& picker : _datePickers)
        add(picker);
    return elements;
}

std::vector<ui::TextField*> ZEMAUI::labels() const {
    std::vector<ui::TextField*> list;
    for (const auto& label : {_titleLabel, _descLabel, _headLabel, _headTitleLabel,
                              _groupTitleLabel, _sliderStartLabel, _sliderEndLabel})
        if (label)
            list.push_back(label.get());
    for (const auto& tick : _tickLabels)
        list.push_back(tick.get());
    return list;
}

void ZEMAUI::setEnabled(bool enabled) {
    for (const ui::Control* element :
         {static_cast<ui::Control*>(_checkBox.get()), static_cast<ui::Control*>(_popUp.get()),
          static_cast<ui::Control*>(_matrix.get()), static_cast<ui::Control*>(_textField.get()),
          static_cast<ui::Control*>(_stepper.get()), static_cast<ui::Control*>(_slider.get()),
          static_cast<ui::Control*>(_pushButton.get())})
        if (element)
            const_cast<ui::Control*>(element)->setEnabled(enabled);
    for (const auto& picker : _datePickers)
        picker->setEnabled(enabled);
    ui::Color color = enabled ? ui::Color::controlText() : disabledTextColor();
    for (const auto* label :
         {_titleLabel.get(), _descLabel.get(), _headLabel.get(), _headTitleLabel.get(),
          _groupTitleLabel.get(), _sliderStartLabel.get(), _sliderEndLabel.get()})
        if (label)
            const_cast<ui::TextField*>(label)->setTextColor(color);
    for (const auto& tick : _tickLabels)
        tick->setTextColor(color);
}

void ZEMAUI::setEnabledFrom(bool enabled, const std::string& source) {
    if (!enabled) {
        if (std::find(_disabledBy.begin(), _disabledBy.end(), source) == _disabledBy.end())
            _disabledBy.push_back(source);
        setEnabled(false);
        return;
    }
    if (_disabledBy.empty()) {
        setEnabled(true);
        return;
    }
    auto it = std::find(_disabledBy.begin(), _disabledBy.end(), source);
    if (it != _disabledBy.end())
        _disabledBy.erase(it);
    if (_disabledBy.empty())
        setEnabled(true);
}

void ZEMAUI::setEnabledPositivelyFrom(bool enabled, const std::string& source) {
    auto it = std::find(_enabledBy.begin(), _enabledBy.end(), source);
    if (enabled) {
        if (it == _enabledBy.end())
            _enabledBy.push_back(source);
        setEnabledFrom(true, kLogicalSumSource);
        return;
    }
    if (_enabledBy.empty()) {
        setEnabledFrom(false, kLogicalSumSource);
    } else if (it != _enabledBy.end()) {
        _enabledBy.erase(it);
        if (_enabledBy.empty())
            setEnabledFrom(false, kLogicalSumSource);
    }
}

void ZEMAUI::setEnabledByDictionary(const Dictionary& enabledChoices) {
    if (!_popUp)
        return;
    _choiceRestriction = enabledChoices;
    _popUp->setAutoenablesItems(false);
    for (const auto& item : _popUp->itemArray()) {
        if (item->isSeparatorItem())
            continue;
        const Value* entry = enabledChoices.find(item->representedObject().stringValue());
        item->setEnabled(entry && entry->boolValue());
    }
    int selected = _popUp->indexOfSelectedItem();
    if (selected >= 0 && _popUp->isItemSelectable(selected))
        return;
    for (int i = 0; i < _popUp->numberOfItems(); ++i)
        if (_popUp->isItemSelectable(i)) {
            _popUp->selectItemAtIndex(i);
            popupButtonAction();
            return;
        }
}

void ZEMAUI::setEnabledChildControl(bool enabled) {
    for (const auto& child : _children)
        child->setEnabled(enabled);
}

void ZEMAUI::disableForPDE() {
    if (!_matrix)
        return;
    for (int r = 0; r < _matrix->numberOfRows(); ++r) {
        ui::Cell* cell = _matrix->cellAt(r, 0);
        if (std::find(_disableForPDE.begin(), _disableForPDE.end(),
                      cell->representedObject().stringValue()) != _disableForPDE.end())
            cell->setEnabled(false);
    }
}

std::uint64_t ZEMAUI::stateHash() const {
    // FNV-1a over what stateDigest writes, without building the text.
    std::uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](std::string_view bytes) {
        for (unsigned char c : bytes) {
            hash ^= c;
            hash *= 1099511628211ull;
        }
    };
    auto mixOptional = [&](const std::optional<std::string>& s) {
        mix(s ? "=" : "-");
        if (s)
            mix(*s);
    };
    mixOptional(_value);
    mixOptional(_oldValue);
    mixOptional(_unsupportedValue);
    mix(isEnabled() ? "E" : "e");
    mix(isHidden() ? "H" : "h");
    for (const auto& source : _disabledBy) {
        mix("d");
        mix(source);
    }
    for (const auto& source : _enabledBy) {
        mix("p");
        mix(source);
    }
    if (_popupArray)
        for (const auto& entry : *_popupArray) {
            mix("#");
            mix(entry.second);
        }
    if (_choiceRestriction) {
        mix("R");
        mix(Value(*_choiceRestriction).toJson());
    }
    return hash;
}

std::string ZEMAUI::stateDigest() const {
    std::string digest;
    auto append = [&digest](const std::optional<std::string>& s) {
        digest += s ? '=' : '-';
        if (s)
            digest += *s;
    };
    append(_value);
    append(_oldValue);
    append(_unsupportedValue);
    digest += isEnabled() ? 'E' : 'e';
    digest += isHidden() ? 'H' : 'h';
    for (const auto& source : _disabledBy)
        digest.append("d").append(source);
    for (const auto& source : _enabledBy)
        digest.append("p").append(source);
    if (_popupArray)
        for (const auto& [text, choice] : *_popupArray)
            digest.append("#").append(choice);
    if (_choiceRestriction)
        digest.append("R").append(Value(*_choiceRestriction).toJson());
    return digest;
}

// The first of the input elements, in the order inputElements lists them.
ui::View* ZEMAUI::firstInputElement() const {
    for (const ui::View* element :
         {static_cast<ui::View*>(_checkBox.get()), static_cast<ui::View*>(_popUp.get()),
          static_cast<ui::View*>(_matrix.get()), static_cast<ui::View*>(_textField.get()),
          static_cast<ui::View*>(_stepper.get()), static_cast<ui::View*>(_slider.get()),
          static_cast<ui::View*>(_pushButton.get())})
        if (element)
            return const_cast<ui::View*>(element);
    return _datePickers.empty() ? nullptr : _datePickers.front().get();
}

bool ZEMAUI::isEnabled() const {
    ui::View* first = firstInputElement();
    return !first || static_cast<ui::Control*>(first)->isEnabled();
}

bool ZEMAUI::isHidden() const {
    ui::View* first = firstInputElement();
    return !first || first->isHidden();
}

void ZEMAUI::setHidden(bool hidden) {
    for (const auto& sub : subviews())
        if (!std::dynamic_pointer_cast<ZEMAUI>(sub))
            sub->setHidden(hidden);
}

void ZEMAUI::setPopupButtonArray(const std::vector<PopupEntry>& entries) {
    if (!_popUp || entries.empty())
        return;
    std::vector<PopupEntry> localizedEntries;
    for (const auto& [text, choice] : entries)
        localizedEntries.emplace_back(localized(text), choice);
    rebuildPopUpItems(localizedEntries, false);
    _popupArray = entries;
}

void ZEMAUI::addPopupButtonArray(const std::vector<PopupEntry>& entries) {
    if (!_popUp)
        return;
    std::vector<PopupEntry> all;
    for (const auto& choice : _description.choices()) // every choice, an untitled one too
        all.emplace_back(localized(choice.text), choice.choice);
    all.insert(all.end(), entries.begin(), entries.end());
    _popupArray = all;
    rebuildPopUpItems(all, _isEnableIcon);
    if (_value)
        _popUp->selectItemWithRepresentedObject(Value(*_value));
}

void ZEMAUI::removePopupButtonArray(const std::vector<std::string>& choices) {
    if (!_popUp)
        return;
    if (choices.empty()) {
        SystemLog::write("##### Invalid list!");
        return;
    }
    std::vector<PopupEntry> kept;
    for (const auto& choice : _description.choices())
        if (std::find(choices.begin(), choices.end(), choice.choice) == choices.end())
            kept.emplace_back(localized(choice.text), choice.choice);
    _popupArray = kept;
    rebuildPopUpItems(kept, _isEnableIcon);
    if (_value)
        _popUp->selectItemWithRepresentedObject(Value(*_value));
}

// ---- User actions ----

void ZEMAUI::post(const std::optional<std::string>& parameter, bool withAction) {
    if (_mainKeyword.empty())
        return;
    if (!parameter) {
        NotifyUnit::postNotificationName(_mainKeyword);
        return;
    }
    Dictionary info;
    if (withAction)
        info.set("action", "checkbox");
    info.set("Paramater", *parameter);
    NotifyUnit::postNotificationName(_mainKeyword, info);
}

void ZEMAUI::postPlain() {
    if (!_mainKeyword.empty())
        NotifyUnit::postNotificationName(_mainKeyword);
}

void ZEMAUI::popupButtonAction() {
    if (auto item = _popUp ? _popUp->selectedItem() : nullptr)
        updateValue(item->representedObject().stringValue());
    post(_value);
    if (_mainKeyword == "PreflightMode") {
        Dictionary info;
        if (_value)
            info.set("Paramater", *_value);
        NotifyUnit::postNotificationName(NotificationNames::kPreflightModeChanged, info);
    }
}

void ZEMAUI::checkboxAction() {
    auto choices = _description.choices();
    bool checked = checkBoxState() == ui::kOnState;
    if (choices.size() >= 2)
        updateValue(choices[checked ? 0 : 1].choice);
    if (_isEnableIcon) {
        setIconImage(checked);
        setEnabledChildControl(checked);
    }
    post(_value, true);
}

void ZEMAUI::radioButtonAction() {
    int row = _matrix ? _matrix->selectedRow() : -1;
    auto choices = _description.choices();
    if (row >= 0 && static_cast<std::size_t>(row) < choices.size()) {
        const std::string& choice = choices[static_cast<std::size_t>(row)].choice;
        updateValue(choice);
        if (_isEnableIcon && _radioIcon && _bundle)
            if (auto image = ui::Image::named(*_bundle, _mainKeyword + "_" + choice))
                _radioIcon->setImage(image);
    }
    postPlain();
}

// Actions of kinds whose value lives only on screen read it into the current value first, so
// that the change sequence they start sees the new value.
void ZEMAUI::sliderAction() {
    getStringValue();
    postPlain();
}

void ZEMAUI::radioAction() {
    getStringValue();
    postPlain();
}

void ZEMAUI::stepperAction() {
    if (_textField && _stepper) {
        if (_textField->rules().usesDecimalComma())
            _textField->setDoubleValueforNumber(_stepper->value());
        else
            _textField->setDoubleValue(_stepper->value());
    }
    getStringValue();
    postPlain();
}

void ZEMAUI::textAction() {
    followNumberWithStepper();
    getStringValue();
    postPlain();
}

void ZEMAUI::datePickerAction(ui::DatePicker& used) {
    for (const auto& picker : _datePickers)
        if (picker.get() != &used)
            picker->setDateValue(used.dateValue());
    getStringValue();
    postPlain();
}

void ZEMAUI::controlTextDidChange(ui::TextField&, ui::FieldEditor&) {
    followNumberWithStepper();
}

void ZEMAUI::controlTextDidEndEditing(ui::TextField&) {
    getStringValue();
}

void ZEMAUI::buttonAction() {
    if (!_mainKeyword.empty())
        NotifyUnit::postNotificationName(NotificationNames::buttonPressed(_mainKeyword));
}

} // namespace velmora
