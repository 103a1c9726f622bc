#pragma once

#include "panes/AppPreference.h"
#include "platform/foundation/Value.h"

#include <optional>
#include <string>

namespace velmora {

class Bundle;
class PaneDirectory;
namespace ui {
class PopUpButton;
} // namespace ui

// The profile in use and the numbered profile items of the panes' pop-ups.
class PaneProfiles {
public:
    PaneProfiles(const AppPreference& preference, PaneDirectory& panes)
        : _preference(preference), _panes(panes) {}

    // Adds "Profile 4" … up to lastNo (at most 9,999) after the pop-up's last numbered item;
    // an empty pop-up starts at 1 with format's keyword ("Profile%d") and the bundle's title.
    static void addProfileItem(const std::string& optionKeyword, ui::PopUpButton* popUp,
                               long lastNo, const std::string& format, const Bundle* bundle);

    // Makes path the profile in use and has every pane read its profiles again. Throws
    // std::logic_error when no pane is loaded.
    void setProfilePath(const std::optional<std::string>& path);
    void updateProfilesOfAllBundles(const std::optional<std::string>& path);
    void updateProfileByBundleName(const std::string& name, const std::optional<std::string>& path);
    std::optional<Dictionary> dictionaryOfCurrentProfile() const;
    const std::optional<std::string>& currentProfilePath() const { return _currentProfilePath; }

private:
    const AppPreference& _preference;
    PaneDirectory& _panes;
    std::optional<std::string> _currentProfilePath;
};

} // namespace velmora
