#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora::ui {

class Image;
class Window;

enum class AlertStyle { Warning = 0, Informational = 1, Critical = 2 };

// Responses: the first button answers 1000, the second 1001, and so on.
inline constexpr long kAlertFirstButtonReturn = 1000;
inline constexpr long kAlertSecondButtonReturn = 1001;
inline constexpr long kAlertThirdButtonReturn = 1002;

// An alert, shown modally or as a sheet on a window through the application's alert
// presenter. An alert without buttons gets an "OK" button when shown.
class Alert {
public:
    const std::string& messageText() const { return _messageText; }
    void setMessageText(std::string text) { _messageText = std::move(text); }
    const std::string& informativeText() const { return _informativeText; }
    void setInformativeText(std::string text) { _informativeText = std::move(text); }
    AlertStyle alertStyle() const { return _style; }
    void setAlertStyle(AlertStyle style) { _style = style; }
    std::shared_ptr<Image> icon() const { return _icon; }
    void setIcon(std::shared_ptr<Image> icon) { _icon = std::move(icon); }
    const std::vector<std::string>& buttons() const { return _buttons; }
    void addButtonWithTitle(std::string title) { _buttons.push_back(std::move(title)); }

    long runModal();
    // Shows the alert on the window and reports the response to the handler.
    void beginSheetModalForWindow(Window* window, std::function<void(long response)> handler);

private:
    std::string _messageText;
    std::string _informativeText;
    AlertStyle _style = AlertStyle::Warning;
    std::shared_ptr<Image> _icon;
    std::vector<std::string> _buttons;
};

} // namespace velmora::ui
