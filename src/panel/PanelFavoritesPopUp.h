#pragma once

#include "platform/foundation/Value.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velmora {

namespace ui {
class PopUpButton;
} // namespace ui

// The panel's favorites pop-up: which favorite the settings come from, and the "Change Setting"
// item that says they no longer equal it. Items hold the favorite file's path; the default item
// holds an empty path.
class PanelFavoritesPopUp {
public:
    // The pop-up is the panel's; it may be null until the panel is built.
    explicit PanelFavoritesPopUp(const std::shared_ptr<ui::PopUpButton>& popUp) : _popUp(popUp) {}

    // The title the changed-settings item starts with.
    static std::string changeSettingTitle();
    static bool isChangePreset(const std::string& title);
    // A boolean as the PPD writes it ("True", "False"); other values as they are.
    static Value stringFromBooleanIfNeed(const Value& value);

    // The favorite the settings come from: the selected item, or the item the changed-settings
    // item stands for. Null when none is selected.
    std::optional<long> currentIndex() const;
    std::optional<std::string> currentPath() const;
    std::optional<std::string> currentName() const;
    std::optional<long> indexOfChangePreset() const;

    // Puts the changed-settings item above the current favorite (its title in title); the index
    // it went to, or null when there already is one or nothing is selected.
    std::optional<long> insertChangingPreset(std::string* title);
    // Takes the changed-settings item away, keeping the selection on the same favorite.
    void removeChangedPresetTitle();
    // Selects the item of the favorite at path; false, the selection as it was, when the pop-up
    // has none.
    bool selectPath(const std::string& path);

    // The current favorite's settings in PPD keywords; for the default item, the given settings
    // in canonical keywords. Null when the favorite cannot be read.
    std::optional<Dictionary> currentDictionary(Dictionary& options) const;
    // Whether the settings differ from the current favorite's (the default item: from defaults),
    // a number written two ways ("1", "1.0") and passwords in either encoding counting as equal.
    // The defaults are asked for only when the default item is the current one.
    bool differsFromCurrent(const Dictionary& current,
                            const std::function<Dictionary()>& defaults) const;

private:
    const std::shared_ptr<ui::PopUpButton>& _popUp;

    std::optional<long> removeChangingPreset();
};

} // namespace velmora
