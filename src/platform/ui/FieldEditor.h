#pragma once

#include "platform/ui/View.h"

#include <string>

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
    std::size_t length() const; // in UTF-16 code units
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

private:
    std::string _text;
    Range _selection;
    TextField* _delegate = nullptr;
    bool _began = false;

    bool replace(Range range, const std::string& replacement);
};

} // namespace velmora::ui
