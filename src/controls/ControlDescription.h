#pragma once

#include "platform/foundation/Value.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// One entry of a description's "choices": the value string stored when it is chosen and the
// text (a localization key) the user sees. In a pop-up an entry with empty text and a
// "separator" key is a separator line; one with empty text and no such key is skipped.
struct ControlChoice {
    std::string choice;
    std::string text;
    bool separator = false;
};

// Read access to a control description with the defaults of its keys, and a check that
// names what is malformed.
// The kind of control a description builds, read once from its "control_type". A description
// without a kind, or with one that is none of these, builds only its labels.
enum class ControlKind {
    LabelsOnly,
    CheckBox,
    RadioButton,
    HRadioButton,
    PopupButton,
    Slider,
    NumberField,     // "TextField_number"
    TextField,       // "TextField_text"
    SecureTextField, // "SecureTextField_text"
    DatePicker,
};

class ControlDescription {
public:
    static ControlKind kindOf(std::string_view controlType);

    ControlDescription();
    explicit ControlDescription(Dictionary description);
    // Shares a description that is not changed while the control lives (one entry of a
    // UI-settings file, held through the file).
    explicit ControlDescription(std::shared_ptr<const Dictionary> description);

    const Dictionary& dictionary() const { return *_d; }
    bool has(std::string_view key) const { return _d->contains(key); }
    // Strings as they are; numbers written as text ("36" and 36 read alike).
    std::string text(std::string_view key, const std::string& fallback = "") const;
    std::optional<std::string> optionalText(std::string_view key) const;
    bool flag(std::string_view key) const { return _d->get(key).boolValue(); }
    long integer(std::string_view key, long fallback = 0) const;
    std::vector<ControlChoice> choices() const;
    bool hasChoices() const { return _d->get("choices").isArray(); }
    std::vector<std::string> keywords(std::string_view key) const;
    // A constraint dictionary ("condition", "conflict", ...), shared with the description
    // rather than copied; an empty one when the description has none.
    std::shared_ptr<const Dictionary> constraint(std::string_view key) const;
    // One shared empty dictionary: no constraint, and the description of a control without one.
    static std::shared_ptr<const Dictionary> noConstraint();
    bool isNonEmptyArray(std::string_view key) const;

    // What is wrong with a description, each problem naming the control and the key.
    static std::vector<std::string> problems(const Value& description, const std::string& name);

private:
    std::shared_ptr<const Dictionary> _d; // never null
};

// Date strings: "now", "now" followed by seconds to add, or seconds since 1970 (UTC).
namespace DateString {
std::optional<double> secondsSince1970(const std::string& text, double now);
double now();
} // namespace DateString

} // namespace velmora
