#pragma once

#include "platform/foundation/Value.h"

#include <string>

namespace velmora::ui {

// Converts between a control's object value and the text it shows, and checks text that the
// user is typing.
class Formatter {
public:
    virtual ~Formatter() = default;
    virtual std::string stringForObjectValue(const Value& value) { return value.stringValue(); }
    virtual std::string editingStringForObjectValue(const Value& value) {
        return stringForObjectValue(value);
    }
    // Reads an object value from text; false (with an error description) refuses the text.
    virtual bool getObjectValue(Value& out, const std::string& text, std::string* error) {
        (void)error;
        out = Value(text);
        return true;
    }
    // Checks a partial text while the user types; false refuses the change. A formatter may
    // propose a replacement text in newEditingString.
    virtual bool isPartialStringValid(const std::string& partial, std::string* newEditingString,
                                      std::string* error) {
        (void)partial, (void)newEditingString, (void)error;
        return true;
    }
};

} // namespace velmora::ui
