#pragma once

#include "platform/foundation/Value.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

class Bundle;
class PanePlugInMgr;
class PdeAutomaticPaperTraySelection;

// The panel's two paper tray windows: the automatic tray's paper attributes and, where the press
// has one, the bypass tray's. They are made once the panel is built, opened by the panel's tray
// buttons, and carry their half of the job's settings to and from the option dictionary.
class PanelTrayDialogs {
public:
    // The option that turns the automatic tray's settings over to the bypass tray.
    static constexpr const char* kBypassKey = "AutoTraySettingToBypass";

    PanelTrayDialogs(PanePlugInMgr& manager, std::shared_ptr<Bundle> bundle);
    ~PanelTrayDialogs();
    PanelTrayDialogs(const PanelTrayDialogs&) = delete;
    PanelTrayDialogs& operator=(const PanelTrayDialogs&) = delete;

    // Makes the windows (the bypass one where the press has a bypass tray), their controls
    // registered with the engine; a window made before stays.
    void build();
    void reset();
    // Whether the press has a bypass tray to set up.
    bool bypassExists() const;

    PdeAutomaticPaperTraySelection* automatic() const { return _automatic.get(); }
    PdeAutomaticPaperTraySelection* bypass() const { return _bypass.get(); }

    // The press's custom papers (two-string entries of its list) offered by both windows.
    void offerCustomPapers(const Value& papers);
    // Opens the automatic (tag 0) or bypass window; didEnd runs when it is closed. False when
    // there is no such window.
    bool open(long tag, std::function<void()> didEnd);

    // The trays' settings into the dictionary; true when the bypass tray takes the automatic
    // tray's settings (its own window then has nothing to set).
    bool gather(Dictionary& options) const;
    // The trays' settings from the dictionary; the same answer as gather.
    bool restore(const Dictionary& options);

private:
    PanePlugInMgr& _manager;
    std::shared_ptr<Bundle> _bundle;
    std::shared_ptr<PdeAutomaticPaperTraySelection> _automatic;
    std::shared_ptr<PdeAutomaticPaperTraySelection> _bypass;

    std::shared_ptr<PdeAutomaticPaperTraySelection> make(bool bypass);
    void gatherAutomatic(Dictionary& options) const;
    bool gatherBypass(Dictionary& options) const;
    void restoreAutomatic(const Dictionary& options);
    bool restoreBypass(const Dictionary& options);
    std::optional<std::string> managerValue(const std::string& key) const;
    void setManagerValue(const Dictionary& options, const std::string& key);
};

} // namespace velmora
