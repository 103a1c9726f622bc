#pragma once

#include "platform/ui/View.h"

#include <string>
#include <utility>

namespace velmora::ui {

class TextField;

// The text view in which a window's text fields are edited. Every change the user makes asks
// the delegate field first; a refused change leaves text and selection as they were.
class FieldEditor : public View {
public:
    std::string className() const override { return "NSTextView"; }

    const std::string& string() const { return _text; }
    // Sets the text without asking anyone; the insertion point goes to the end.
    void setString(std::string text);
    Range selectedRange() const { return _selection; }
    void setSelectedRange(Range range);
    void selectAll();
    std::size_t length() const { return _length; } // in UTF-16 code units
    // The text as it would be with range replaced: what a change would make of it.
    std::string stringByReplacing(Range range, const std::string& replacement) const;

    TextField* delegate() const { return _delegate; }
    void setDelegate(TextField* field);

    bool acceptsFirstResponder() const override { return true; }

    // User edits. insertText replaces the selection with the text as one change; typeText
    // types it one character at a time, each keystroke checked on its own (a refused key is
    // dropped and typing goes on); paste is one change. Each returns whether every change
    // was taken.
    bool insertText(const std::string& text);
    bool typeText(const std::string& text);
    bool paste(const std::string& text) { return insertText(text); }
    bool deleteBackward();
    // Return (or Enter): editing ends, then the window's default button is pressed. False when
    // the field keeps the focus.
    bool insertNewline();

private:
    // Text is kept as UTF-8 with its UTF-16 length, and edited in place: typing at the end
    // costs the keystroke, not a copy of the whole text.
    std::string _text;
    std::size_t _length = 0;
    Range _selection;
    TextField* _delegate = nullptr;
    bool _began = false;

    bool replace(Range range, const std::string& replacement);
    std::pair<std::size_t, std::size_t> boundary(std::size_t utf16Offset) const;
};

} // namespace velmora::ui
