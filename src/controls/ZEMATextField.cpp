#include "controls/ZEMATextField.h"

#include "common/Alerts.h"
#include "common/NotificationNames.h"
#include "common/NotifyUnit.h"
#include "platform/foundation/NumberText.h"
#include "platform/foundation/UnicodeText.h"
#include "platform/ui/FieldEditor.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace velmora {
namespace {

constexpr const char* kValidateRequest = "VALIDATE";

std::string withCommas(std::string text) {
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

std::string withLongFormat(double value) {
    char buf[512];
    std::snprintf(buf, sizeof buf, "%lf", value);
    return buf;
}

} // namespace

ZEMATextField::ZEMATextField(ui::Rect frame) : ui::TextField(frame) {}

ZEMATextField::~ZEMATextField() {
    if (_observesValidation)
        NotifyUnit::removeObserver(this);
}

std::shared_ptr<ZEMATextField> ZEMATextField::fromInterfaceFile(ui::Rect frame) {
    auto field = std::make_shared<ZEMATextField>(frame);
    field->_rules.numberMode = true;
    field->_rules.unit = kUnitInteger;
    field->_rules.maxLength = 4;
    field->_rules.minimum = std::numeric_limits<double>::lowest();
    field->_rules.maximum = std::numeric_limits<double>::max();
    field->_observesValidation = true;
    ZEMATextField* raw = field.get();
    NotifyUnit::addObserver(
        raw, [raw](const Notification&) { raw->validate(); }, kValidateRequest);
    return field;
}

void ZEMATextField::setUnit(std::uint32_t unit) {
    _rules.unit = unit;
    if (_rules.isNumberUnit())
        setStringValue(_rules.format(currentNumber()));
}

void ZEMATextField::setMax(double maximum) {
    _rules.maximum = maximum;
    _rules.maxLength = _rules.lengthForMaximum(maximum);
}

void ZEMATextField::setKeyword(std::string keyword) {
    _keyword = std::move(keyword);
    setScrollsHorizontally(true);
}

double ZEMATextField::doubleValueInRange() const {
    return _rules.clamp(currentNumber());
}

int ZEMATextField::intValueInRange() const {
    // A range from the description may reach past what an int holds.
    return static_cast<int>(
        std::clamp<std::int64_t>(NumberText::saturatingInteger(doubleValueInRange()),
                                 std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool ZEMATextField::currentNumberOutOfRange() const {
    double number = currentNumber();
    return number < _rules.minimum || number > _rules.maximum;
}

// The number is read once, as doubleValueInRange reads it (a decimal comma included), so
// what is shown is the number that is stored.
void ZEMATextField::validateTextField() {
    setStringValue(_rules.format(doubleValueInRange()));
}

void ZEMATextField::validateTextFieldforNumber() {
    double number = _rules.numberOf(stringValue());
    setStringValue(withCommas(_rules.format(_rules.clamp(number))));
}

void ZEMATextField::setDoubleValue(double value) {
    setStringValue(withLongFormat(value));
    validateTextField();
}

void ZEMATextField::setDoubleValueforNumber(double value) {
    setStringValue(withLongFormat(value));
    validateTextFieldforNumber();
}

void ZEMATextField::setIntValue(int value) {
    setStringValue(std::to_string(value));
    validateTextField();
}

void ZEMATextField::takeIntValueFrom(ui::Control& sender) {
    setStringValue(std::to_string(sender.intValue()));
    if (ui::Window* w = window())
        w->makeFirstResponder(this);
    endEditing(_rules.usesDecimalComma());
}

void ZEMATextField::errorMsg() const {
    SimpleAlert(std::string(), _rules.outOfRangeMessage());
}

void ZEMATextField::validate() {
    if (!isEnabled() || !_rules.numberMode)
        return;
    if (currentNumberOutOfRange()) {
        NotifyUnit::postNotificationName(NotificationNames::kTextValidationCancelled);
        errorMsg();
    }
    validateTextField();
}

bool ZEMATextField::textShouldChange(ui::FieldEditor& editor, ui::Range range,
                                     const std::string& replacement) {
    if (!_rules.numberMode && !_rules.checksText())
        return true; // free text: nothing to check, and no copy of a long text per keystroke
    std::size_t removed =
        std::min(range.length, editor.length() - std::min(range.location, editor.length()));
    std::size_t grownLength = editor.length() - removed + UnicodeText::utf16Length(replacement);
    if (!_rules.numberMode && grownLength > _rules.maxLength)
        return false; // refused by its length alone, before the text is built
    std::string candidate = editor.stringByReplacing(range, replacement);
    if (_rules.numberMode)
        return _rules.isNumFormat(candidate) && _rules.numberOf(candidate) <= _rules.maximum;
    return _rules.isTextFormatForPageNum(candidate);
}

// A text put in by the program (a restored value, a default such as the login name) is what
// the person starts from: clearing it is a change, even though the field never ended an edit
// with it.
void ZEMATextField::textDidBeginEditing(ui::FieldEditor& editor) {
    if (!_rules.numberMode)
        _savedText = stringValue();
    ui::TextField::textDidBeginEditing(editor);
}

void ZEMATextField::endEditing(bool decimalCommaVariant) {
    if (stringValue() == _savedText)
        return;
    if (_rules.numberMode) {
        if (currentNumberOutOfRange())
            errorMsg();
        if (decimalCommaVariant)
            validateTextFieldforNumber();
        else
            validateTextField();
    } else {
        _savedText = stringValue();
    }
    ui::TextField::textDidEndEditing();
    if (!_keyword.empty())
        NotifyUnit::postNotificationName(_keyword);
}

void ZEMATextField::textDidEndEditing() {
    endEditing(_rules.usesDecimalComma());
}

ZEMASecureTextField::ZEMASecureTextField(ui::Rect frame) : ZEMATextField(frame) {
    _rules.decimalCommaAllowed = false;
}

bool ZEMASecureTextField::textShouldChange(ui::FieldEditor& editor, ui::Range range,
                                           const std::string& replacement) {
    if (_rules.numberMode)
        return _rules.isNumFormat(editor.stringByReplacing(range, replacement));
    return true;
}

void ZEMASecureTextField::textDidEndEditing() {
    endEditing(false);
}

} // namespace velmora
