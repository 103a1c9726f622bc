#include "platform/ui/FieldEditor.h"

#include "platform/ui/TextField.h"

#include <algorithm>
#include <unicode/unistr.h>

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

} // namespace

void FieldEditor::setString(std::string text) {
    _text = std::move(text);
    _selection = Range{length(), 0};
}

std::size_t FieldEditor::length() const {
    return static_cast<std::size_t>(toUnicode(_text).length());
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
    icu::UnicodeString text = toUnicode(_text);
    text.replace(static_cast<int32_t>(range.location), static_cast<int32_t>(range.length),
                 toUnicode(replacement));
    return toUtf8(text);
}

bool FieldEditor::replace(Range range, const std::string& replacement) {
    if (_delegate && !_delegate->textShouldChange(*this, range, replacement))
        return false;
    if (_delegate && !_began) {
        _began = true;
        _delegate->textDidBeginEditing(*this);
    }
    _text = stringByReplacing(range, replacement);
    _selection =
        Range{range.location + static_cast<std::size_t>(toUnicode(replacement).length()), 0};
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

} // namespace velmora::ui
