#pragma once

#include "platform/foundation/Value.h"

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora {

namespace ui {
class Alert;
}

// An exception with a name and a reason, the kind the panel's outer operations show.
class PanelException : public std::runtime_error {
public:
    PanelException(std::string name, const std::string& reason)
        : std::runtime_error(reason), _name(std::move(name)) {}
    const std::string& name() const { return _name; }

private:
    std::string _name;
};

// A modal alert with the title and the message (a format filled with the arguments) and the
// default button only. Nothing is shown when there is no message.
void SimpleAlert(const std::optional<std::string>& title, const std::optional<std::string>& message,
                 const std::vector<Value>& arguments = {});
// SimpleAlert without a title.
void WarningAlert(const std::optional<std::string>& message,
                  const std::vector<Value>& arguments = {});
// Shows an exception: its name as title, the localized "Exception: %@" filled with its
// localized reason as message. Nothing for null.
void ExceptionAlert(const std::exception* exception);
// A warning-style alert with the texts that are given, for the caller to show.
std::unique_ptr<ui::Alert> SimpleAlertObject(const std::optional<std::string>& informativeText,
                                             const std::optional<std::string>& messageText);
// Asks the user with a modal alert: the message, one button per answer (in order); answers the
// index of the button pressed. What the panel gives the constraint engine to decide with.
using AlertQuestion =
    std::function<std::size_t(const std::string& message, const std::vector<std::string>& answers)>;
AlertQuestion AlertDecision();

} // namespace velmora
