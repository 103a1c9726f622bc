#pragma once

#include <string>
#include <string_view>

// The names of the notifications the controls, the engine and the panel pass one another. Each
// is made here and only here, so that a poster and its observers cannot drift apart: a name that
// is misspelt does not compile. The texts themselves are the system's own and stay as they are.
namespace velmora::NotificationNames {

// A control's value changed: the notification carries the option keyword's own name.
inline std::string valueChanged(std::string_view keyword) {
    return std::string(keyword);
}

// The engine has finished a change of the option and of what followed from it.
inline std::string changeFinished(std::string_view keyword) {
    return "ValueChangFinished_" + std::string(keyword);
}

// The button of the option's control was pressed.
inline std::string buttonPressed(std::string_view keyword) {
    return std::string(keyword) + "_Button";
}

// The preflight mode changed; the user info's "Paramater" holds the new mode.
inline constexpr const char* kPreflightModeChanged = "PreflightModeCO";

// The paper type of the paper attributes window changed (the engine's cooperation target).
inline constexpr const char* kPaperTypeChanged = "PaperTypeDCO";

// A text field's validation was cancelled; the field keeps its text.
inline constexpr const char* kTextValidationCancelled = "TEXTFIELD_VALIDATE_CANCEL";

} // namespace velmora::NotificationNames
