#pragma once

#include "platform/ui/Formatter.h"
#include "platform/ui/TextField.h"
#include "validation/StringEscapeConverter.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <unicode/uniset.h>

namespace velmora {

// How a text limit is counted: bytes of the C-string encoding or UTF-16 code units.
enum class LimitMeasure { Bytes, Length };

// A formatter that limits a field's text while it is typed and acts as the field's editing
// delegate: a change that makes the text too long or brings in a refused character is undone
// whole, with a beep, and the caret goes back where it was. Leaving the field asks for the
// minimum length. Escape variants store the escaped text and show the unescaped one.
class LimitFormatter : public ui::Formatter, public ui::TextFieldDelegate {
public:
    LimitFormatter(LimitMeasure measure, std::uint32_t minimum, std::uint32_t maximum);

    std::uint32_t minimum() const { return _minimum; }
    std::uint32_t maximum() const { return _maximum; }
    const std::string& undoBuffer() const { return _undoBuffer; }
    void setUndoBuffer(std::string text) { _undoBuffer = std::move(text); }
    void setControlCharactersEnabled(bool enabled) { _controlCharactersEnabled = enabled; }
    const std::optional<icu::UnicodeSet>& characterSet() const { return _characterSet; }
    void setCharacterSet(const icu::UnicodeSet& set) { _characterSet = set; }
    // Escape rules (the escape variants): stored = escape(shown), shown = unEscape(stored).
    void enableEscaping() { _escape.emplace(); }
    bool escapes() const { return _escape.has_value(); }
    void replace(const std::string& source, const std::string& escaped);
    StringEscapeConverter* escapeConverter() { return _escape ? &*_escape : nullptr; }

    std::size_t measure(const std::string& text) const;
    bool containNotAllowedCharactor(const std::string& text) const;

    // Formatter
    std::string stringForObjectValue(const Value& value) override;
    bool getObjectValue(Value& out, const std::string& text, std::string* error) override;

    // Editing events of the field
    void controlTextDidBeginEditing(ui::TextField& field, ui::FieldEditor& editor) override;
    void controlTextDidChange(ui::TextField& field, ui::FieldEditor& editor) override;
    bool controlTextShouldEndEditing(ui::TextField& field, ui::FieldEditor& editor) override;

    // Makes the formatter the field's formatter and delegate.
    static void attach(ui::TextField& field, const std::shared_ptr<LimitFormatter>& formatter);

protected:
    // A sheet with one default button on the field's window.
    static void showSheet(ui::TextField& field, const std::string& message);
    static std::string titleOf(const ui::TextField& field);

private:
    LimitMeasure _measure;
    std::uint32_t _minimum, _maximum;
    bool _controlCharactersEnabled = false;
    std::optional<icu::UnicodeSet> _characterSet;
    std::optional<StringEscapeConverter> _escape;
    std::string _undoBuffer;
    ui::Range _undoRange;
};

} // namespace velmora
