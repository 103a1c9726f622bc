#pragma once

#include "platform/foundation/Value.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class Bundle;
class PanePlugInInterface;
class ZEMAUI;
namespace ui {
class Control;
class Image;
class PopUpButton;
class View;
} // namespace ui

// What a pane plug-in may ask of the panel that loaded it, and nothing else: a pane is built
// against this interface alone, so the manager behind it may change without a pane noticing.
// Adding to it, or changing it, raises kPanePlugInAbiVersion.
class PanePlugInHost {
public:
    // ---- Controls ----
    // The UI-settings dictionary every pane's controls are described in (empty without one).
    virtual std::shared_ptr<const Dictionary> uiSettings() = 0;
    // The option controls placed in a view, its tab views included.
    virtual std::vector<std::shared_ptr<ZEMAUI>> controlsIn(const ui::View* view) = 0;
    // Gives each control its description (by its tool tip's option key) and collects them by
    // key; false when an argument is missing.
    virtual bool setupZEMAUIControls(const std::vector<std::shared_ptr<ZEMAUI>>* controls,
                                     const Dictionary* controlDictionary,
                                     std::map<std::string, std::shared_ptr<ZEMAUI>>* byKey,
                                     const std::shared_ptr<Bundle>& bundle) = 0;
    // Fills a plain control with an option of the queue's PPD.
    virtual void buildControl(ui::Control* control, const std::string& key,
                              const std::optional<std::string>& title) = 0;

    // ---- Registration ----
    // Registers the pane's controls and numbered profiles with the panel.
    virtual void buildPaneUi(PanePlugInInterface& pane, const std::shared_ptr<Bundle>& bundle) = 0;
    // The role a pane was loaded for ("Front", "Back"), when the panes tree gives one.
    virtual std::optional<std::string> roleName(const PanePlugInInterface* pane) const = 0;
    virtual std::shared_ptr<Bundle> principalBundle() const = 0;

    // ---- Values and their names ----
    virtual std::optional<std::string> getStringValueFromKey(const std::string& key) const = 0;
    virtual void setStringValue(const std::optional<std::string>& value,
                                const std::string& key) = 0;
    virtual void getAlias(std::optional<std::string>* optionTitle,
                          std::optional<std::string>* choiceTitle,
                          const std::optional<std::string>& mainKeyword,
                          const std::optional<std::string>& optionKeyword) = 0;

    // ---- Images and delayed actions ----
    virtual std::shared_ptr<ui::Image> image(const std::string& name, const Bundle* bundle) = 0;
    // Sends the sender's action on the next pass of the run loop, also under a modal window.
    virtual void performLater(const std::shared_ptr<ui::Control>& sender) = 0;

    // ---- The press's lists and profiles ----
    // A server list the queue's PPD keeps, by its name (FeederInfoList, JobFolder, ...).
    virtual std::optional<Value> serverList(const std::string& name) = 0;
    virtual void addProfileItem(const std::string& optionKeyword, ui::PopUpButton* popUp,
                                long lastNo, const std::string& format, const Bundle* bundle) = 0;
    virtual std::optional<Dictionary> dictionaryOfCurrentProfile() const = 0;

protected:
    ~PanePlugInHost() = default;
};

} // namespace velmora
