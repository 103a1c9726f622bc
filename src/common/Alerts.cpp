#include "common/Alerts.h"

#include "common/Localization.h"
#include "platform/foundation/StringFormat.h"
#include "platform/ui/Alert.h"

namespace velmora {

void SimpleAlert(const std::optional<std::string>& title, const std::optional<std::string>& message,
                 const std::vector<Value>& arguments) {
    if (!message)
        return;
    ui::Alert alert;
    alert.setMessageText(title.value_or(""));
    alert.setInformativeText(StringFormat::format(*message, arguments));
    alert.addButtonWithTitle(BSLocalizedStringOrKey("OK"));
    alert.runModal();
}

void WarningAlert(const std::optional<std::string>& message, const std::vector<Value>& arguments) {
    SimpleAlert(std::string(), message, arguments);
}

namespace {

// A reason that is no key of the string table is shown as it is: an alert is never blank.
std::string localizedReason(const std::string& reason) {
    auto text = BSLocalizedString(reason);
    return text && !text->empty() ? *text : reason;
}

} // namespace

void ExceptionAlert(const std::exception* exception) {
    if (!exception)
        return;
    auto* named = dynamic_cast<const PanelException*>(exception);
    std::string name = named ? named->name() : "std::exception";
    std::string reason = localizedReason(exception->what());
    SimpleAlert(name, BSLocalizedStringOrKey("Exception: %@"), {Value(reason)});
}

AlertQuestion AlertDecision() {
    return [](const std::string& message, const std::vector<std::string>& answers) {
        ui::Alert alert;
        alert.setMessageText(message);
        for (const auto& answer : answers)
            alert.addButtonWithTitle(answer);
        long pressed = alert.runModal() - ui::kAlertFirstButtonReturn;
        return pressed >= 0 ? static_cast<std::size_t>(pressed) : std::size_t{0};
    };
}

std::unique_ptr<ui::Alert> SimpleAlertObject(const std::optional<std::string>& informativeText,
                                             const std::optional<std::string>& messageText) {
    auto alert = std::make_unique<ui::Alert>();
    alert->setAlertStyle(ui::AlertStyle::Warning);
    if (messageText)
        alert->setMessageText(*messageText);
    if (informativeText)
        alert->setInformativeText(*informativeText);
    return alert;
}

} // namespace velmora
