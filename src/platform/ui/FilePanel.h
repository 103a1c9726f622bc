#pragma once

#include "platform/ui/Window.h"

#include <string>
#include <vector>

namespace velmora::ui {

inline constexpr long kFileHandlingPanelCancelButton = 0;
inline constexpr long kFileHandlingPanelOKButton = 1;

// The save panel; the application's panel presenter answers it.
class SavePanel : public Window {
public:
    SavePanel() : Window(Rect::make(0, 0, 480, 320)) {}
    std::string className() const override { return "NSSavePanel"; }

    const std::string& directory() const { return _directory; }
    void setDirectory(std::string directory) { _directory = std::move(directory); }
    const std::string& nameFieldStringValue() const { return _name; }
    void setNameFieldStringValue(std::string name) { _name = std::move(name); }
    const std::vector<std::string>& allowedFileTypes() const { return _types; }
    void setAllowedFileTypes(std::vector<std::string> types) { _types = std::move(types); }
    const std::string& message() const { return _message; }
    void setMessage(std::string message) { _message = std::move(message); }
    const std::string& prompt() const { return _prompt; }
    void setPrompt(std::string prompt) { _prompt = std::move(prompt); }

    // The chosen file (a path), set by whoever answers the panel.
    const std::string& url() const { return _url; }
    void setUrl(std::string path) { _url = std::move(path); }

    // kFileHandlingPanelOKButton or kFileHandlingPanelCancelButton.
    long runModal();

private:
    std::string _directory, _name, _message, _prompt, _url;
    std::vector<std::string> _types;
};

class OpenPanel : public SavePanel {
public:
    std::string className() const override { return "NSOpenPanel"; }
    bool canChooseFiles() const { return _files; }
    void setCanChooseFiles(bool can) { _files = can; }
    bool canChooseDirectories() const { return _directories; }
    void setCanChooseDirectories(bool can) { _directories = can; }
    bool allowsMultipleSelection() const { return _multiple; }
    void setAllowsMultipleSelection(bool allows) { _multiple = allows; }
    const std::vector<std::string>& urls() const { return _urls; }
    void setUrls(std::vector<std::string> paths);

private:
    bool _files = true, _directories = false, _multiple = false;
    std::vector<std::string> _urls;
};

} // namespace velmora::ui
