#include "platform/ui/FieldEditor.h"

#include "platform/foundation/UnicodeText.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <unicode/unistr.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

namespace velmora::ui {
namespace {

icu::UnicodeString toUnicode(const std::string& text) {
    return icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

std::string toUtf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

// Steps through UTF-8 as ICU reads it (and as UnicodeText counts it), an ill-formed sequence
// counting as one character: the byte after the character at `at` and its UTF-16 length.
std::pair<std::size_t, std::size_t> nextCharacter(std::string_view text, std::size_t at) {
    auto i = static_cast<int32_t>(at);
    UChar32 c = 0;
    U8_NEXT(text.data(), i, static_cast<int32_t>(text.size()), c);
    return {static_cast<std::size_t>(i), c < 0 ? 1u : static_cast<std::size_t>(U16_LENGTH(c))};
}

} // namespace

void FieldEditor::setString(std::string text) {
    _text = std::move(text);
    _length = UnicodeText::utf16Length(_text);
    _selection = Range{_length, 0};
}

// The character boundary at or after a UTF-16 offset: its byte and its UTF-16 offset (an offset
// inside a surrogate pair moves past the pair). The end of the text is found without a scan.
std::pair<std::size_t, std::size_t> FieldEditor::boundary(std::size_t utf16Offset) const {
    if (utf16Offset >= _length)
        return {_text.size(), _length};
    std::size_t units = 0, at = 0;
    while (at < _text.size() && units < utf16Offset) {
        auto [next, length] = nextCharacter(_text, at);
        units += length;
        at = next;
    }
    return {at, units};
}

void FieldEditor::setSelectedRange(Range range) {
    std::size_t total = length();
    range.location = std::min(range.location, total);
    range.length = std::min(range.length, total - range.location);
    _selection = range;
}

void FieldEditor::selectAll() {
    _selection = Range{0, length()};
}

void FieldEditor::setDelegate(TextField* field) {
    _delegate = field;
    _began = false;
}

std::string FieldEditor::stringByReplacing(Range range, const std::string& replacement) const {
    std::string text = _text;
    auto from = boundary(range.location).first;
    text.replace(from, boundary(range.location + range.length).first - from, replacement);
    return text;
}

bool FieldEditor::replace(Range range, const std::string& replacement) {
    range.location = std::min(range.location, _length);
    range.length = std::min(range.length, _length - range.location);
    if (_delegate && !_delegate->textShouldChange(*this, range, replacement))
        return false;
    if (_delegate && !_began) {
        _began = true;
        _delegate->textDidBeginEditing(*this);
    }
    auto [from, fromUnits] = boundary(range.location);
    auto [to, toUnits] = boundary(range.location + range.length);
    std::size_t inserted = UnicodeText::utf16Length(replacement);
    _text.replace(from, to - from, replacement);
    _length = _length - (toUnits - fromUnits) + inserted;
    _selection = Range{fromUnits + inserted, 0};
    if (_delegate)
        _delegate->textDidChange(*this);
    return true;
}

bool FieldEditor::insertText(const std::string& text) {
    return replace(_selection, text);
}

bool FieldEditor::typeText(const std::string& text) {
    icu::UnicodeString unicode = toUnicode(text);
    bool allTaken = true;
    for (int32_t i = 0; i < unicode.length(); i = unicode.moveIndex32(i, 1)) {
        icu::UnicodeString one(unicode.char32At(i));
        allTaken = insertText(toUtf8(one)) && allTaken;
    }
    return allTaken;
}

bool FieldEditor::deleteBackward() {
    Range range = _selection;
    if (range.length == 0) {
        if (range.location == 0)
            return false;
        icu::UnicodeString text = toUnicode(_text);
        int32_t start = text.moveIndex32(static_cast<int32_t>(range.location), -1);
        range = Range{static_cast<std::size_t>(start),
                      range.location - static_cast<std::size_t>(start)};
    }
    return replace(range, "");
}

bool FieldEditor::insertNewline() {
    TextField* field = _delegate;
    Window* owner = field ? field->window() : nullptr;
    if (!field || !owner)
        return false;
    field->setLastTextMovement(TextMovement::Return);
    if (!owner->makeFirstResponder(nullptr)) {
        field->setLastTextMovement(TextMovement::Other);
        return false;
    }
    owner->performDefaultButton();
    return true;
}

} // namespace velmora::ui
