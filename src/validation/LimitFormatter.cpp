#include "validation/LimitFormatter.h"

#include "common/ControlHelpers.h"
#include "common/Localization.h"
#include "platform/foundation/StringFormat.h"
#include "platform/foundation/UnicodeText.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/FieldEditor.h"
#include "validation/StringUtilities.h"

#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace velmora {

LimitFormatter::LimitFormatter(LimitMeasure measure, std::uint32_t minimum, std::uint32_t maximum)
    : _measure(measure), _minimum(minimum), _maximum(maximum) {}

void LimitFormatter::replace(const std::string& source, const std::string& escaped) {
    if (_escape)
        _escape->replace(source, escaped);
}

std::size_t LimitFormatter::measure(const std::string& text) const {
    return _measure == LimitMeasure::Bytes ? lengthByBytes(text) : UnicodeText::utf16Length(text);
}

bool LimitFormatter::containNotAllowedCharactor(const std::string& text) const {
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(text);
    for (int32_t i = 0; i < u.length(); ++i) {
        UChar unit = u.charAt(i);
        int8_t type = u_charType(unit);
        if (!_controlCharactersEnabled && (type == U_CONTROL_CHAR || type == U_FORMAT_CHAR))
            return true;
        if (_characterSet && !_characterSet->contains(unit))
            return true;
    }
    return false;
}

std::string LimitFormatter::stringForObjectValue(const Value& value) {
    if (!value.isString())
        return {};
    return _escape ? _escape->unEscape(*value.string()) : *value.string();
}

bool LimitFormatter::getObjectValue(Value& out, const std::string& text, std::string*) {
    out = Value(_escape ? _escape->escape(text) : text);
    return true;
}

void LimitFormatter::controlTextDidBeginEditing(ui::TextField&, ui::FieldEditor& editor) {
    _undoBuffer = editor.string();
    _undoRange = editor.selectedRange();
}

void LimitFormatter::controlTextDidChange(ui::TextField& field, ui::FieldEditor& editor) {
    std::string text = field.isSecure() ? field.stringValue() : editor.string();
    if (!containNotAllowedCharactor(text) && measure(text) <= _maximum) {
        _undoBuffer = text;
        _undoRange = editor.selectedRange();
        return;
    }
    ui::Application::shared().beep();
    editor.setString(_undoBuffer);
    editor.setSelectedRange(_undoRange);
}

bool LimitFormatter::controlTextShouldEndEditing(ui::TextField& field, ui::FieldEditor& editor) {
    const std::string& text = editor.string();
    if (_minimum == 0 || text.empty() || measure(text) >= _minimum)
        return true;
    showSheet(field, StringFormat::format(
                         BSLocalizedStringOrKey("Please specify at least %d characters for %@."),
                         {Value(static_cast<std::int64_t>(_minimum)), Value(titleOf(field))}));
    return false;
}

void LimitFormatter::attach(ui::TextField& field,
                            const std::shared_ptr<LimitFormatter>& formatter) {
    field.setFormatter(formatter);
    field.setDelegate(formatter.get());
}

void LimitFormatter::showSheet(ui::TextField& field, const std::string& message) {
    ui::Alert alert;
    alert.setMessageText(message);
    alert.addButtonWithTitle(BSLocalizedStringOrKey("OK"));
    alert.beginSheetModalForWindow(field.window(), nullptr);
}

std::string LimitFormatter::titleOf(const ui::TextField& field) {
    Value title = representedObjectForKey(&field, "title");
    return title.isString() ? *title.string() : "--";
}

} // namespace velmora
